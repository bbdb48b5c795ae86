#include "logs/TrackLogWriter.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/GpxExport.h"
#include "logs/LogPaths.h"
#include "logs/TextFormat.h"

#include <algorithm>
#include <string>

namespace {

// Version and column header lines that open every track log.
constexpr std::string_view kTrackLogHead = "DataVersion=0.01\r\n"
                                           "ID, 日付,時刻,緯度,経度,海抜,高度,距離,時間,速度\r\n";

// Knots to km/h.
constexpr double kKmhPerKnot = 1.852;

// One route coordinate, longitude first. A height is written only when the receiver marked it
// valid for both ends of the step just accepted; sea level is preferred over the ellipsoid.
std::string KmlCoordinateLine(const platform::GPS_POSITION& previous, const platform::GPS_POSITION& current) {
    const std::uint32_t bothValid = previous.dwValidFields & current.dwValidFields;
    if ((bothValid & platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL) != 0) {
        return CFormat("        %f,%f,%f\r\n", current.dblLongitude, current.dblLatitude,
                       static_cast<double>(current.flAltitudeWRTSeaLevel));
    }
    if ((bothValid & platform::GPS_VALID_ALTITUDE_WRT_ELLIPSOID) != 0) {
        return CFormat("        %f,%f,%f\r\n", current.dblLongitude, current.dblLatitude,
                       static_cast<double>(current.flAltitudeWRTEllipsoid));
    }
    return CFormat("        %f,%f,0.0\r\n", current.dblLongitude, current.dblLatitude);
}

} // namespace

TrackLogWriter::OpenResult TrackLogWriter::Open(std::string_view fileName) {
    if (m_doc.m_hTrackLog.IsOpen()) {
        return {true, 0};
    }
    const platform::DeviceRoot& root = m_doc.Services().root;
    const std::string& folder = m_doc.m_strLogFolder;
    // A fresh device has no "\My Documents" yet; a folder that cannot be made shows up below as a
    // file that cannot be created.
    platform::CreateDirectories(root, folder);
    platform::CreateDirectories(root, LogSubfolder(folder));

    const std::string trackLogPath = LogSubfolder(folder) + std::string(fileName);
    platform::File trackLog = platform::File::CreateAlways(root, trackLogPath);
    if (!trackLog.IsOpen()) {
        return {false, trackLog.Error()};
    }
    // Write errors are not fatal: the workout is worth more than its log.
    trackLog.Write(kUtf16Bom);
    WriteUtf16(trackLog, kTrackLogHead);

    if (m_doc.m_bSaveKml == 1) {
        // Recreated empty for every workout; a stale handle is replaced either way.
        m_doc.m_hKmlTemp = platform::File::CreateAlways(root, KmlTempPath(folder));
        if (!m_doc.m_hKmlTemp.IsOpen()) {
            // No workout starts, so the track log just made goes again.
            trackLog.Close();
            platform::DeleteFile(root, trackLogPath);
            return {false, m_doc.m_hKmlTemp.Error()};
        }
        m_doc.m_hGpxTemp = platform::File::CreateAlways(root, GpxTempPath(folder));
        if (!m_doc.m_hGpxTemp.IsOpen()) {
            trackLog.Close();
            platform::DeleteFile(root, trackLogPath);
            m_doc.CloseKmlTemp();
            platform::DeleteFile(root, KmlTempPath(folder));
            return {false, m_doc.m_hGpxTemp.Error()};
        }
    }
    m_bAnyGpxPoint = false;
    m_bNewSegment = false;
    m_doc.m_hTrackLog = std::move(trackLog);
    m_doc.m_nTrackLogLines = 0;
    return {true, 0};
}

TrackLogWriter::AppendResult TrackLogWriter::AppendFix() {
    const platform::GPS_POSITION& fix = m_doc.m_posCurrent;
    AppendResult result;
    if (m_doc.m_hTrackLog.IsOpen()) {
        const platform::SYSTEMTIME& t = fix.stUTCTime;
        // The ID is the measuring second, so the result's speed trace can use it as its time axis.
        const std::string line = CFormat(
            "%d,%d/%02d/%02d,%02d:%02d:%02d,%f,%f,%f,%f,%.02f,%d,%.01f\r\n", m_doc.m_nElapsedSeconds, t.wYear,
            t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, fix.dblLatitude, fix.dblLongitude,
            static_cast<double>(fix.flAltitudeWRTSeaLevel), static_cast<double>(fix.flAltitudeWRTEllipsoid),
            // A receiver whose clock stepped back gives a step of no time, as its speed already says.
            m_doc.m_dblStepDistance, std::max(m_doc.m_nStepSeconds, 0),
            static_cast<double>(fix.flSpeed) * kKmhPerKnot);
        if (!WriteUtf16(m_doc.m_hTrackLog, line)) {
            result.trackLog = platform::WriteResult::Failed(m_doc.m_hTrackLog.Error());
        }
        ++m_doc.m_nTrackLogLines;
    }
    if (m_doc.m_hKmlTemp.IsOpen() &&
        !WriteUtf16(m_doc.m_hKmlTemp, KmlCoordinateLine(m_doc.m_posPrevious, fix))) {
        result.kmlTemp = platform::WriteResult::Failed(m_doc.m_hKmlTemp.Error());
    }
    if (m_doc.m_hGpxTemp.IsOpen()) {
        std::string lines = m_bNewSegment ? std::string(kGpxSegmentBreak) : std::string();
        lines += GpxPointLine(fix, m_doc.m_stFixUtc);
        if (!m_doc.m_hGpxTemp.Write(lines)) {
            result.gpxTemp = platform::WriteResult::Failed(m_doc.m_hGpxTemp.Error());
        }
        m_bAnyGpxPoint = true;
        m_bNewSegment = false;
    }
    return result;
}
