#pragma once

#include "platform/File.h"

#include <string>
#include <string_view>

class CMyAmbuloDoc;

// Writes the finished workout's route as "KML\<runName>.kml" in the log folder (UTF-8 with a
// byte-order mark): the route line string from the KML coordinates file, then start, checkpoint
// and goal placemarks from the checkpoint list. Does nothing when KML export is off. A document
// that cannot be written whole leaves any earlier one as it was; the result carries the error.
platform::WriteResult ExportKml(CMyAmbuloDoc& doc, std::string_view runName);

// "h 時間 m 分 s 秒<br>\r\n", dropping leading zero units.
std::string HoursMinutesSecondsText(int seconds);
