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

std::string GpxPath(std::string_view logFolder, std::string_view runName) {
    return std::string(logFolder) + "GPX\\" + std::string(runName) + ".gpx";
}

std::string GpxTempPath(std::string_view logFolder) {
    return std::string(logFolder) + "AMBLGPX.TMP";
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

std::string GpxPathForKml(std::string_view kmlPath) {
    constexpr std::string_view kFolder = "KML\\";
    constexpr std::string_view kExtension = ".kml";
    const auto name = kmlPath.rfind('\\');
    if (name == std::string_view::npos || name + 1 < kFolder.size() || !kmlPath.ends_with(kExtension) ||
        kmlPath.substr(name + 1 - kFolder.size(), kFolder.size()) != kFolder) {
        return {};
    }
    const std::string_view folder = kmlPath.substr(0, name + 1 - kFolder.size());
    const std::string_view run = kmlPath.substr(name + 1, kmlPath.size() - name - 1 - kExtension.size());
    return GpxPath(folder, run);
}
