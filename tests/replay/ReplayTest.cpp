#include "replay/Replay.h"

#include "engine/SavedSettings.h"
#include "platform/InstanceLock.h"
#include "platform/TextCodec.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <regex>
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

class ReplayTest : public ::testing::Test {
protected:
    ReplayResult Replay(const std::string& nmea, std::vector<ReplayOptions::Rest> rests = {},
                        std::vector<int> taps = {}, bool gpx = false) {
        temp.WriteHostFile("log.nmea", nmea);
        return RunReplay({device, temp.host() / "log.nmea", rests, taps, gpx});
    }
    std::string File(const std::string& relative) { return temp.ReadHostFile(folder + relative); }

    const ScopedEnv berlin{"TZ", "Europe/Berlin"};
    TempRoot temp;
    const std::filesystem::path device = temp.host() / "device";
    const std::string folder = (device / "My Documents/Ambulo/").string();
};

} // namespace

// Berlin leaves CET for CEST at 01:00 UTC: 01:59:59 CET is followed by 03:00:00 CEST. The files
// show local times.
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
    const ReplayResult result = Replay(nmea, {{7, 9}}, {4});
    ASSERT_TRUE(result.ok) << result.error;
    // 60 kg x 18 METs (above 17.5 km/h) x 1.05 x 6 s / 3600 is 1.89 kcal; 10.1 m in 1 s, 36.4 km/h,
    // measured between positions given to a ten-thousandth of a minute.
    EXPECT_TRUE(std::regex_match(result.summary, std::regex("run 20260329-015958 distance 60 seconds 6 "
                                                            "kcal 1\\.9 maxspeed10 36[0-6]")))
        << result.summary;
    // The GPX is written with the KML but listed only when asked for.
    EXPECT_EQ(result.files, (std::vector{folder + "AMBLKML.TMP", folder + "KML/20260329-015958.kml",
                                         folder + "amblHistory.log"}));
    EXPECT_NE(File("KML/20260329-015958.kml").find("<name>チェックポイント #1</name>"), std::string::npos);
    EXPECT_TRUE(
        File("amblHistory.log").ends_with(platform::Utf8ToUtf16Le("\r\n2026/03/29,01:59:58,60,6,1.9\r\n")));
}

// What cannot run writes nothing; a finish with no fix taken writes the history line but no route; a
// second program on the same root ends at once.
TEST_F(ReplayTest, NothingToSaveOrNothingToRun) {
    EXPECT_FALSE(Replay(Epoch("003001.00", 0, false) + "garbage\r\n").ok);
    EXPECT_FALSE(std::filesystem::exists(device));
    const ReplayResult result = Replay(Epoch("003001.00", 0) + Epoch("003002.00", 0, false), {}, {}, true);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.summary, "run 20260329-013001 distance 0 seconds 0 kcal 0.0 maxspeed10 0");
    EXPECT_EQ(result.files, std::vector{folder + "amblHistory.log"});
    EXPECT_FALSE(std::filesystem::exists(folder + "AMBLGPX.TMP"));
    std::string error;
    const std::string missing = (temp.host() / "missing.nmea").string();
    EXPECT_EQ(RunReplay(*ParseReplayArguments({missing}, error)).error,
              "cannot read " + missing + ": No such file or directory");
    EXPECT_FALSE(ParseReplayArguments({"--rest", "5:3", "x.nmea"}, error));
    const platform::InstanceLock held{platform::DeviceRoot(device)};
    EXPECT_EQ(Replay(Epoch("003001.00", 0) + Epoch("003002.00", 0)).error, "Ambulo は既に起動しています。");
}

// The disk fills in the middle of a workout: the replay fails, naming each file that could not be
// written once; the history on the disk before stays byte for byte; no file that is not whole is
// listed (here none is whole), and no temporary file is left behind.
TEST_F(ReplayTest, AFullDiskDamagesNothing) {
    std::filesystem::create_directories(device);
    if (::mount("tmpfs", device.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    // A history ending two bytes short of a page: the next line can only be written in part.
    const std::string history(4094, ' ');
    temp.WriteHostFile(folder + "amblHistory.log", history);
    temp.WriteHostFile(device / "Program Files/Ambulo/ambl.opt", EncodeSettings({.bSaveGpsLog = 1}));
    std::string nmea;
    for (int second = 0; second < 1500; ++second) {
        char time[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d.00", second / 3600, second / 60 % 60, second % 60);
        nmea += Epoch(time, second * 3.0);
    }
    const ReplayResult result = Replay(nmea);
    EXPECT_FALSE(result.ok);
    const std::string full = "を保存できませんでした。\nNo space left on device";
    const std::string trackLog = folder + "Log/20260329-010000.log" + full; // fails at every later fix
    EXPECT_EQ(result.error, trackLog);
    EXPECT_EQ(
        std::multiset(result.failures.begin(), result.failures.end()),
        (std::multiset{trackLog, folder + "Log/20260329-010000.hol" + full, folder + "AMBLGPX.TMP" + full,
                       folder + "AMBLKML.TMP" + full, folder + "KML/20260329-010000.kml" + full,
                       folder + "GPX/20260329-010000.gpx" + full, folder + "amblHistory.log" + full}));
    EXPECT_EQ(File("amblHistory.log"), history);
    EXPECT_TRUE(result.files.empty());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(device)) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
    ::umount2(device.c_str(), MNT_DETACH);
}
