#include "engine/MyAmbuloDoc.h"
#include "logs/ExerciseRecord.h"
#include "logs/GpxExport.h"
#include "logs/HistoryLog.h"
#include "logs/KmlExport.h"
#include "logs/LogPaths.h"
#include "logs/RecoveryJournal.h"
#include "logs/TextFormat.h"
#include "logs/TrackLogWriter.h"
#include "support/Bytes.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <filesystem>
#include <sys/stat.h>
#include <tuple>

namespace {

// A fresh device root (no "\My Documents" yet) and the workout whose files are written on it.
class WorkoutFiles : public testing::Test {
protected:
    TestServices t;
    CMyAmbuloDoc doc{t.services()};
};
using HistoryLog = WorkoutFiles;
using KmlExport = WorkoutFiles;
using TrackLog = WorkoutFiles;

auto Fields(const ExerciseRecord& r) {
    return std::tie(r.nVersion, r.strTitle, r.strDistance, r.nSeconds, r.strKcal, r.strAvgSpeed,
                    r.nMaxSpeed10);
}

std::vector<int> Fields(const HistoryEntry& e) {
    const platform::SYSTEMTIME& t = e.stStart;
    return {t.wYear,   t.wMonth,  t.wDayOfWeek, t.wDay,     t.wHour,
            t.wMinute, t.wSecond, e.nMetres,    e.nSeconds, e.nKcal10};
}

const std::u16string kHead = u"\uFEFFDataVersion=0.01\r\n日付,時刻,距離(m),時間(秒),消費カロリー(kcal)\r\n";
constexpr char kHistory[] = "My Documents/Ambulo/amblHistory.log";
constexpr char kKml[] = "My Documents/Ambulo/KML/run.kml";

// A journal as the format has it: numbers in their shortest text that reads back exactly (the
// fixes' speed and heights are floats), the screen's texts with their trailing blanks, a position
// as its flags, latitude, longitude, speed, heights and UTC time.
const std::string kJournal = "AmbuloJournal 1\n"
                             "phase resting\n"
                             "run 20080115-093001\n"
                             "start 2008 1 2 15 9 30 1 0\n"
                             "written 2008 1 2 15 10 2 3 456\n"
                             "distance-text 1234 \n"
                             "elapsed-text 0:10:05 \n"
                             "kcal-text 52.4 \n"
                             "totals 1234.5678901234567 605 52.36 64 1 433\n"
                             "first-fix 207 35.0000001 -139.1234567 2.7 40.5 79.25 2008 1 2 15 0 30 1 250\n"
                             "last-fix 15 -35.5 139.75 0.1 0 0 2008 1 2 15 0 40 5 0\n"
                             "box -35.5 35.0000001 -139.1234567 139.75\n"
                             "checkpoint 2008 1 2 15 9 30 1 0 35 -139.1 40.5 0 0 0\n"
                             "checkpoint 2008 1 2 15 9 35 1 0 35.1 -139.2 0 600.25 300 25.125\n"
                             "end\n";

CheckpointRecord Record(std::uint16_t hour, std::uint16_t minute, double metres, int seconds, double kcal) {
    return {{2008, 1, 2, 5, hour, minute, 7, 0}, 35.69, 139.77, 40.0, metres, seconds, kcal};
}

} // namespace

TEST(ExerciseRecord, WritesSevenLinesAndReadsThemBack) {
    TempRoot temp;
    const ExerciseRecord record{1, "20080115-090307", "1234 ", 600, "52.4 ", "7.4", 123};
    ASSERT_TRUE(WriteExerciseRecord(temp.root(), "\\r.hol", record));
    EXPECT_EQ(temp.ReadHostFile("r.hol"),
              Le(u"\uFEFFDataVersion=001\r\nタイトル＝20080115-090307\r\n総距離＝1234 \r\n"
                 u"時間＝600\r\n消費カロリー＝52.4 \r\n平均速度＝7.4\r\n最大速度＝12.3\r\n"));
    const auto read = ReadExerciseRecord(temp.root(), "\\r.hol");
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), Fields(record)); // 600 s shows as "0:10:00 ", 12.3 as 123 tenths
    EXPECT_FALSE(ReadExerciseRecord(temp.root(), "\\missing.hol"));
}

