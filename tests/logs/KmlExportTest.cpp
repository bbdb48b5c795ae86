#include "logs/KmlExport.h"

#include "engine/MyAmbuloDoc.h"
#include "support/Bytes.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr char kKml[] = "My Documents/Ambulo/KML/run.kml";

CheckpointRecord Record(std::uint16_t hour, std::uint16_t minute, double metres, int seconds, double kcal) {
    return {{2008, 1, 2, 5, hour, minute, 7, 0}, 35.69, 139.77, 40.0, metres, seconds, kcal};
}

// The text of the route's coordinate list.
std::string RouteCoordinates(const std::string& kml) {
    const std::string open = "      <coordinates>\r\n";
    const std::size_t begin = kml.find(open) + open.size();
    return kml.substr(begin, kml.find("      </coordinates>\r\n") - begin);
}

} // namespace

TEST(KmlExport, WritesTheCompleteDocument) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    doc.m_hKmlTemp = platform::File::CreateAlways(t.temp.root(), "\\AMBLKML.TMP");
    doc.m_hKmlTemp.Write(
        Le(u"        139.767125,35.681236,40.000000\r\n        139.770000,35.690000,0.0\r\n"));
    doc.m_posStart.stUTCTime = {2008, 1, 2, 15, 9, 3, 7, 0};
    doc.m_posEnd.stUTCTime = {2008, 1, 2, 15, 10, 4, 5, 0};
    doc.m_dblMinLat = 35.68, doc.m_dblMaxLat = 35.70, doc.m_dblMinLon = 139.76, doc.m_dblMaxLon = 139.78;
    doc.m_dblTotalDistance = 1234.9, doc.m_nElapsedSeconds = 3725, doc.m_dblTotalKcal = 52.36;
    doc.m_checkpoints = {Record(9, 3, 0, 0, 0), Record(10, 4, 1234.9, 3725, 52.36)};
    EXPECT_TRUE(ExportKml(doc, "run"));
    EXPECT_TRUE(doc.m_hKmlTemp.IsOpen());
    const std::string point = "        ]]>\r\n    </description>\r\n    <Point>\r\n"
                              "      <coordinates>139.770000,35.690000,40.000000</coordinates>\r\n"
                              "    </Point>\r\n  </Placemark>\r\n";
    EXPECT_EQ(t.temp.ReadHostFile(kKml),
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n<Document>\r\n"
              "  <name>2008/1/15　9:03:07 ～ 10:04:05 の記録</name>\r\n  <Style id=\"route\">\r\n"
              "    <LineStyle>\r\n      <color>FF0000FF</color>\r\n      <width>4</width>\r\n"
              "    </LineStyle>\r\n  </Style>\r\n  <Placemark>\r\n    <styleUrl>#route</styleUrl>\r\n"
              "    <name>運動記録</name>\r\n    <description>\r\n      <![CDATA[\r\n"
              "      <p>総時間：1 時間 2 分 5 秒<br>\r\n         総距離：1234 m<br>\r\n"
              "         平均速度：1.2 km/h<br>\r\n         消費カロリー：52.4 kcal</p>\r\n"
              "        ]]>\r\n    </description>\r\n    <visibility>1</visibility>\r\n    <LookAt>\r\n"
              "      <heading>0.0</heading>\r\n      <tilt>0.0</tilt>\r\n      <range>2863.818050</range>\r\n"
              "      <longitude>139.770000</longitude>\r\n      <latitude>35.690000</latitude>\r\n"
              "    </LookAt>\r\n    <LineString>\r\n      <coordinates>\r\n"
              "        139.767125,35.681236,40.000000\r\n        139.770000,35.690000,0.0\r\n"
              "      </coordinates>\r\n    </LineString>\r\n  </Placemark>\r\n"
              "  <Placemark>\r\n    <name>スタート</name>\r\n    <description>\r\n      <![CDATA[\r\n"
              "      <h3>スタート時刻：<br>　2008/ 1/ 5  9:03:07</h3>\r\n" +
                  point +
                  "  <Placemark>\r\n    <name>ゴール</name>\r\n    <description>\r\n      <![CDATA[\r\n"
                  "      <h3>通過時刻：<br>　2008/ 1/ 5 10:04:07</h3>\r\n      <h3><u>積算データ</u></h3>\r\n"
                  "      <p>　距離：1234 ｍ<br>\r\n         　時間：1 時間 2 分 5 秒<br>\r\n"
                  "         　速度：1.2 km/h<br>\r\n         　消費カロリー：52.4 kcal</p>\r\n"
                  "      <h3><u>区間データ</u></h3>\r\n      <p>　区間距離：1234 ｍ<br>\r\n"
                  "         　区間タイム：1 時間 2 分 5 秒<br>\r\n         　区間平均速度：1.2 km/h</p>\r\n" +
                  point + "</Document>\r\n</kml>\r\n");
}

// Checkpoints are numbered and carry the figures of their section; the route is copied in
// pieces that end inside lines.
TEST(KmlExport, CheckpointsAreNumberedWithSectionFiguresAndTheRouteIsCopiedWhole) {
    TestServices t;
    CMyAmbuloDoc doc(t.services()); // no coordinates file: an empty route
    doc.m_checkpoints = {Record(9, 0, 0, 0, 0), Record(9, 5, 1000, 300, 50), Record(9, 5, 1500.5, 300, 75),
                         Record(9, 9, 2500.5, 540, 80)};
    ExportKml(doc, "run");
    const std::string kml = t.temp.ReadHostFile(kKml);
    EXPECT_EQ(RouteCoordinates(kml), "");
    const std::size_t first = kml.find("<name>チェックポイント #1</name>");
    const std::size_t second = kml.find("<name>チェックポイント #2</name>");
    const std::size_t goal = kml.find("<name>ゴール</name>");
    EXPECT_TRUE(kml.find("<name>スタート</name>") < first && first < second && second < goal);
    // #2 comes 500.5 m after #1 within the same second; the goal 1000 m in 240 s after #2.
    EXPECT_NE(kml.find("　区間距離：500 ｍ<br>\r\n         　区間タイム：0 秒<br>\r\n"
                       "         　区間平均速度：0.0 km/h</p>",
                       second),
              std::string::npos);
    EXPECT_NE(kml.find("区間タイム：4 分 0 秒<br>\r\n         　区間平均速度：15.0 km/h</p>", goal),
              std::string::npos);

    std::string coordinates; // 60 lines of 40 characters: 1022-byte pieces end inside lines
    for (int i = 0; i < 60; ++i) {
        coordinates += "        139." + std::to_string(100000 + i) + ",35.681236,12.500000\r\n";
    }
    doc.m_hKmlTemp = platform::File::CreateAlways(t.temp.root(), "\\AMBLKML.TMP");
    doc.m_hKmlTemp.Write(Le(std::u16string(coordinates.begin(), coordinates.end())));
    ExportKml(doc, "run");
    EXPECT_EQ(RouteCoordinates(t.temp.ReadHostFile(kKml)), coordinates);

    doc.m_bSaveKml = 0;
    std::filesystem::remove(t.temp.host() / kKml);
    ExportKml(doc, "run");
    EXPECT_FALSE(std::filesystem::exists(t.temp.host() / kKml));
}
