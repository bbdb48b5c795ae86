#include "replay/Replay.h"

#include "platform/TextCodec.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

// An RMC and a GGA sentence (no checksums, which the reader accepts) for a fix `north` metres
// north of 35N 139E at a UTC time "hhmmss.ss"; status V when there is no fix.
std::string Epoch(const std::string& time, double north, bool fix = true,
                  const std::string& date = "150108") {
    const double minutes = north / 1849.3; // metres in a minute of latitude at 35 degrees north
    char lat[32];
    std::snprintf(lat, sizeof lat, "35%07.4f", minutes);
    return "$GPRMC," + time + (fix ? ",A," : ",V,") + lat + ",N,13900.0000,E,5.0,0.0," + date + ",,\r\n" +
           "$GPGGA," + time + "," + lat + ",N,13900.0000,E,1,08,1.0,20.0,M,39.0,M,,\r\n";
}

class ReplayTest : public ::testing::Test {
protected:
    ReplayResult Replay(const std::string& nmea, ReplayOptions options = {}) {
        std::ofstream(temp.host() / "log.nmea", std::ios::binary) << nmea;
        options.root = temp.host() / "device";
        options.nmeaLog = temp.host() / "log.nmea";
        return RunReplay(options);
    }
    std::string File(const std::string& relative) { return temp.ReadHostFile("device/" + relative); }

    const ScopedEnv tokyo{"TZ", "Asia/Tokyo"};
    TempRoot temp;
};

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

TEST_F(ReplayTest, WholeWorkoutWithRestGlitchTapAndZeroSecondStep) {
    std::string nmea = Epoch("003000.00", 0, false);         // 1: no fix yet
    nmea += Epoch("003001.00", 0);                           // 2: ready; Start after it
    nmea += Epoch("003002.00", 0);                           // 3: start point
    nmea += Epoch("003003.00", 10.1);                        // 4: 10.1 m in 1 s; tap after it
    nmea += Epoch("003003.50", 20.2);                        // 5: the same second: no speed
    nmea += Epoch("003004.00", 75);                          // 6: a glitch
    nmea += Epoch("003005.00", 30.3);                        // 7: 10.1 m in 2 s; Rest after it
    nmea += Epoch("003006.00", 40) + Epoch("003007.00", 50); // 8, 9: resting; Start after 9
    nmea += Epoch("003008.00", 60.5);                        // 10: 30.2 m in 3 s
    ReplayOptions options;
    options.rests = {{7, 9}};
    options.taps = {4};
    const ReplayResult result = Replay(nmea, options);
    ASSERT_TRUE(result.ok) << result.error;

    char name[32] = {};
    int metres = 0;
    int seconds = 0;
    double kcal = 0;
    int maxSpeed10 = 0;
    ASSERT_EQ(std::sscanf(result.summary.c_str(), "run %31s distance %d seconds %d kcal %lf maxspeed10 %d",
                          name, &metres, &seconds, &kcal, &maxSpeed10),
              5);
    EXPECT_STREQ(name, "20080115-093001");
    EXPECT_EQ(metres, 60);
    EXPECT_EQ(seconds, 6);
    EXPECT_NEAR(kcal, 60 * 18.0 * 1.05 * (1 + 2 + 3) / 3600, 0.051); // 18 METs above 17.5 km/h
    EXPECT_NEAR(maxSpeed10, 363, 3);

    const std::string kml = File("My Documents/Ambulo/KML/20080115-093001.kml");
    EXPECT_EQ(Count(kml, "<name>チェックポイント #1</name>"), 1U);
    EXPECT_EQ(Count(kml, "<name>ゴール</name>"), 1U);
    EXPECT_EQ(Count(kml, ",20.000000\r\n"), 5U); // one coordinate line per accepted fix
    ASSERT_EQ(result.files.size(), 3U);
    EXPECT_EQ(result.files[2], (temp.host() / "device/My Documents/Ambulo/amblHistory.log").string());
}

TEST_F(ReplayTest, FinishWithoutAnyAcceptedFix) {
    const ReplayResult result = Replay(Epoch("003001.00", 0) + Epoch("003002.00", 0, false));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.summary, "run 20080115-093001 distance 0 seconds 0 kcal 0.0 maxspeed10 0");
    EXPECT_NE(
        File("My Documents/Ambulo/amblHistory.log").find(platform::Utf8ToUtf16Le("09:30:01,0,0,0.0\r\n")),
        std::string::npos);
}

TEST_F(ReplayTest, BadInputLeavesNothingBehind) {
    EXPECT_FALSE(Replay(Epoch("003001.00", 0, false) + "garbage\r\n").ok);
    EXPECT_FALSE(std::filesystem::exists(temp.host() / "device"));
    ReplayOptions missing;
    missing.nmeaLog = temp.host() / "missing.nmea";
    EXPECT_EQ(RunReplay(missing).error, "cannot read " + missing.nmeaLog.string() + ": No such file or directory");
    std::string error;
    EXPECT_FALSE(ParseReplayArguments({"--rest", "5:3", "x.nmea"}, error));
}

TEST_F(ReplayTest, LocalTimesFollowTheZoneAcrossADaylightSavingChange) {
    const ScopedEnv berlin("TZ", "Europe/Berlin");
    // 00:59:59 UTC is 01:59:59 CET; a second later it is 03:00:00 CEST.
    const ReplayResult result =
        Replay(Epoch("005958.00", 0, true, "290326") + Epoch("005959.00", 0, true, "290326") +
               Epoch("010000.00", 10.1, true, "290326") + Epoch("010001.00", 20.2, true, "290326"));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.summary.substr(0, 19), "run 20260329-015958");
    const std::string history = File("My Documents/Ambulo/amblHistory.log");
    EXPECT_NE(history.find(platform::Utf8ToUtf16Le("2026/03/29,01:59:58,20,3,")), std::string::npos);
}