TEST(ExerciseRecord, ReaderToleratesCutFilesAndMissingKeys) {
    TempRoot temp;
    // A title that looks like a key, no distance, a file cut in the time value with an odd byte.
    temp.WriteHostFile("cut.hol", Le(u"\uFEFFDataVersion=7\r\nタイトル＝x時間＝1\r\n時間＝42") + "9");
    auto read = ReadExerciseRecord(temp.root(), "\\cut.hol");
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), std::make_tuple(7, "x時間＝1", "", 42, "", "", 0));

    // Only the first 1024 bytes count: the mark and 511 characters, which end inside the title.
    temp.WriteHostFile("long.hol", Le(u"\uFEFFDataVersion=001\r\nタイトル＝" + std::u16string(600, u'a') +
                                      u"\r\n総距離＝1 \r\n時間＝1\r\n最大速度＝1.0\r\n"));
    read = ReadExerciseRecord(temp.root(), "\\long.hol");
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), std::make_tuple(1, std::string(511 - 17 - 5, 'a'), "", 0, "", "", 0));
}

TEST(TextFormat, NumbersIgnoreTheProcessLocale) {
    const std::string before = CFormat("%f|%.01f|%.1f", 139.5, 12.25, -0.05);
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (german == nullptr) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    }
    EXPECT_EQ(CFormat("%f|%.01f|%.1f", 139.5, 12.25, -0.05), before);
    EXPECT_EQ(before, "139.500000|12.2|-0.1"); // printf's rounding of the stored doubles
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(CFormat("%s", std::string(300, 'x').c_str()).size(), 300U); // beyond the first buffer
}

TEST(TextFormat, ScreenAndFileTexts) {
    EXPECT_EQ(ElapsedText(3725), "1:02:05 ");
    EXPECT_EQ(ElapsedText(600), "0:10:00 ");
    EXPECT_EQ(AverageSpeedText(1234.9, 600), "7.4");
    EXPECT_EQ(AverageSpeedText(50.0, 0), "0.0");
    EXPECT_EQ(RunName({2008, 1, 2, 15, 9, 3, 7, 0}), "20080115-090307");
    EXPECT_EQ(RecordPathForTrackLog("\\a.log\\Log\\20080115-090307.log"),
              "\\a.log\\Log\\20080115-090307.hol");
}

TEST_F(HistoryLog, AppendWritesTheHeaderOnceAndLoadReadsTheLinesBack) {
    std::filesystem::create_directories(t.temp.host() / "My Documents/Ambulo");
    doc.m_stRunStart = {2008, 1, 2, 15, 9, 3, 7, 0};
    doc.m_dblTotalDistance = 1234.9, doc.m_nElapsedSeconds = 600, doc.m_dblTotalKcal = 52.36;
    EXPECT_TRUE(AppendHistory(doc));
    doc.m_stRunStart.wDay = 16, doc.m_dblTotalKcal = 0.04;
    EXPECT_TRUE(AppendHistory(doc));
    const std::string expected =
        Le(kHead + u"2008/01/15,09:03:07,1234,600,52.4\r\n2008/01/16,09:03:07,1234,600,0.0\r\n");
    EXPECT_EQ(t.temp.ReadHostFile(kHistory), expected);
    const auto entries = LoadHistory(t.temp.root(), doc.m_strLogFolder);
    ASSERT_TRUE(entries && entries->size() == 2);
    EXPECT_EQ(Fields((*entries)[0]), (std::vector<int>{2008, 1, 0, 15, 9, 3, 7, 1234, 600, 524}));
    EXPECT_EQ(Fields((*entries)[1]), (std::vector<int>{2008, 1, 0, 16, 9, 3, 7, 1234, 600, 0}));

    doc.m_bSaveHistory = 0;
    EXPECT_TRUE(AppendHistory(doc));
    EXPECT_EQ(t.temp.ReadHostFile(kHistory), expected);
    doc.m_bSaveHistory = 1;
    t.temp.WriteHostFile(kHistory, "123456789"); // too short to hold a header: it is written over
    AppendHistory(doc);
    EXPECT_EQ(t.temp.ReadHostFile(kHistory), Le(kHead + u"2008/01/16,09:03:07,1234,600,0.0\r\n"));
    t.temp.WriteHostFile(kHistory, "0123456789"); // ten bytes are taken for a header
    AppendHistory(doc);
    EXPECT_EQ(t.temp.ReadHostFile(kHistory), "0123456789" + Le(u"2008/01/16,09:03:07,1234,600,0.0\r\n"));
    EXPECT_FALSE(LoadHistory(t.temp.root(), "\\nowhere\\"));
}

