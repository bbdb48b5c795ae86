#pragma once

#include "platform/Gps.h"
#include "platform/SystemTime.h"

// An angle split the way distances take it: whole degrees truncated toward zero, and the rest in
// minutes with the same sign (-33.5 is -33 degrees, -30.0 minutes).
struct DegreesMinutes {
    int degrees = 0;
    double minutes = 0.0;
};
DegreesMinutes ToDegreesMinutes(double degrees);

struct Heights {
    double first = 0.0;
    double second = 0.0;
};

// Straight-line (chord) distance in metres between two points of the WGS 84 ellipsoid, each given
// as latitude degrees and minutes, longitude degrees and minutes, and height in metres.
double GeoDistance(int lat1Deg, double lat1Min, int lon1Deg, double lon1Min, double height1, int lat2Deg,
                   double lat2Min, int lon2Deg, double lon2Min, double height2);

// GeoDistance between two decimal-degree points.
double GeoDistanceDegrees(double lat1, double lon1, double height1, double lat2, double lon2, double height2);

// Seconds from one local time stamp to a later one with whole days dropped: 25 hours give 3600,
// 90 seconds back in time give -90. A stamp before 1900 counts as the epoch.
int SecondsBetween(const platform::SYSTEMTIME& earlier, const platform::SYSTEMTIME& later);

// The heights to measure a pair of fixes with: none when the altitude is taken as constant, else
// both sea-level heights, else both ellipsoid heights, else none. A pair where only one fix has a
// height is measured flat.
Heights HeightsFor(bool flatAltitude, const platform::GPS_POSITION& a, const platform::GPS_POSITION& b);
