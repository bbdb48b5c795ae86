#pragma once

#include "platform/Gps.h"

#include <string_view>
#include <vector>

namespace platform {

// Reads NMEA 0183 text into one fix per epoch. An epoch is a run of consecutive RMC and GGA
// sentences (any two-letter talker) with the same UTC time field; every other sentence is skipped,
// as are garbage lines and sentences whose "*hh" checksum does not match (a sentence without a
// checksum is accepted). Lines end with CR LF or LF.
//
// RMC: time and date (yy < 80 is 20yy) give stUTCTime and bit 0x1 when both are present; status A
// gives latitude and longitude (0x2 | 0x4) and, when the field is not empty, the speed in knots
// (0x8). GGA with fix quality > 0: altitude (0x40) and, with the geoid separation, the ellipsoid
// height altitude + separation (0x80); an epoch without RMC takes its position from such a GGA.
std::vector<GPS_POSITION> ParseNmeaEpochs(std::string_view text);

} // namespace platform
