#include "replay/Replay.h"

#include "engine/SavedSettings.h"
#include "platform/InstanceLock.h"
#include "platform/TextCodec.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sys/mount.h>

namespace {

// An RMC and a GGA sentence (no checksums, which the reader accepts) for a fix `north` metres
// north of 35N 139E at a UTC time "hhmmss.ss" on 2026-03-29; status V when there is no fix.
std::string Epoch(const std::string& time, double north, bool fix = true) {
    const double minutes = north / 1849.3; // metres in a minute of latitude at 35 degrees north
    char lat[32];
    std::snprintf(lat, sizeof lat, "35%07.4f", minutes);
    return "$GPRMC," + time + (fix ? ",A," : ",V,") + lat + ",N,13900.0000,E,5.0,0.0,290326,,\r\n" +
           "$GPGGA," + time + "," + lat + ",N,13900.0000,E,1,08,1.0,20.0,M,39.0,M,,\r\n";
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

class ReplayTest : public ::testing::Test {
protected:
    ReplayResult Replay(const std::string& nmea, ReplayOptions options = {}) {
        std::ofstream(temp.host() / "log.nmea", std::ios::binary) << nmea;
        options.root = device;
        options.nmeaLog = temp.host() / "log.nmea";
        return RunReplay(options);
    }
    std::string File(const std::string& relative) { return temp.ReadHostFile("device/" + relative); }

    const ScopedEnv berlin{"TZ", "Europe/Berlin"};
    TempRoot temp;
    const std::filesystem::path device = temp.host() / "device";
};

} // namespace

// Berlin leaves CET for CEST at 01:00 UTC: 01:59:59 CET is followed by 03:00:00 CEST. The files
// show local times, the GPX the receiver's UTC times.
TEST_F(ReplayTest, WholeWorkoutWithRestGlitchTapAndZeroSecondStepAcrossADaylightSavingChange) {
    std::string nmea = Epoch("005957.00", 0, false);         // 1: no fix yet
    nmea += Epoch("005958.00", 0);                           // 2: ready; Start after it
    nmea += Epoch("005959.00", 0);                           // 3: start point
    nmea += Epoch("010000.00", 10.1);                        // 4: 10.1 m in 1 s; tap after it
    nmea += Epoch("010000.50", 20.2);                        // 5: the same second: no speed
    nmea += Epoch("010001.00", 75);                          // 6: a glitch
    nmea += Epoch("010002.00", 30.3);                        // 7: 10.1 m in 2 s; Rest after it
    nmea += Epoch("010003.00", 40) + Epoch("010004.00", 50); // 8, 9: resting; Start after 9
    nmea += Epoch("010005.00", 60.5);                        // 10: 30.2 m in 3 s
    ReplayOptions options;
    options.rests = {{7, 9}};
    options.taps = {4};
    const ReplayResult result = Replay(nmea, options);
    ASSERT_TRUE(result.ok) << result.error;
    double kcal = 0;
    int maxSpeed10 = 0;
    ASSERT_EQ(std::sscanf(result.summary.c_str(),
                          "run 20260329-015958 distance 60 seconds 6 kcal %lf maxspeed10 %d", &kcal,
                          &maxSpeed10),
              2)
        << result.summary;
    EXPECT_NEAR(kcal, 60 * 18.0 * 1.05 * (1 + 2 + 3) / 3600, 0.051); // 18 METs above 17.5 km/h
    EXPECT_NEAR(maxSpeed10, 363, 3);
    EXPECT_EQ(Count(File("My Documents/Ambulo/amblHistory.log"),
                    platform::Utf8ToUtf16Le("2026/03/29,01:59:58,60,6,")),
              1U);

    const std::string kml = File("My Documents/Ambulo/KML/20260329-015958.kml");
    EXPECT_EQ(Count(kml, "<name>チェックポイント #1</name>"), 1U);
    EXPECT_EQ(Count(kml, "<name>ゴール</name>"), 1U);
    EXPECT_EQ(Count(kml, ",20.000000\r\n"), 5U); // one coordinate line per accepted fix
    // One track segment per measured stretch.
    const std::string gpx = File("My Documents/Ambulo/GPX/20260329-015958.gpx");
    EXPECT_EQ(Count(gpx, "</trkpt>\n    </trkseg>\n    <trkseg>\n      <trkpt"), 1U);
    EXPECT_EQ(Count(gpx, "<trkpt "), 5U);
    EXPECT_EQ(Count(gpx, "<time>2026-03-29T00:59:59.000Z</time></trkpt>"), 1U);
    EXPECT_EQ(Count(gpx, "<time>2026-03-29T01:00:00.500Z</time></trkpt>"), 1U);
    EXPECT_FALSE(std::filesystem::exists(device / "My Documents/Ambulo/AMBLGPX.TMP"));
    // The GPX is written with the KML but listed only when asked for.
    ASSERT_EQ(result.files.size(), 3U);
    EXPECT_EQ(result.files[2], (device / "My Documents/Ambulo/amblHistory.log").string());
}

// A finish with no fix taken writes the history line but no route; what cannot run writes nothing.
TEST_F(ReplayTest, NothingToSaveOrNothingToRun) {
    const ReplayResult result = Replay(Epoch("003001.00", 0) + Epoch("003002.00", 0, false));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.summary, "run 20260329-013001 distance 0 seconds 0 kcal 0.0 maxspeed10 0");
    EXPECT_FALSE(std::filesystem::exists(device / "My Documents/Ambulo/GPX") ||
                 std::filesystem::exists(device / "My Documents/Ambulo/AMBLGPX.TMP"));
    EXPECT_NE(
        File("My Documents/Ambulo/amblHistory.log").find(platform::Utf8ToUtf16Le("01:30:01,0,0,0.0\r\n")),
        std::string::npos);

