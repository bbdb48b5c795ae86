#include "platform/device/GpsdSource.h"
#include "platform/DesktopId.h"
#include "platform/device/DefaultGpsSource.h"

#include "support/GpsPeers.h"
#include "support/PrivateBus.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <map>

using namespace std::chrono_literals;
using platform::GPS_DEVICE;
using platform::GPS_POSITION;

namespace {

constexpr int kEpochs = 12;

// Epoch k: 00:30:(12+k) UTC on 2026-12-06, latitude 35°41.1000'+k×0.01' N, longitude 139°45.5000' E,
// 20+k m above sea level with a geoid separation of 39.4 m, 5.0+0.1k knots. Two silent seconds go
// first, while gpsd and the test connect.
std::string Log() {
    std::string log =
        Sentence("GPRMC,003010.00,V,,,,,,,061226,,,N") + Sentence("GPRMC,003011.00,V,,,,,,,061226,,,N");
    for (int k = 0; k < kEpochs; ++k) {
        const std::string time = "0030" + std::to_string(12 + k) + ".00";
        const std::string lat = "3541." + std::to_string(1000 + 100 * k);
        const std::string knots = std::to_string((50 + k) / 10) + "." + std::to_string((50 + k) % 10);
        log += Sentence("GPRMC," + time + ",A," + lat + ",N,13945.5000,E," + knots + ",90.0,061226,,,A") +
               Sentence("GPGGA," + time + "," + lat + ",N,13945.5000,E,1,08,0.9," + std::to_string(20 + k) +
                        ".0,M,39.4,M,,");
    }
    return log;
}

using GpsdSourceTest = PrivateBusTest; // GeoClue stands in while gpsd is away

} // namespace

TEST_F(GpsdSourceTest, ReplayedLogArrivesFixByFixAndALostGpsdIsFoundAgainOnceASecondAlsoByDefault) {
    if (!ChildProcess::Installed("/usr/sbin/gpsd") || !ChildProcess::Installed("/usr/bin/gpsfake")) {
        GTEST_SKIP() << "gpsd and gpsfake (Debian packages gpsd, gpsd-clients) are not installed";
    }
    TempRoot temp;
    temp.WriteHostFile("log.nmea", Log());
    const HeldPort port;
    auto now = std::chrono::steady_clock::now();
    platform::device::GpsdSource source{"127.0.0.1", port.number, [&] { return now; }};
    auto fake = GpsFake(port, temp.host() / "log.nmea");
    // Opens once a (pretended) second, as the tick does, until gpsd answers.
    std::unique_ptr<platform::GpsConnection> connection;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (connection = (now += 1s, source.Open())) != nullptr; }, 15000))
        << "gpsd did not come up";

    // The device is on while the log plays and off at its end; then gpsd goes away with gpsfake.
    std::string states;                // the device's at each poll
    std::map<int, GPS_POSITION> fixes; // by epoch
    GPS_DEVICE device;
    GPS_POSITION polled;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (!connection->GetDeviceState(device)) {
                return true;
            }
            EXPECT_EQ(device.dwServiceState, 1U);
            states += std::to_string(device.dwDeviceState);
            EXPECT_TRUE(connection->GetPosition(polled, 2000));
            if ((polled.dwValidFields & platform::GPS_VALID_UTC_TIME) != 0) {
                fixes[polled.stUTCTime.wSecond - 12] = polled;
            }
            return false;
        },
        30000));
    EXPECT_NE(states.find("10"), std::string::npos) << states;
    ASSERT_EQ(fixes.size(), static_cast<std::size_t>(kEpochs));
    for (const auto& [k, fix] : fixes) {
        SCOPED_TRACE(k);
        EXPECT_EQ(fix.dwValidFields & 0xCFU, 0xCFU);
        EXPECT_EQ(std::tuple(fix.stUTCTime.wYear, fix.stUTCTime.wDay, fix.stUTCTime.wMinute),
                  std::tuple(2026, 6, 30));
        EXPECT_NEAR(fix.dblLatitude, 35 + (41.1 + 0.01 * k) / 60, 1e-9);
        EXPECT_NEAR(fix.dblLongitude, 139 + 45.5 / 60, 1e-9);
        EXPECT_FLOAT_EQ(fix.flAltitudeWRTSeaLevel, 20.0F + k);
        EXPECT_NEAR(fix.flAltitudeWRTEllipsoid, 20.0 + k + 39.4, 1e-3);
        EXPECT_NEAR(fix.flSpeed, 5.0 + 0.1 * k, 1e-3);
    }
    EXPECT_FALSE(connection->GetPosition(polled, 2000));
    fake->Stop();
    const auto answers = [&] {
        return platform::device::GpsdSource("127.0.0.1", port.number).Open() != nullptr;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answers(); }, 10000)) << "gpsd did not go away";
    EXPECT_FALSE(source.Open());
    // Without gpsd, the receiver the user did not name is GeoClue, and gpsd again once it answers.
    platform::device::DefaultGpsSource automatic{
        std::make_unique<platform::device::GpsdSource>("127.0.0.1", port.number),
        std::make_unique<platform::device::GeoclueSource>(std::string(platform::kDesktopId))};
    const auto takes = [&](const std::string& description) {
        return QTest::qWaitFor([&] { return automatic.Open() && automatic.Describe() == description; },
                               15000);
    };
    EXPECT_FALSE(automatic.Open());
    EXPECT_EQ(automatic.Describe(), "自動 (gpsd・GeoClue を探しています)");
    StartMock(kGeoClue, kGeoclueMock);
    EXPECT_TRUE(takes("自動: GeoClue"));

    // Once gpsd is back, it is not asked again until a second after the failed open.
    fake = GpsFake(port, temp.host() / "log.nmea");
    ASSERT_TRUE(QTest::qWaitFor(answers, 15000)) << "gpsd did not come back";
    EXPECT_FALSE(source.Open());
    now += 1s;
    EXPECT_TRUE(source.Open()) << "a restarted gpsd was not found again";
    EXPECT_TRUE(takes("自動: gpsd 127.0.0.1:" + port.number)) << "gpsd was not preferred";
}
