#pragma once

#include "platform/SystemTime.h"

#include <string>
#include <string_view>

// Where a workout's files live. The log folder always ends with a backslash; the run name is the
// workout's start time, "yyyymmdd-hhmmss".

std::string RunName(const platform::SYSTEMTIME& start);

std::string LogSubfolder(std::string_view logFolder);                           // folder + "Log\"
std::string KmlSubfolder(std::string_view logFolder);                           // folder + "KML\"
std::string TrackLogPath(std::string_view logFolder, std::string_view runName); // Log\name.log
std::string RecordPath(std::string_view logFolder, std::string_view runName);   // Log\name.hol
std::string KmlPath(std::string_view logFolder, std::string_view runName);      // KML\name.kml
std::string KmlTempPath(std::string_view logFolder);                            // AMBLKML.TMP
std::string GpxPath(std::string_view logFolder, std::string_view runName);      // GPX\name.gpx
std::string GpxTempPath(std::string_view logFolder);                            // AMBLGPX.TMP
std::string JournalPath(std::string_view logFolder, int copy = 0);              // AMBLJRNL.TMP, AMBLJRN2.TMP
std::string HistoryPath(std::string_view logFolder);                            // amblHistory.log

// The exercise record beside a track log: its final ".log" extension becomes ".hol" (a path
// without that extension gets ".hol" added).
std::string RecordPathForTrackLog(std::string_view trackLogPath);

// The GPX beside a workout's KML: "<folder>KML\<run>.kml" becomes "<folder>GPX\<run>.gpx". Nothing
// for a path of another shape.
std::string GpxPathForKml(std::string_view kmlPath);
