#include "platform/Nmea.h"
#include "platform/NmeaReplaySource.h"

#include "support/GpsPeers.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>

using namespace std::chrono_literals;
using platform::GPS_DEVICE;
using platform::GPS_POSITION;
using platform::NmeaReplaySource;
using platform::SYSTEMTIME;

namespace {

constexpr std::uint32_t kTime = platform::GPS_VALID_UTC_TIME;
constexpr std::uint32_t kLatLon = platform::GPS_VALID_LATITUDE | platform::GPS_VALID_LONGITUDE;
constexpr std::uint32_t kSpeed = platform::GPS_VALID_SPEED;
constexpr std::uint32_t kSeaLevel = platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL;
constexpr std::uint32_t kEllipsoid = platform::GPS_VALID_ALTITUDE_WRT_ELLIPSOID;

// The well-known example pair, with their published checksums.
constexpr const char* kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
constexpr const char* kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

// Parses from a buffer of exactly the text's size, so that the sanitizer sees a read past its end.
std::vector<GPS_POSITION> Parse(std::string_view text) {
    const auto buffer = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), buffer.get());
    return platform::ParseNmeaEpochs({buffer.get(), text.size()});
}

// The valid fields of each epoch.
std::vector<std::uint32_t> Bits(const std::vector<GPS_POSITION>& epochs) {
    std::vector<std::uint32_t> bits(epochs.size());
    std::ranges::transform(epochs, bits.begin(), &GPS_POSITION::dwValidFields);
    return bits;
}

// An epoch known by its latitude, so that a poll shows which epoch it got (0 when none).
constexpr GPS_POSITION Epoch(double latitude) {
    return {platform::GPS_VALID_LATITUDE, {}, latitude};
}

using Seen = std::tuple<std::uint32_t, std::uint32_t, double>;

// The service and device states, and the latitude of the polled fix (0 without a fix, -1 when the
// poll fails).
Seen Poll(platform::GpsConnection& connection, std::uint32_t maxAgeMs) {
    GPS_DEVICE device{7, 7};
    GPS_POSITION fix{0xFF, {}, 99}; // must be overwritten
    EXPECT_TRUE(connection.GetDeviceState(device));
    const bool polled = connection.GetPosition(fix, maxAgeMs);
    return {device.dwServiceState, device.dwDeviceState,
            !polled                  ? -1
            : fix.dwValidFields == 0 ? 0
                                     : fix.dblLatitude};
}

} // namespace

TEST(Nmea, RmcGivesTimeDatePositionAndSpeedAndMissingOrVoidFieldsLeaveTheirBitsClear) {
    auto epochs = Parse(kRmc);
    ASSERT_EQ(Bits(epochs), std::vector{kTime | kLatLon | kSpeed});
    // 1994-03-23 was a Wednesday.
    EXPECT_EQ(epochs[0].stUTCTime, (SYSTEMTIME{1994, 3, 3, 23, 12, 35, 19, 0}));
    EXPECT_DOUBLE_EQ(epochs[0].dblLatitude, 48 + 7.038 / 60);
    EXPECT_DOUBLE_EQ(epochs[0].dblLongitude, 11 + 31.0 / 60);
    EXPECT_FLOAT_EQ(epochs[0].flSpeed, 22.4F);

    // Southern and western hemispheres, a two-digit year before 80, a fraction of a second, no checksum.
    epochs = Parse("$GNRMC,235959.25,A,3541.1234,S,13945.5,W,0.0,,290224,,,A\n");
    ASSERT_EQ(Bits(epochs), std::vector{kTime | kLatLon | kSpeed});
    EXPECT_EQ(epochs[0].stUTCTime, (SYSTEMTIME{2024, 2, 4, 29, 23, 59, 59, 250})); // a Thursday
    EXPECT_DOUBLE_EQ(epochs[0].dblLatitude, -(35 + 41.1234 / 60));
    EXPECT_DOUBLE_EQ(epochs[0].dblLongitude, -(139 + 45.5 / 60));

    epochs = Parse(Sentence("GPRMC,000001,V,4807.038,N,01131.000,E,1.0,,010180,,") +
                   Sentence("GPRMC,000002,A,4807.038,N,01131.000,E,,,,,") +
                   Sentence("GPRMC,000003,A,4860.000,N,01131.000,X,1.0,,310280,,") +
                   "$GPRMC,000004,A\n4807.038,N,01131.000,E,022.4,084.4,230394\n");
    // Void: the time only. No date, no speed. 60 minutes, hemisphere X, 31 February. The next line is
    // not part of the sentence.
    ASSERT_EQ(Bits(epochs), (std::vector{kTime, kLatLon, kSpeed, 0U}));
    EXPECT_EQ(epochs[0].stUTCTime, (SYSTEMTIME{1980, 1, 2, 1, 0, 0, 1, 0})); // 1980-01-01, a Tuesday
}

