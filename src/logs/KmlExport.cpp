#include "logs/KmlExport.h"

#include "engine/Geodesy.h"
#include "engine/MyAmbuloDoc.h"
#include "logs/LogPaths.h"
#include "logs/TextFormat.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <cstddef>

namespace {

// UTF-8 byte-order mark that opens the exported document.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The coordinates file is copied in pieces of this many bytes (a whole number of UTF-16 units).
constexpr std::size_t kCopyChunk = 1022;

// "yyyy/ m/ d  h:mm:ss": month, day and hour padded with blanks, as the placemark balloons show it.
std::string BalloonTime(const platform::SYSTEMTIME& t) {
    return CFormat("%d/%2d/%2d %2d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

// The end of a point placemark: its position and the closing tags.
std::string PointText(const CheckpointRecord& r) {
    std::string text = "        ]]>\r\n";
    text += "    </description>\r\n";
    text += "    <Point>\r\n";
    text += CFormat("      <coordinates>%f,%f,%f</coordinates>\r\n", r.dblLongitude, r.dblLatitude,
                    r.dblAltitude);
    text += "    </Point>\r\n";
    text += "  </Placemark>\r\n";
    return text;
}

// Document head, then the route placemark up to its coordinate list.
std::string RouteHeadText(const CMyAmbuloDoc& doc) {
    const platform::SYSTEMTIME& s = doc.m_posStart.stUTCTime;
    const platform::SYSTEMTIME& e = doc.m_posEnd.stUTCTime;
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    text += "<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n";
    text += "<Document>\r\n";
    text += CFormat("  <name>%d/%d/%d　%d:%02d:%02d ～ %d:%02d:%02d の記録</name>\r\n", s.wYear, s.wMonth,
                    s.wDay, s.wHour, s.wMinute, s.wSecond, e.wHour, e.wMinute, e.wSecond);
    text += "  <Style id=\"route\">\r\n";
    text += "    <LineStyle>\r\n";
    text += "      <color>FF0000FF</color>\r\n";
    text += "      <width>4</width>\r\n";
    text += "    </LineStyle>\r\n";
    text += "  </Style>\r\n";
    text += "  <Placemark>\r\n";
    text += "    <styleUrl>#route</styleUrl>\r\n";
    text += "    <name>運動記録</name>\r\n";
    text += "    <description>\r\n";
    text += "      <![CDATA[\r\n";
    text += "      <p>総時間：" + HoursMinutesSecondsText(doc.m_nElapsedSeconds);
    text += CFormat("         総距離：%d m<br>\r\n", Truncated(doc.m_dblTotalDistance));
    text += "         平均速度：" + AverageSpeedText(doc.m_dblTotalDistance, doc.m_nElapsedSeconds) +
            " km/h<br>\r\n";
    text += CFormat("         消費カロリー：%.01f kcal</p>\r\n", doc.m_dblTotalKcal);
    text += "        ]]>\r\n";
    text += "    </description>\r\n";
    text += "    <visibility>1</visibility>\r\n";
    // The view looks at the centre of the route's bounding box from as far as its diagonal.
    text += "    <LookAt>\r\n";
    text += "      <heading>0.0</heading>\r\n";
    text += "      <tilt>0.0</tilt>\r\n";
    text += CFormat("      <range>%f</range>\r\n", GeoDistanceDegrees(doc.m_dblMinLat, doc.m_dblMinLon, 0.0,
                                                                      doc.m_dblMaxLat, doc.m_dblMaxLon, 0.0));
    text += CFormat("      <longitude>%f</longitude>\r\n", (doc.m_dblMinLon + doc.m_dblMaxLon) * 0.5);
    text += CFormat("      <latitude>%f</latitude>\r\n", (doc.m_dblMinLat + doc.m_dblMaxLat) * 0.5);
    text += "    </LookAt>\r\n";
    text += "    <LineString>\r\n";
    text += "      <coordinates>\r\n";
    return text;
}

// Copies the route's coordinate lines (UTF-16LE) into the document as UTF-8.
void CopyCoordinates(platform::File& coordinates, platform::ReplacementFile& kml) {
    if (!coordinates.IsOpen() || !coordinates.Seek(0, platform::SeekFrom::Begin)) {
        return;
    }
    char chunk[kCopyChunk];
    for (;;) {
        const auto n = coordinates.Read(chunk, sizeof chunk);
        if (!n) {
            return;
        }
        kml.Write(platform::Utf16LeToUtf8(std::string_view(chunk, *n)));
        if (*n < sizeof chunk) {
            return;
        }
    }
}

std::string StartText(const CheckpointRecord& start) {
    std::string text = "  <Placemark>\r\n";
    text += "    <name>スタート</name>\r\n";
    text += "    <description>\r\n";
    text += "      <![CDATA[\r\n";
    text += "      <h3>スタート時刻：<br>　" + BalloonTime(start.stTime) + "</h3>\r\n";
    return text + PointText(start);
}

// A checkpoint (numbered k) or the goal: its figures since the start and since the previous record.
std::string PassText(const CheckpointRecord& r, const CheckpointRecord& previous, int k, bool goal) {
    const double sectionMetres = r.dblDistance - previous.dblDistance;
    const int sectionSeconds = r.nSeconds - previous.nSeconds;
    std::string text = "  <Placemark>\r\n";
    text += goal ? std::string("    <name>ゴール</name>\r\n")
                 : CFormat("    <name>チェックポイント #%d</name>\r\n", k);
    text += "    <description>\r\n";
    text += "      <![CDATA[\r\n";
    text += "      <h3>通過時刻：<br>　" + BalloonTime(r.stTime) + "</h3>\r\n";
    text += "      <h3><u>積算データ</u></h3>\r\n";
    text += CFormat("      <p>　距離：%d ｍ<br>\r\n", Truncated(r.dblDistance));
    text += "         　時間：" + HoursMinutesSecondsText(r.nSeconds);
    text += "         　速度：" + AverageSpeedText(r.dblDistance, r.nSeconds) + " km/h<br>\r\n";
    text += CFormat("         　消費カロリー：%.01f kcal</p>\r\n", r.dblKcal);
    text += "      <h3><u>区間データ</u></h3>\r\n";
    text += CFormat("      <p>　区間距離：%d ｍ<br>\r\n", Truncated(sectionMetres));
    text += "         　区間タイム：" + HoursMinutesSecondsText(sectionSeconds);
    text += "         　区間平均速度：" + AverageSpeedText(sectionMetres, sectionSeconds) + " km/h</p>\r\n";
    return text + PointText(r);
}

} // namespace

std::string HoursMinutesSecondsText(int seconds) {
    const int hours = seconds / 3600;
    const int minutes = seconds / 60 - hours * 60;
    const int rest = seconds % 60;
    if (hours != 0) {
        return CFormat("%d 時間 %d 分 %d 秒<br>\r\n", hours, minutes, rest);
    }
    if (minutes != 0) {
        return CFormat("%d 分 %d 秒<br>\r\n", minutes, rest);
    }
    return CFormat("%d 秒<br>\r\n", rest);
}

platform::WriteResult ExportKml(CMyAmbuloDoc& doc, std::string_view runName) {
    if (doc.m_bSaveKml == 0) {
        return {};
    }
    // Made beside the target and put in its place only when whole: a full disk never leaves a
    // truncated route, nor spoils one written before.
    platform::ReplacementFile kml(doc.Services().root, KmlPath(doc.m_strLogFolder, runName));
    kml.Write(kUtf8Bom);
    kml.Write(RouteHeadText(doc));
    CopyCoordinates(doc.m_hKmlTemp, kml);
    kml.Write("      </coordinates>\r\n"
              "    </LineString>\r\n"
              "  </Placemark>\r\n");
    // The first record is the start and the last the goal; a workout without any accepted fix has
    // only the goal, which then also stands as the start.
    const std::vector<CheckpointRecord>& records = doc.m_checkpoints;
    if (!records.empty()) {
        kml.Write(StartText(records.front()));
    }
    for (std::size_t k = 1; k < records.size(); ++k) {
        kml.Write(PassText(records[k], records[k - 1], static_cast<int>(k), k + 1 == records.size()));
    }
    kml.Write("</Document>\r\n"
              "</kml>\r\n");
    return kml.Commit(true);
}
