#include "platform/device/GpsdSource.h"

#include "support/ChildProcess.h"
#include "support/GpsPeers.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

using namespace std::chrono_literals;
using platform::GPS_DEVICE;
using platform::GPS_POSITION;

namespace {

constexpr int kEpochs = 12;

// Epoch k: 00:30:(10+k) UTC on 2026-12-06, latitude 35°41.1000'+k×0.01' N, longitude
// 139°45.5000' E, 20+k m above sea level with a geoid separation of 39.4 m, 5.0+0.1k knots.
// Two silent seconds go first, while gpsd and the test connect.
std::string Log() {
    std::string log;
    for (int k = -2; k < kEpochs; ++k) {
        char time[16];
        std::snprintf(time, sizeof time, "0030%02d.00", 10 + k);
        if (k < 0) {
            log += Sentence(std::string("GPRMC,") + time + ",V,,,,,,,061226,,,N");
            continue;
        }
        char lat[16];
        std::snprintf(lat, sizeof lat, "3541.%04d", 1000 + 100 * k);
        char rmc[128];
        std::snprintf(rmc, sizeof rmc, "GPRMC,%s,A,%s,N,13945.5000,E,%.1f,90.0,061226,,,A", time, lat,
                      5.0 + 0.1 * k);
        char gga[128];
        std::snprintf(gga, sizeof gga, "GPGGA,%s,%s,N,13945.5000,E,1,08,0.9,%d.0,M,39.4,M,,", time, lat,
                      20 + k);
        log += Sentence(rmc) + Sentence(gga);
    }
    return log;
}

class GpsdSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ChildProcess::Installed("/usr/sbin/gpsd") || !ChildProcess::Installed("/usr/bin/gpsfake")) {
            GTEST_SKIP() << "gpsd and gpsfake (Debian packages gpsd, gpsd-clients) are not installed";
        }
        temp.WriteHostFile("log.nmea", Log());
    }
    std::unique_ptr<ChildProcess> Fake() { return GpsFake(port, temp.host() / "log.nmea"); }
    std::unique_ptr<platform::GpsConnection> Connect() {
        std::unique_ptr<platform::GpsConnection> connection;
        WaitFor([&] { return (connection = source.Open()) != nullptr; }, 15s);
        return connection;
    }

    TempRoot temp;
    std::string port = FreePort();
    platform::device::GpsdSource source{"127.0.0.1", port};
};

} // namespace

TEST_F(GpsdSourceTest, ReplayedLogArrivesFixByFixAndTheDeviceGoesOffAtItsEnd) {
    auto fake = Fake();
    ASSERT_TRUE(fake->Started());
    auto connection = Connect();
    ASSERT_TRUE(connection) << "gpsd did not come up";

    bool deviceWasOn = false;
    bool deviceWentOff = false;
    std::map<int, GPS_POSITION> fixes; // by epoch
    WaitFor(
        [&] {
            GPS_DEVICE device;
            if (!connection->GetDeviceState(device)) {
                return true; // gpsd went away with gpsfake
            }
            EXPECT_EQ(device.dwServiceState, 1U);
            deviceWasOn = deviceWasOn || device.dwDeviceState == 1;
            deviceWentOff = deviceWasOn && device.dwDeviceState == 0;
            GPS_POSITION fix;
            EXPECT_TRUE(connection->GetPosition(fix, 2000));
            if ((fix.dwValidFields & platform::GPS_VALID_UTC_TIME) != 0) {
                fixes[fix.stUTCTime.wSecond - 10] = fix;
            }
            return deviceWentOff;
        },
        30s);

    EXPECT_TRUE(deviceWasOn);
    EXPECT_TRUE(deviceWentOff);
    ASSERT_EQ(fixes.size(), static_cast<std::size_t>(kEpochs));
    for (const auto& [k, fix] : fixes) {
        SCOPED_TRACE(k);
        EXPECT_EQ(fix.dwValidFields & 0xCFU, 0xCFU);
        EXPECT_EQ(fix.stUTCTime.wYear, 2026);
        EXPECT_EQ(fix.stUTCTime.wDay, 6);
        EXPECT_EQ(fix.stUTCTime.wMinute, 30);
        EXPECT_NEAR(fix.dblLatitude, 35 + (41.1 + 0.01 * k) / 60, 1e-9);
        EXPECT_NEAR(fix.dblLongitude, 139 + 45.5 / 60, 1e-9);
        EXPECT_FLOAT_EQ(fix.flAltitudeWRTSeaLevel, 20.0F + k);
        EXPECT_NEAR(fix.flAltitudeWRTEllipsoid, 20.0 + k + 39.4, 1e-3);
        EXPECT_NEAR(fix.flSpeed, 5.0 + 0.1 * k, 1e-3);
    }
}

TEST_F(GpsdSourceTest, LostGpsdFailsThePollsAndARestartedOneIsFoundAgain) {
    auto fake = Fake();
    auto connection = Connect();
    ASSERT_TRUE(connection);
    fake->Stop();

    GPS_DEVICE device;
    EXPECT_TRUE(WaitFor([&] { return !connection->GetDeviceState(device); }, 5s));
    GPS_POSITION fix;
    EXPECT_FALSE(connection->GetPosition(fix, 2000));

    // With gpsd gone, opening fails at once, and is not tried again within the second.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(source.Open());
    EXPECT_FALSE(source.Open());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);

    fake = Fake();
    connection = Connect();
    ASSERT_TRUE(connection) << "a restarted gpsd was not found again";
    EXPECT_TRUE(
        WaitFor([&] { return connection->GetDeviceState(device) && device.dwDeviceState == 1; }, 10s));
}
