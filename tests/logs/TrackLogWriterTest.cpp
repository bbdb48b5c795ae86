#include "logs/TrackLogWriter.h"

#include "engine/MyAmbuloDoc.h"
#include "support/Bytes.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

TEST(TrackLog, WritesHeaderFixLinesAndCoordinates) {
    TestServices t; // a fresh root: no "\My Documents" yet
    CMyAmbuloDoc doc(t.services());
    TrackLogWriter writer(doc);
    ASSERT_TRUE(writer.Open("run.log").ok);
    const auto accept = [&](std::uint32_t flags, int elapsed, float knots, double step) {
        doc.m_posCurrent = {flags,
                            {2008, 1, 2, 15, 9, 3, static_cast<std::uint16_t>(7 + elapsed), 0},
                            35.681 + elapsed * 0.0001,
                            139.767 + elapsed * 0.0001,
                            knots,
                            40.0F,
                            76.5F};
        doc.m_posPrevious = doc.m_posCurrent; // as position processing leaves an accepted fix
        doc.m_stFixUtc.reset();               // the receiver's own time, which only the GPX takes
        if (elapsed < 10) {
            doc.m_stFixUtc = {{2008, 1, 2, 15, 0, 3, static_cast<std::uint16_t>(7 + elapsed), 250}};
        }
        doc.m_nElapsedSeconds = elapsed, doc.m_dblStepDistance = step, doc.m_nStepSeconds = elapsed ? 5 : 0;
        EXPECT_TRUE(writer.AppendFix().trackLog);
    };
    writer.StartNewSegment();                 // a rest before any point starts no GPX segment
    accept(0xCF, 0, 10.0F, 0.0);              // both heights valid: sea level wins
    accept(0x8F, 5, 2.5F, 8.25);              // ellipsoid height only
    writer.StartNewSegment();                 // a rest
    accept(0x0F, 10, 0.0F, 8.25);             // no height
    EXPECT_TRUE(writer.Open("other.log").ok); // a resumed workout keeps its files
    EXPECT_EQ(doc.m_nTrackLogLines, 3);
    EXPECT_EQ(t.temp.ReadHostFile("My Documents/Ambulo/Log/run.log"),
              Le(u"\uFEFFDataVersion=0.01\r\nID, 日付,時刻,緯度,経度,海抜,高度,距離,時間,速度\r\n"
                 u"0,2008/01/15,09:03:07,35.681000,139.767000,40.000000,76.500000,0.00,0,18.5\r\n"
                 u"5,2008/01/15,09:03:12,35.681500,139.767500,40.000000,76.500000,8.25,5,4.6\r\n"
                 u"10,2008/01/15,09:03:17,35.682000,139.768000,40.000000,76.500000,8.25,5,0.0\r\n"));
    EXPECT_EQ(t.temp.ReadHostFile("My Documents/Ambulo/AMBLKML.TMP"),
              Le(u"        139.767000,35.681000,40.000000\r\n        139.767500,35.681500,76.500000\r\n"
                 u"        139.768000,35.682000,0.0\r\n"));
    EXPECT_EQ(
        t.temp.ReadHostFile("My Documents/Ambulo/AMBLGPX.TMP"),
        "      <trkpt lat=\"35.6810000\" lon=\"139.7670000\"><ele>40.0</ele>"
        "<time>2008-01-15T00:03:07.250Z</time></trkpt>\n"
        "      <trkpt lat=\"35.6815000\" lon=\"139.7675000\"><time>2008-01-15T00:03:12.250Z</time></trkpt>\n"
        "    </trkseg>\n    <trkseg>\n"
        "      <trkpt lat=\"35.6820000\" lon=\"139.7680000\"></trkpt>\n");
    doc.m_nStepSeconds = -3; // the receiver's clock stepped back: a step of no time
    writer.AppendFix();
    EXPECT_TRUE(t.temp.ReadHostFile("My Documents/Ambulo/Log/run.log").ends_with(Le(u",8.25,0,0.0\r\n")));
    // A height counts only when both ends of the step carry it.
    for (const auto& [previous, line] :
         {std::pair{0x8FU, u"35.682000,76.500000\r\n"}, {0x0FU, u"35.682000,0.0\r\n"}}) {
        doc.m_posCurrent.dwValidFields = 0xCF;
        doc.m_posPrevious.dwValidFields = previous;
        writer.AppendFix();
        EXPECT_TRUE(t.temp.ReadHostFile("My Documents/Ambulo/AMBLKML.TMP").ends_with(Le(line))) << previous;
    }
}

TEST(TrackLog, OpenIsAllOrNothing) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    std::filesystem::create_directories(t.temp.host() / "My Documents/Ambulo/AMBLKML.TMP");
    EXPECT_EQ(TrackLogWriter(doc).Open("a.log").error, EISDIR);
    EXPECT_FALSE(doc.m_hTrackLog.IsOpen() || doc.m_hKmlTemp.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(t.temp.host() / "My Documents/Ambulo/Log/a.log"));
    doc.m_bSaveKml = 0; // then the track log alone is enough
    EXPECT_TRUE(TrackLogWriter(doc).Open("a.log").ok);

    TestServices u;
    CMyAmbuloDoc blocked(u.services());
    u.temp.WriteHostFile("My Documents/Ambulo/Log", ""); // a file where the Log folder belongs
    EXPECT_EQ(TrackLogWriter(blocked).Open("a.log").error, ENOTDIR);
    EXPECT_FALSE(std::filesystem::exists(u.temp.host() / "My Documents/Ambulo/AMBLKML.TMP"));
}
