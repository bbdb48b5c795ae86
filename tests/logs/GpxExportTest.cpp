#include "logs/GpxExport.h"

#include "engine/MyAmbuloDoc.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

TEST(GpxExport, WritesMetadataWaypointsThenTheTrackWithItsNameEscaped) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    doc.m_hGpxTemp = platform::File::CreateAlways(t.temp.root(), "\\AMBLGPX.TMP");
    const std::string points = "      <trkpt lat=\"35.6812360\" lon=\"139.7671250\"><ele>40.0</ele>"
                               "<time>2008-01-15T00:30:01.250Z</time></trkpt>\n"
                               "      <trkpt lat=\"35.6900000\" lon=\"139.7700000\"></trkpt>\n";
    doc.m_hGpxTemp.Write(points);
    doc.m_dblMinLat = 35.68, doc.m_dblMaxLat = 35.69, doc.m_dblMinLon = -0.5, doc.m_dblMaxLon = 139.77;
    doc.m_checkpoints = {{{}, 35.6812360, 139.767125}, {{}, 35.5, -0.5}, {{}, 35.69, 139.77}};
    EXPECT_TRUE(ExportGpx(doc, "R&D <1> \"a'b\""));
    EXPECT_EQ(
        t.temp.ReadHostFile("My Documents/Ambulo/GPX/R&D <1> \"a'b\".gpx"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Ambulo 1.07\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\""
        "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
        "  <metadata>\n    <time>2008-01-15T00:30:01.250Z</time>\n"
        "    <bounds minlat=\"35.6800000\" minlon=\"-0.5000000\" maxlat=\"35.6900000\" "
        "maxlon=\"139.7700000\"/>\n  </metadata>\n"
        "  <wpt lat=\"35.6812360\" lon=\"139.7671250\">\n    <name>スタート</name>\n  </wpt>\n"
        "  <wpt lat=\"35.5000000\" lon=\"-0.5000000\">\n    <name>チェックポイント #1</name>\n  </wpt>\n"
        "  <wpt lat=\"35.6900000\" lon=\"139.7700000\">\n    <name>ゴール</name>\n  </wpt>\n"
        "  <trk>\n    <name>R&amp;D &lt;1&gt; &quot;a&apos;b&quot;</name>\n    <trkseg>\n" +
            points + "    </trkseg>\n  </trk>\n</gpx>\n");
}
