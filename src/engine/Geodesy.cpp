#include "engine/Geodesy.h"

#include "platform/Clock.h"

#include <cmath>
#include <cstdint>

DegreesMinutes ToDegreesMinutes(double degrees) {
    const int whole = static_cast<int>(degrees);
    return {whole, (degrees - whole) * 60.0};
}

namespace {

// WGS 84 semi-major axis (m) and first eccentricity squared, with 1 - e² as its own stored double.
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kEccentricitySquared = 0.006694380066764697;
constexpr double kOneMinusEccentricitySquared = 0.9933056199332353;
constexpr double kOneSixtieth = 0.016666666666666666;
constexpr double kRadiansPerDegree = 0.017453292519943295;

struct Cartesian {
    double x, y, z;
};

Cartesian EarthCentred(int latDeg, double latMin, int lonDeg, double lonMin, double height) {
    const double phi = (latDeg + latMin * kOneSixtieth) * kRadiansPerDegree;
    const double lambda = (lonDeg + lonMin * kOneSixtieth) * kRadiansPerDegree;
    const double sinPhi = std::sin(phi);
    const double n = kSemiMajorAxis / std::sqrt(1.0 - kEccentricitySquared * sinPhi * sinPhi);
    return {(n + height) * std::cos(phi) * std::cos(lambda), (n + height) * std::cos(phi) * std::sin(lambda),
            (n * kOneMinusEccentricitySquared + height) * sinPhi};
}

} // namespace

double GeoDistance(int lat1Deg, double lat1Min, int lon1Deg, double lon1Min, double height1, int lat2Deg,
                   double lat2Min, int lon2Deg, double lon2Min, double height2) {
    const Cartesian a = EarthCentred(lat1Deg, lat1Min, lon1Deg, lon1Min, height1);
    const Cartesian b = EarthCentred(lat2Deg, lat2Min, lon2Deg, lon2Min, height2);
    const double dx = a.x - b.x;
    const double dy = a.y - b.y;
    const double dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double GeoDistanceDegrees(double lat1, double lon1, double height1, double lat2, double lon2,
                          double height2) {
    const auto lat1Dm = ToDegreesMinutes(lat1);
    const auto lon1Dm = ToDegreesMinutes(lon1);
    const auto lat2Dm = ToDegreesMinutes(lat2);
    const auto lon2Dm = ToDegreesMinutes(lon2);
    return GeoDistance(lat1Dm.degrees, lat1Dm.minutes, lon1Dm.degrees, lon1Dm.minutes, height1,
                       lat2Dm.degrees, lat2Dm.minutes, lon2Dm.degrees, lon2Dm.minutes, height2);
}

int SecondsBetween(const platform::SYSTEMTIME& earlier, const platform::SYSTEMTIME& later) {
    const std::int64_t d = platform::CalendarSeconds(later) - platform::CalendarSeconds(earlier);
    return static_cast<int>((d % 60) + 60 * ((d / 60) % 60) + 3600 * ((d / 3600) % 24));
}

Heights HeightsFor(bool flatAltitude, const platform::GPS_POSITION& a, const platform::GPS_POSITION& b) {
    using platform::GPS_VALID_ALTITUDE_WRT_ELLIPSOID;
    using platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL;
    if (flatAltitude) {
        return {};
    }
    if ((a.dwValidFields & b.dwValidFields & GPS_VALID_ALTITUDE_WRT_SEA_LEVEL) != 0) {
        return {a.flAltitudeWRTSeaLevel, b.flAltitudeWRTSeaLevel};
    }
    if ((a.dwValidFields & b.dwValidFields & GPS_VALID_ALTITUDE_WRT_ELLIPSOID) != 0) {
        return {a.flAltitudeWRTEllipsoid, b.flAltitudeWRTEllipsoid};
    }
    return {};
}
