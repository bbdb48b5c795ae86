#include "platform/NmeaReplaySource.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace std::chrono_literals;
using platform::GPS_DEVICE;
using platform::GPS_POSITION;
using platform::NmeaReplaySource;

namespace {

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