// A damaged log still gives an entry for every line, and a line appended after half a character
// at its end stays whole; a FIFO or a device in its place is no log and is never waited on.
TEST_F(HistoryLog, DamagedOrOddFilesNeitherSpoilNorHangTheLog) {
    t.temp.WriteHostFile(kHistory, Le(u"\uFEFFDataVersion=9\r\nheader\r\n\r\n2008/01/15,09:03\r\n"
                                      u" 12,x, 99999999999999999999999,-7,1.5.2,3\r\n2008/1/5,9:3:7,1,2,3") +
                                       "\x01");
    doc.m_stRunStart = {2008, 1, 2, 15, 9, 3, 7, 0};
    doc.m_dblTotalDistance = 1000.0, doc.m_nElapsedSeconds = 300, doc.m_dblTotalKcal = 20.0;
    ASSERT_TRUE(AppendHistory(doc));
    const auto entries = LoadHistory(t.temp.root(), doc.m_strLogFolder);
    ASSERT_TRUE(entries && entries->size() == 5);
    EXPECT_EQ(Fields((*entries)[0]), (std::vector<int>(10, 0)));
    EXPECT_EQ(Fields((*entries)[1]), (std::vector<int>{2008, 1, 0, 15, 9, 3, 0, 0, 0, 0}));
    EXPECT_EQ(Fields((*entries)[2]), (std::vector<int>{12, 0, 0, 0, 0, 0, 0, INT_MAX, -7, 152}));
    EXPECT_EQ(Fields((*entries)[3]), (std::vector<int>{2008, 1, 0, 0, 9, 0, 0, 1, 2, 3}));
    EXPECT_EQ(Fields((*entries)[4]), (std::vector<int>{2008, 1, 0, 15, 9, 3, 7, 1000, 300, 200}));

    std::filesystem::remove(t.temp.host() / kHistory);
    ASSERT_EQ(::mkfifo((t.temp.host() / kHistory).c_str(), 0644), 0);
    EXPECT_FALSE(LoadHistory(t.temp.root(), doc.m_strLogFolder));
    EXPECT_FALSE(AppendHistory(doc));
    std::filesystem::remove(t.temp.host() / kHistory);
    std::filesystem::create_symlink("/dev/zero", t.temp.host() / kHistory);
    EXPECT_FALSE(LoadHistory(t.temp.root(), doc.m_strLogFolder));
    EXPECT_FALSE(AppendHistory(doc));
}

// Every field read is written back in its place and to the last bit.
TEST(RecoveryJournal, EveryFieldComesBackExactly) {
    EXPECT_EQ(EncodeJournal(DecodeJournal(kJournal).value()), kJournal);
}

