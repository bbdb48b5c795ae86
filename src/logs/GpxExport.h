#pragma once

#include "platform/File.h"
#include "platform/Gps.h"
#include "platform/SystemTime.h"

#include <optional>
#include <string>
#include <string_view>

class CMyAmbuloDoc;

// The workout as GPX 1.1, for training tools that want the route with its times. While the workout
// runs, one track point line per accepted fix goes to the GPX points file (UTF-8) beside the KML
// coordinates file, and a new segment starts after every rest; the finish wraps them into
// "GPX\<runName>.gpx" below the log folder.

// Stands between two measured stretches in the points file.
inline constexpr std::string_view kGpxSegmentBreak = "    </trkseg>\n    <trkseg>\n";

// "2008-01-15T00:30:01.000Z": always with milliseconds, which the receiver's time carries (a
// receiver that tells whole seconds gives .000).
std::string GpxTime(const platform::SYSTEMTIME& utc);

// Text with the five XML special characters replaced by their entities.
std::string XmlEscaped(std::string_view text);

// One "<trkpt>" line: the position, the sea-level height when the receiver gave it and the
// receiver's UTC time when it gave one. Local time never goes in.
std::string GpxPointLine(const platform::GPS_POSITION& fix, const std::optional<platform::SYSTEMTIME>& utc);

// Writes the document whole or not at all from the points file (doc.m_hGpxTemp), the bounding box
// and the checkpoint list: metadata (the first point's time and the bounds), a waypoint for the
// start, each checkpoint and the goal named as in the KML, then the track named after the run.
// Does nothing when route export is off.
platform::WriteResult ExportGpx(CMyAmbuloDoc& doc, std::string_view runName);