TEST(Nmea, GgaGivesAltitudesAndThePositionOfAnEpochWithoutRmcAndEpochsAreRunsOfTheSameTimeOfDay) {
    auto epochs = Parse(kGga);
    ASSERT_EQ(Bits(epochs), std::vector{kLatLon | kSeaLevel | kEllipsoid});
    EXPECT_DOUBLE_EQ(epochs[0].dblLatitude, 48 + 7.038 / 60);
    EXPECT_FLOAT_EQ(epochs[0].flAltitudeWRTSeaLevel, 545.4F);
    EXPECT_FLOAT_EQ(epochs[0].flAltitudeWRTEllipsoid, 592.3F); // 545.4 + 46.9

    epochs = Parse(Sentence("GNGGA,000001,0100.000,S,00130.000,W,2,05,1.0,-12.5,M,-30.0,M,,") +
                   Sentence("GPGGA,000002,0100.000,N,00100.000,E,1,05,1.0,7.0,M,,M,,") +
                   Sentence("GPGGA,000003,0100.000,N,00100.000,E,0,00,,7.0,M,1.0,M,,") +
                   Sentence("GPGGA,000004,0100.000,N,00100.000,E,1,05,1.0,7.0,M,1.0,M,,") +
                   Sentence("GPRMC,000004,A,0200.000,N,00200.000,E,0.0,,010180,,"));
    // No geoid separation, then fix quality 0; with an RMC in the epoch, the position is the RMC's.
    ASSERT_EQ(Bits(epochs), (std::vector{kLatLon | kSeaLevel | kEllipsoid, kLatLon | kSeaLevel, 0U,
                                         kTime | kLatLon | kSpeed | kSeaLevel | kEllipsoid}));
    EXPECT_DOUBLE_EQ(epochs[0].dblLongitude, -(1 + 30.0 / 60));
    EXPECT_FLOAT_EQ(epochs[0].flAltitudeWRTEllipsoid, -42.5F); // -12.5 + -30.0
    EXPECT_DOUBLE_EQ(epochs[3].dblLatitude, 2.0);

    epochs = Parse(Sentence("GPGGA,100000,0100.000,N,00100.000,E,1,05,1.0,7.0,M,1.0,M,,") +
                   Sentence("GPGSV,3,1,11,03,03,111,00") +
                   "$GPRMC,100001,A,0300.000,N,00300.000,E,1.0,,010124,,*00\r\n" +
                   Sentence("GNRMC,100000.00,A,0200.000,N,00200.000,E,1.0,,010124,,") +
                   Sentence("GPGGA,100000.5,0100.000,N,00100.000,E,1,05,1.0,7.0,M,1.0,M,,") +
                   Sentence("GPGGA,100000,0100.000,N,00100.000,E,1,05,1.0,7.0,M,1.0,M,,"));
    // The GSV and the RMC with a wrong checksum do not split the first epoch.
    constexpr auto kGgaOnly = kLatLon | kSeaLevel | kEllipsoid;
    ASSERT_EQ(Bits(epochs), (std::vector{kTime | kGgaOnly | kSpeed, kGgaOnly, kGgaOnly}));
    EXPECT_DOUBLE_EQ(epochs[0].dblLatitude, 2.0);
}

