#include "platform/device/GeoclueSource.h"
#include "platform/DesktopId.h"

#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <cfloat>

using namespace std::chrono_literals;
using platform::GPS_DEVICE;
using platform::GPS_POSITION;
using platform::SYSTEMTIME;

namespace {

class GeoclueSourceTest : public PrivateBusTest {
protected:
    // Opens each (pretended) second, as the tick does, until GeoClue has started our client.
    std::unique_ptr<platform::GpsConnection> Started() {
        std::unique_ptr<platform::GpsConnection> connection;
        const auto started = [&] {
            connection = connection ? std::move(connection) : (now += 1s, source.Open());
            return connection && connection->GetDeviceState(device) && device.dwServiceState == 1;
        };
        return QTest::qWaitFor(started, 10000) ? std::move(connection) : nullptr;
    }

    // Latitude, longitude, altitude, speed, seconds and microseconds of the timestamp.
    std::optional<GPS_POSITION> Receive(platform::GpsConnection& connection, const QVariantList& location) {
        TellGeoclue(QStringLiteral("EmitLocation"), location);
        GPS_POSITION fix;
        const auto arrived = [&] {
            return connection.GetPosition(fix, 2000) && fix.dblLatitude == location[0].toDouble();
        };
        return QTest::qWaitFor(arrived, 5000) ? std::optional(fix) : std::nullopt;
    }

    GPS_DEVICE device;
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    platform::device::GeoclueSource source{std::string(platform::kDesktopId), 2s, [this] { return now; }};
};

TEST_F(GeoclueSourceTest, LocationsBecomeFixesAndARefusedOrLostClientFailsUntilOneStartsAgain) {
    StartMock(kGeoClue, kGeoclueMock);
    TellGeoclue(QStringLiteral("SetDenied"), {true});
    auto connection = source.Open();
    ASSERT_TRUE(connection) << "whether access is granted is known only later";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !connection->GetDeviceState(device); }, 5000));
    EXPECT_FALSE(source.Open()) << "refused";
    now += 1s;
    EXPECT_FALSE(source.Open()) << "asked again, but refused until a client starts";
    TellGeoclue(QStringLiteral("SetDenied"), {false});
    // The stand-in starts only ambulo's client at the exact level.
    ASSERT_TRUE(connection = Started()) << "not asked again";
    EXPECT_EQ(device.dwDeviceState, 0U) << "no location yet";

    // 1765000000 s after the epoch is 2025-12-06 05:46:40 UTC, a Saturday; a knot is 1852 m an
    // hour. GeoClue's unknowns: speed -1, altitude -DBL_MAX, timestamp 0.
    const QVariantList full{35.6895, 139.6917, 40.5, 2.5, qulonglong{1765000000}, qulonglong{250'000}};
    const QVariantList still{-33.8688, -70.6, -10.0, 0.0, qulonglong{1765000001}, qulonglong{999'999}};
    const QVariantList bare{51.4779, -0.0015, -DBL_MAX, -1.0, qulonglong{0}, qulonglong{0}};
    for (const auto& [location, bits, knots, altitude, time] :
         {std::tuple{full, 0x4FU, 2.5F * 3600 / 1852, 40.5F, SYSTEMTIME{2025, 12, 6, 6, 5, 46, 40, 250}},
          {still, 0x4FU, 0.0F, -10.0F, SYSTEMTIME{2025, 12, 6, 6, 5, 46, 41, 999}},
          {bare, 0x6U, 0.0F, 0.0F, SYSTEMTIME{}}}) {
        SCOPED_TRACE(location[0].toDouble());
        const auto fix = Receive(*connection, location);
        ASSERT_TRUE(fix) << "the location did not arrive";
        EXPECT_EQ(fix->dwValidFields, bits);
        EXPECT_EQ(fix->dblLongitude, location[1].toDouble());
        EXPECT_NEAR(fix->flSpeed, knots, 1e-4);
        EXPECT_EQ(fix->flAltitudeWRTSeaLevel, altitude);
        EXPECT_EQ(fix->stUTCTime, time);
        EXPECT_TRUE(connection->GetDeviceState(device) && device.dwDeviceState == 1);
    }

    now += 2001ms; // older than the maximum age: neither a fix nor a device
    GPS_POSITION fix;
    ASSERT_TRUE(connection->GetPosition(fix, 2000) && connection->GetDeviceState(device));
    EXPECT_EQ(fix.dwValidFields, 0U);
    EXPECT_EQ(std::pair(device.dwServiceState, device.dwDeviceState), std::pair(1U, 0U));

    StopMock();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !connection->GetDeviceState(device); }, 5000));
    EXPECT_FALSE(connection->GetPosition(fix, 2000));
    now += 1s;
    EXPECT_FALSE(source.Open()) << "GeoClue is gone";
    StartMock(kGeoClue, kGeoclueMock);
    EXPECT_FALSE(QTest::qWaitFor([&] { return source.Open() != nullptr; }, 1000)) << "asked again too soon";
    ASSERT_TRUE(connection = Started()) << "GeoClue was not found again";
    EXPECT_TRUE(Receive(*connection, {1.5, 2.5, 3.0, 4.0, qulonglong{1765000000}, qulonglong{0}}));
}

} // namespace