TEST(RecoveryJournal, OnlyAWholeJournalOfOursIsRead) {
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = kJournal;
        return text.replace(text.find(from), from.size(), to);
    };
    for (const std::string& bad : {
             kJournal.substr(0, kJournal.size() - 4),             // cut before its end
             kJournal.substr(0, kJournal.find("box ")) + "end\n", // a key missing
             replaced("box ", "box 1 2 3 4\nbox "),               // a key twice
             replaced("totals 1234", "totals x1234"),             // not a number
             replaced("605 ", "605.5 "),                          // not a whole number
             replaced("run 20080115-093001", "run ../../x"),      // a run name that would escape
             replaced("phase resting", "phase sleeping"),         // no such phase
             replaced("AmbuloJournal 1", "AmbuloJournal 2"),      // another program's or version's
             std::string(),
         }) {
        EXPECT_FALSE(DecodeJournal(bad)) << bad;
    }
}

TEST(RecoveryJournal, SyncsTheFirstWriteAndThenEveryThirtySeconds) {
    TempRoot temp;
    auto now = std::chrono::steady_clock::time_point{};
    RecoveryJournal journal([&] { return now; });
    EXPECT_TRUE(journal.SyncDue());
    ASSERT_TRUE(journal.Write(temp.root(), "\\Log\\", DecodeJournal(kJournal).value()));
    now += std::chrono::seconds(29);
    EXPECT_FALSE(journal.SyncDue());
    now += std::chrono::seconds(1);
    EXPECT_TRUE(journal.SyncDue());

    JournalState read;
    EXPECT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Readable);
    EXPECT_EQ(read.runName, "20080115-093001");

    // A write torn by the program's death spoils one copy only: the other holds the state before.
    JournalState later = DecodeJournal(kJournal).value();
    later.elapsedSeconds = 610;
    ASSERT_TRUE(journal.Write(temp.root(), "\\Log\\", later));
    std::string second = temp.ReadHostFile("Log/AMBLJRN2.TMP");
    second[second.find("610")] = '9';
    temp.WriteHostFile("Log/AMBLJRN2.TMP", second);
    ASSERT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Readable);
    EXPECT_EQ(read.elapsedSeconds, 605);
    later.elapsedSeconds = 615; // a shorter state over a longer one: the old tail is not read
    later.checkpoints.clear();
    ASSERT_TRUE(journal.Write(temp.root(), "\\Log\\", later));
    ASSERT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Readable);
    EXPECT_EQ(read.elapsedSeconds, 615);
    EXPECT_TRUE(read.checkpoints.empty());
    temp.WriteHostFile("Log/AMBLJRNL.TMP", "AmbuloJournal 1\ngarbage");
    EXPECT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Damaged);
    EXPECT_EQ(RecoveryJournal::SetAside(temp.root(), "\\Log\\"), "\\Log\\AMBLJRNL-001.BAD");
    EXPECT_EQ(temp.ReadHostFile("Log/AMBLJRNL-001.BAD"), "AmbuloJournal 1\ngarbage");
    EXPECT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::None);
}

