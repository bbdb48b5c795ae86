#pragma once

#include "support/TestServices.h"

// Moves the clock on by a second and gives the receiver its answer for the next tick: a fix `north`
// metres north of 35N 139E (no fix without `fix`), stamped with the local time less nine hours, the
// receiver's UTC.
inline void QueueFix(TestServices& t, double north, bool fix = true) {
    t.clock.AdvanceSeconds(1);
    platform::GPS_POSITION position{fix ? 0xFU : 0U};
    position.dblLatitude = 35.0 + north / 110940.0; // metres in a degree of latitude here
    position.dblLongitude = 139.0;
    position.stUTCTime = t.clock.LocalNow();
    position.stUTCTime.wHour -= 9;
    t.gps.positions.push_back({true, position});
}
