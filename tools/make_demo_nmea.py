#!/usr/bin/env python3
"""Writes a realistic NMEA 0183 log of a jog for demos, tests and benchmarks.

One RMC and one GGA sentence a second: a short wait for the first fix, a warm-up walk, jogging
with walking breaks and a cool-down walk around a loop in central Tokyo, with GPS noise, an
altitude profile and a few one-second jumps of more than 50 m. The output is the same for the
same arguments.
"""
import argparse
import datetime
import math
import random

LOOP_CENTRE = (35.6852, 139.7528)  # degrees
LOOP_RADII = (780.0, 640.0)         # metres north-south, east-west
METRES_PER_DEGREE = 111320.0
KNOTS_PER_KMH = 1 / 1.852


def checksum(body):
    value = 0
    for ch in body.encode("ascii"):
        value ^= ch
    return "%02X" % value


def sentence(body):
    return "$%s*%s\r\n" % (body, checksum(body))


def ddmm(value, width):
    degrees = int(abs(value))
    minutes = (abs(value) - degrees) * 60.0
    return "%0*d%07.4f" % (width, degrees, minutes)


def speed_profile(second, total):
    """Planned speed in km/h at a second of the workout."""
    if second < 180 or second > total - 150:
        return 5.0  # warm-up and cool-down walk
    cycle = (second - 180) % 600
    return 5.6 if cycle >= 480 else 9.5 + 0.8 * math.sin(second / 90.0)


def position(distance):
    angle = distance / 4500.0 * 2 * math.pi
    wobble = 25.0 * math.sin(angle * 7)
    north = (LOOP_RADII[0] + wobble) * math.sin(angle)
    east = (LOOP_RADII[1] + wobble) * math.cos(angle)
    lat = LOOP_CENTRE[0] + north / METRES_PER_DEGREE
    lon = LOOP_CENTRE[1] + east / (METRES_PER_DEGREE * math.cos(math.radians(lat)))
    return lat, lon, angle


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("output")
    parser.add_argument("--minutes", type=float, default=25.0)
    parser.add_argument("--start", default="2008-01-15T00:30:00", help="UTC start time")
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    start = datetime.datetime.fromisoformat(args.start)
    total = int(args.minutes * 60)
    waiting = 6  # seconds before the receiver has a fix
    jumps = {total // 3: 80.0, (2 * total) // 3: 65.0}
    distance = 0.0
    noise_n = noise_e = 0.0
    with open(args.output, "w", newline="") as out:
        for second in range(waiting + total):
            stamp = start + datetime.timedelta(seconds=second)
            hhmmss = stamp.strftime("%H%M%S") + ".00"
            ddmmyy = stamp.strftime("%d%m%y")
            if second < waiting:
                out.write(sentence("GPRMC,%s,V,,,,,,,%s,,,N" % (hhmmss, ddmmyy)))
                out.write(sentence("GPGGA,%s,,,,,0,00,99.9,,M,,M,," % hhmmss))
                continue
            t = second - waiting
            kmh = max(0.0, speed_profile(t, total) + rng.gauss(0.0, 0.25))
            distance += kmh / 3.6
            lat, lon, angle = position(distance)
            # Receiver noise drifts slowly, a couple of metres either way.
            noise_n = 0.8 * noise_n + rng.gauss(0.0, 0.9)
            noise_e = 0.8 * noise_e + rng.gauss(0.0, 0.9)
            jump = jumps.get(t, 0.0)
            lat += (noise_n + jump) / METRES_PER_DEGREE
            lon += noise_e / (METRES_PER_DEGREE * math.cos(math.radians(lat)))
            altitude = 22.0 + 9.0 * math.sin(angle * 2) + rng.gauss(0.0, 0.6)
            course = (math.degrees(angle) + 90.0) % 360.0
            knots = max(0.0, kmh * KNOTS_PER_KMH + rng.gauss(0.0, 0.05))
            lat_text = "%s,%s" % (ddmm(lat, 2), "N" if lat >= 0 else "S")
            lon_text = "%s,%s" % (ddmm(lon, 3), "E" if lon >= 0 else "W")
            out.write(sentence("GPRMC,%s,A,%s,%s,%.2f,%.1f,%s,,,A"
                               % (hhmmss, lat_text, lon_text, knots, course, ddmmyy)))
            out.write(sentence("GPGGA,%s,%s,%s,1,08,0.9,%.1f,M,39.4,M,,"
                               % (hhmmss, lat_text, lon_text, altitude)))


if __name__ == "__main__":
    main()