TEST_F(KmlExport, WritesTheCompleteDocument) {
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

TEST_F(KmlExport, CheckpointsAreNumberedWithSectionFiguresAndTheRouteIsCopiedWhole) {
    doc.m_checkpoints = {Record(9, 0, 0, 0, 0), Record(9, 5, 1000, 300, 50), Record(9, 5, 1500.5, 300, 75),
                         Record(9, 9, 2500.5, 540, 80)};
    ExportKml(doc, "run"); // no coordinates file: an empty route
    const std::string kml = t.temp.ReadHostFile(kKml);
    EXPECT_NE(kml.find("      <coordinates>\r\n      </coordinates>\r\n"), std::string::npos);
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
    EXPECT_NE(
        t.temp.ReadHostFile(kKml).find("      <coordinates>\r\n" + coordinates + "      </coordinates>"),
        std::string::npos);

    doc.m_bSaveKml = 0;
    std::filesystem::remove(t.temp.host() / kKml);
    ExportKml(doc, "run");
    EXPECT_FALSE(std::filesystem::exists(t.temp.host() / kKml));
}

TEST_F(TrackLog, WritesFixLinesCoordinatesAndTheGpxDocument) {
    TrackLogWriter writer(doc);
    ASSERT_TRUE(writer.Open("run.log").ok);
    const auto accept = [&](std::uint32_t flags, int elapsed, float knots, double step) {
        const auto second = static_cast<std::uint16_t>(7 + elapsed);
        const double moved = elapsed * 0.0001;
        doc.m_posCurrent = {
            flags, {2008, 1, 2, 15, 9, 3, second, 0}, 35.681 + moved, 139.767 + moved, knots, 40.0F, 76.5F};
        doc.m_posPrevious = doc.m_posCurrent; // as position processing leaves an accepted fix
        doc.m_stFixUtc.reset();               // the receiver's own time, which only the GPX takes
        if (elapsed < 10) {
            doc.m_stFixUtc = {{2008, 1, 2, 15, 0, 3, second, 250}};
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
    const std::string points =
        "      <trkpt lat=\"35.6810000\" lon=\"139.7670000\"><ele>40.0</ele>"
        "<time>2008-01-15T00:03:07.250Z</time></trkpt>\n"
        "      <trkpt lat=\"35.6815000\" lon=\"139.7675000\"><time>2008-01-15T00:03:12.250Z</time></trkpt>\n"
        "    </trkseg>\n    <trkseg>\n"
        "      <trkpt lat=\"35.6820000\" lon=\"139.7680000\"></trkpt>\n";
    EXPECT_EQ(t.temp.ReadHostFile("My Documents/Ambulo/AMBLGPX.TMP"), points);
    // The GPX document takes its start time from the first point that has one.
    doc.m_dblMinLat = 35.68, doc.m_dblMaxLat = 35.69, doc.m_dblMinLon = -0.5, doc.m_dblMaxLon = 139.77;
    doc.m_checkpoints = {{{}, 35.6812360, 139.767125}, {{}, 35.5, -0.5}, {{}, 35.69, 139.77}};
    EXPECT_TRUE(ExportGpx(doc, "R&D <1> \"a'b\""));
    EXPECT_EQ(
        t.temp.ReadHostFile("My Documents/Ambulo/GPX/R&D <1> \"a'b\".gpx"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Ambulo 1.07\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\""
        "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
        "  <metadata>\n    <time>2008-01-15T00:03:07.250Z</time>\n"
        "    <bounds minlat=\"35.6800000\" minlon=\"-0.5000000\" maxlat=\"35.6900000\" "
        "maxlon=\"139.7700000\"/>\n  </metadata>\n"
        "  <wpt lat=\"35.6812360\" lon=\"139.7671250\">\n    <name>スタート</name>\n  </wpt>\n"
        "  <wpt lat=\"35.5000000\" lon=\"-0.5000000\">\n    <name>チェックポイント #1</name>\n  </wpt>\n"
        "  <wpt lat=\"35.6900000\" lon=\"139.7700000\">\n    <name>ゴール</name>\n  </wpt>\n"
        "  <trk>\n    <name>R&amp;D &lt;1&gt; &quot;a&apos;b&quot;</name>\n    <trkseg>\n" +
            points + "    </trkseg>\n  </trk>\n</gpx>\n");
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

TEST_F(TrackLog, OpenIsAllOrNothing) {
    t.temp.WriteHostFile("My Documents/Ambulo/Log", ""); // a file where the Log folder belongs
    EXPECT_EQ(TrackLogWriter(doc).Open("a.log").error, ENOTDIR);
    EXPECT_FALSE(std::filesystem::exists(t.temp.host() / "My Documents/Ambulo/AMBLKML.TMP"));
    std::filesystem::remove(t.temp.host() / "My Documents/Ambulo/Log");
    std::filesystem::create_directories(t.temp.host() / "My Documents/Ambulo/AMBLKML.TMP");
    EXPECT_EQ(TrackLogWriter(doc).Open("a.log").error, EISDIR);
    EXPECT_FALSE(doc.m_hTrackLog.IsOpen() || doc.m_hKmlTemp.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(t.temp.host() / "My Documents/Ambulo/Log/a.log"));
    doc.m_bSaveKml = 0; // then the track log alone is enough
    EXPECT_TRUE(TrackLogWriter(doc).Open("a.log").ok);
}
