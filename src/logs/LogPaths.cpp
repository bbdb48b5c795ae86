#include "logs/LogPaths.h"

#include "logs/TextFormat.h"

std::string RunName(const platform::SYSTEMTIME& start) {
    return CFormat("%04d%02d%02d-%02d%02d%02d", start.wYear, start.wMonth, start.wDay, start.wHour,
                   start.wMinute, start.wSecond);
}

std::string LogSubfolder(std::string_view logFolder) {
    return std::string(logFolder) + "Log\\";
}

std::string KmlSubfolder(std::string_view logFolder) {
    return std::string(logFolder) + "KML\\";
}

std::string TrackLogPath(std::string_view logFolder, std::string_view runName) {
    return LogSubfolder(logFolder) + std::string(runName) + ".log";
}

std::string RecordPath(std::string_view logFolder, std::string_view runName) {
    return LogSubfolder(logFolder) + std::string(runName) + ".hol";
}

std::string KmlPath(std::string_view logFolder, std::string_view runName) {
    return KmlSubfolder(logFolder) + std::string(runName) + ".kml";
}

std::string KmlTempPath(std::string_view logFolder) {
    return std::string(logFolder) + "AMBLKML.TMP";
}

std::string JournalPath(std::string_view logFolder, int copy) {
    return std::string(logFolder) + (copy == 0 ? "AMBLJRNL.TMP" : "AMBLJRN2.TMP");
}

std::string HistoryPath(std::string_view logFolder) {
    return std::string(logFolder) + "amblHistory.log";
}

std::string RecordPathForTrackLog(std::string_view trackLogPath) {
    constexpr std::string_view kLog = ".log";
    if (trackLogPath.ends_with(kLog)) {
        trackLogPath.remove_suffix(kLog.size());
    }
    return std::string(trackLogPath) + ".hol";
}
