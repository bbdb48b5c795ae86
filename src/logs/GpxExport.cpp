#include "logs/GpxExport.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/LogPaths.h"
#include "logs/TextFormat.h"

#include <cstddef>
#include <vector>

namespace {

// The points file may hold a workout of many hours; reading more would not fit a route.
constexpr std::size_t kMaxPointsBytes = std::size_t{256} << 20;

constexpr std::string_view kGpxHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"Ambulo 1.07\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";

// The time of the first point that has one: the start of the workout in UTC.
std::string FirstTime(std::string_view points) {
    constexpr std::string_view kOpen = "<time>";
    const auto begin = points.find(kOpen);
    const auto end = points.find("</time>", begin);
    if (begin == std::string_view::npos || end == std::string_view::npos) {
        return {};
    }
    return std::string(points.substr(begin + kOpen.size(), end - begin - kOpen.size()));
}

std::string WaypointText(const CheckpointRecord& r, std::string_view name) {
    return CFormat("  <wpt lat=\"%.7f\" lon=\"%.7f\">\n", r.dblLatitude, r.dblLongitude) + "    <name>" +
           XmlEscaped(name) + "</name>\n  </wpt>\n";
}

} // namespace

std::string GpxTime(const platform::SYSTEMTIME& utc) {
    return CFormat("%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                   utc.wMinute, utc.wSecond, utc.wMilliseconds);
}

std::string XmlEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string GpxPointLine(const platform::GPS_POSITION& fix, const std::optional<platform::SYSTEMTIME>& utc) {
    std::string line = CFormat(R"(      <trkpt lat="%.7f" lon="%.7f">)", fix.dblLatitude, fix.dblLongitude);
    if ((fix.dwValidFields & platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL) != 0) {
        line += CFormat("<ele>%.1f</ele>", static_cast<double>(fix.flAltitudeWRTSeaLevel));
    }
    if (utc) {
        line += "<time>" + GpxTime(*utc) + "</time>";
    }
    return line + "</trkpt>\n";
}

platform::WriteResult ExportGpx(CMyAmbuloDoc& doc, std::string_view runName) {
    if (doc.m_bSaveKml == 0) {
        return {};
    }
    std::string points;
    if (doc.m_hGpxTemp.IsOpen() && doc.m_hGpxTemp.Seek(0, platform::SeekFrom::Begin)) {
        points = doc.m_hGpxTemp.ReadUpTo(kMaxPointsBytes).value_or(std::string());
    }
    platform::ReplacementFile gpx(doc.Services().root, GpxPath(doc.m_strLogFolder, runName));
    gpx.Write(kGpxHead);
    gpx.Write("  <metadata>\n");
    if (const std::string start = FirstTime(points); !start.empty()) {
        gpx.Write("    <time>" + start + "</time>\n");
    }
    gpx.Write(CFormat("    <bounds minlat=\"%.7f\" minlon=\"%.7f\" maxlat=\"%.7f\" maxlon=\"%.7f\"/>\n",
                      doc.m_dblMinLat, doc.m_dblMinLon, doc.m_dblMaxLat, doc.m_dblMaxLon));
    gpx.Write("  </metadata>\n");
    // The first record is the start and the last the goal.
    const std::vector<CheckpointRecord>& records = doc.m_checkpoints;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const std::string name = k == 0 ? std::string("スタート")
                                 : k + 1 == records.size()
                                     ? std::string("ゴール")
                                     : CFormat("チェックポイント #%d", static_cast<int>(k));
        gpx.Write(WaypointText(records[k], name));
    }
    gpx.Write("  <trk>\n    <name>" + XmlEscaped(runName) + "</name>\n    <trkseg>\n");
    gpx.Write(points);
    gpx.Write("    </trkseg>\n  </trk>\n</gpx>\n");
    return gpx.Commit(true);
}