    std::filesystem::remove_all(device);
    EXPECT_FALSE(Replay(Epoch("003001.00", 0, false) + "garbage\r\n").ok);
    EXPECT_FALSE(std::filesystem::exists(device));
    ReplayOptions missing;
    missing.nmeaLog = temp.host() / "missing.nmea";
    EXPECT_EQ(RunReplay(missing).error,
              "cannot read " + missing.nmeaLog.string() + ": No such file or directory");
    std::string error;
    EXPECT_FALSE(ParseReplayArguments({"--rest", "5:3", "x.nmea"}, error));
    // A second program on the same root ends at once.
    std::filesystem::create_directories(device);
    const platform::InstanceLock held{platform::DeviceRoot(device)};
    EXPECT_EQ(Replay(Epoch("003001.00", 0) + Epoch("003002.00", 0)).error, "Ambulo は既に起動しています。");
}

// The disk fills in the middle of a workout: each file that cannot be written is said once, what
// was on the disk before stays byte for byte, and no file that is not whole is listed.
TEST_F(ReplayTest, AFullDiskDamagesNothing) {
    std::filesystem::create_directories(device);
    if (::mount("tmpfs", device.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    struct Unmount {
        std::filesystem::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{device};

    // A history ending two bytes short of a page: the next line can only be written in part.
    std::string history = platform::Utf8ToUtf16Le("\uFEFFDataVersion=0.01\r\n日付,時刻,距離(m),時間(秒),"
                                                  "消費カロリー(kcal)\r\n2008/01/14,09:03:07,5,6,0.7\r\n");
    history.insert(history.size() - 10,
                   platform::Utf8ToUtf16Le(std::string((4094 - history.size()) / 2, ' ')));
    ASSERT_EQ(history.size(), 4094U);
    std::filesystem::create_directories(device / "My Documents/Ambulo");
    std::ofstream(device / "My Documents/Ambulo/amblHistory.log", std::ios::binary) << history;
    SavedSettings keepEverything;
    keepEverything.bSaveGpsLog = 1;
    const std::string settings = EncodeSettings(keepEverything);
    std::filesystem::create_directories(device / "Program Files/Ambulo");
    std::ofstream(device / "Program Files/Ambulo/ambl.opt", std::ios::binary) << settings;
    std::string nmea;
    for (int second = 0; second < 1500; ++second) {
        char time[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d.00", second / 3600, second / 60 % 60, second % 60);
        nmea += Epoch(time, second * 3.0);
    }
    const ReplayResult result = Replay(nmea);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("を保存できませんでした。"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("No space left on device"), std::string::npos) << result.error;
    EXPECT_EQ(File("My Documents/Ambulo/amblHistory.log"), history);
    EXPECT_EQ(File("Program Files/Ambulo/ambl.opt"), settings);
    // Each file that failed is named once, although the track log failed at every later fix.
    const std::string trackLog = (device / "My Documents/Ambulo/Log/").string();
    EXPECT_EQ(std::count_if(
                  result.failures.begin(), result.failures.end(),
                  [&](const std::string& m) { return m.starts_with(trackLog) && m.find(".log") != m.npos; }),
              1);
    EXPECT_EQ(std::set(result.failures.begin(), result.failures.end()).size(), result.failures.size());
    for (const auto& listed : result.files) {
        EXPECT_NE(listed, (device / "My Documents/Ambulo/amblHistory.log").string());
        const std::string bytes = temp.ReadHostFile(std::filesystem::relative(listed, temp.host()));
        EXPECT_TRUE(!listed.ends_with(".kml") || bytes.ends_with("</kml>\r\n")) << listed;
    }
    // No temporary file of a replacement is left behind.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(device)) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}