TEST(Nmea, DamagedAndForeignLinesAreSkipped) {
    const auto withSum = [](const char* sum) {
        return std::string(kRmc).replace(std::string_view(kRmc).find('*') + 1, 2, sum);
    };
    EXPECT_EQ(Parse(withSum("6a")).size(), 1U);
    EXPECT_TRUE(Parse(withSum("6B")).empty());
    EXPECT_TRUE(Parse(withSum("7A")).empty()); // wrong in its high digit only
    EXPECT_TRUE(Parse(Sentence("1PRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,")).empty());
    EXPECT_TRUE(Parse(std::string(kRmc).insert(0, " garbage ")).empty());
    EXPECT_TRUE(Parse("$GPRMC,12ab19,A,4807.038,N,01131.000,E,022.4,084.4,230394\n").empty());
    EXPECT_TRUE(Parse("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48\n\n\xff\xfe$\n$GPRMC*\n$GPGGA,1").empty());
    // Cut off anywhere, the text is not read past its end (the sanitizer watches), and a cut in the GGA
    // leaves the whole RMC before it as it was.
    const std::string whole = std::string(kRmc) + kGga;
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        const auto epochs = Parse(std::string_view(whole).substr(0, size));
        if (size >= std::string_view(kRmc).size()) {
            ASSERT_FALSE(epochs.empty()) << size;
            EXPECT_EQ(epochs[0].dwValidFields & (kTime | kLatLon | kSpeed), kTime | kLatLon | kSpeed) << size;
            EXPECT_DOUBLE_EQ(epochs[0].dblLatitude, 48 + 7.038 / 60) << size;
        }
    }
}

TEST(NmeaReplaySource, WallClockReleasesOneEpochPerSecondSinceOpen) {
    std::chrono::steady_clock::time_point now{100s};
    NmeaReplaySource source({Epoch(1), Epoch(2), Epoch(3)}, NmeaReplaySource::Pacing::WallClock,
                            [&] { return now; });
    now += 5s; // time before opening does not count
    const auto connection = source.Open();
    EXPECT_EQ(Poll(*connection, 0), Seen(1, 1, 1));
    now += 1500ms; // epoch 1 is 0.5 s old
    EXPECT_EQ(Poll(*connection, 500), Seen(1, 1, 2));
    EXPECT_EQ(Poll(*connection, 499), Seen(1, 1, 0));
    now += 1499ms;
    EXPECT_EQ(Poll(*connection, 999), Seen(1, 1, 3));
    now += 1ms; // 3 s: past the last epoch, which is now 1 s old
    EXPECT_EQ(Poll(*connection, 1000), Seen(1, 0, 3));
    EXPECT_EQ(Poll(*connection, 999), Seen(1, 0, 0));

    const auto later = source.Open(); // a new connection starts from the first epoch
    EXPECT_EQ(Poll(*later, 0), Seen(1, 1, 1));
    EXPECT_TRUE(later->Close());
    EXPECT_EQ(Poll(*later, 0), Seen(0, 1, -1)) << "closed";
}

TEST(NmeaReplaySource, ManualReleasesAnEpochPerAdvance) {
    std::chrono::steady_clock::time_point now{100s};
    NmeaReplaySource source({Epoch(1), Epoch(2)}, NmeaReplaySource::Pacing::Manual, [&] { return now; });
    const auto connection = source.Open();
    EXPECT_EQ(Poll(*connection, 60000), Seen(1, 1, 0));
    source.Advance();
    now += 1h; // the current epoch has no age
    EXPECT_EQ(Poll(*connection, 0), Seen(1, 1, 1));
    source.Advance();
    EXPECT_EQ(Poll(*connection, 0), Seen(1, 1, 2));
    source.Advance();
    source.Advance();
    EXPECT_EQ(Poll(*connection, 60000), Seen(1, 0, 0));
}

// Only a regular file is a log: a FIFO is never waited on, a device never read without end.
TEST(NmeaReplaySource, WhatIsNoRegularFileIsRefusedWithItsReason) {
    TempRoot temp;
    ::mkfifo((temp.host() / "fifo").c_str(), 0644);
    std::filesystem::create_symlink("/dev/zero", temp.host() / "zero");
    std::filesystem::create_directory(temp.host() / "folder");
    for (const auto& [name, reason] : {std::pair{"none", "No such file or directory"},
                                       {"fifo", "not a regular file"},
                                       {"zero", "not a regular file"},
                                       {"folder", "not a regular file"}}) {
        std::string why;
        EXPECT_FALSE(NmeaReplaySource::LoadFile(temp.host() / name, &why)) << name;
        EXPECT_EQ(why, reason);
    }
}
