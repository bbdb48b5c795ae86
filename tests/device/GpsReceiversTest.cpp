#include "platform/DesktopId.h"
#include "platform/device/DefaultGpsSource.h"
#include "platform/device/GeoclueSource.h"
#include "platform/device/GpsdSource.h"
#include "platform/device/SerialSource.h"

#include "support/GpsPeers.h"
#include "support/PrivateBus.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <map>
#include <pty.h>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::GPS_DEVICE;
using platform::GPS_POSITION;
using platform::SYSTEMTIME;

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

// A receiver on the master side of a pseudo-terminal, reached through a link that names the pair
// of the moment, as udev names a replugged receiver the same.
struct Receiver {
    explicit Receiver(const std::filesystem::path& link) {
        int slave = -1;
        char name[256];
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            ::close(slave);
            std::filesystem::remove(link);
            std::filesystem::create_symlink(name, link);
        }
    }
    ~Receiver() { ::close(master); }
    void Write(const std::string& text) const {
        ASSERT_EQ(::write(master, text.data(), text.size()), ssize_t(text.size()));
    }

    int master = -1;
};

// Epoch s at 12:00:1s UTC; what the fields mean is the NMEA reader's business.
std::string Rmc(int s) {
    return Sentence("GPRMC,12001" + std::to_string(s) + ",A,351" + std::to_string(s) +
                    ".5,N,13900.0,E,3.0,0.0,061226,,,A");
}
std::string Gga(int s) {
    return Sentence("GNGGA,12001" + std::to_string(s) + ",351" + std::to_string(s) +
                    ".5,N,13900.0,E,1,08,0.9,12.5,M,,M,,");
}

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

TEST(SerialSource, EpochsArriveAsWrittenAlsoInPiecesAndAnUnpluggedReceiverIsTakenBackWhenReplugged) {
    TempRoot temp;
    const auto link = temp.host() / "gps";
    auto now = std::chrono::steady_clock::now();
    platform::device::SerialSource source{link.string(), 4800, [&] { return now; }};
    std::unique_ptr<platform::GpsConnection> connection;
    // Polls as the tick does until the device state and the fix are as expected.
    const auto polls = [&](std::uint32_t deviceState, std::uint32_t bits, int second) {
        GPS_DEVICE device;
        GPS_POSITION fix;
        const auto expected = [&] {
            return connection->GetDeviceState(device) && connection->GetPosition(fix, 2000) &&
                   device.dwServiceState == 1 && device.dwDeviceState == deviceState &&
                   fix.dwValidFields == bits && (bits == 0 || fix.stUTCTime.wSecond == 10 + second);
        };
        return QTest::qWaitFor(expected, 5000);
    };
    EXPECT_FALSE(source.Open()) << "no device";
    temp.WriteHostFile("gps", "$GPRMC\r\n");
    EXPECT_FALSE(source.Open()) << "a plain file";

    auto receiver = std::make_unique<Receiver>(link);
    ASSERT_TRUE(connection = source.Open());
    const auto cut = Rmc(0).size() / 2;
    // What is written next, and the fix it makes: validity bits (none: no fix yet) and second.
    for (const auto& [text, bits, second] :
         {std::tuple{Rmc(0).substr(0, cut), 0U, 0},
          {Rmc(0).substr(cut), 0x0FU, 0},
          {Gga(0).substr(0, 20), 0x0FU, 0},
          {Gga(0).substr(20) + "garbage\r\n$GPGSV,3,1,12*00\r\n", 0x4FU, 0},
          {Rmc(1), 0x0FU, 1},
          {Gga(1) + Rmc(2).substr(0, 30), 0x4FU, 1},
          {Rmc(2).substr(30) + Gga(2), 0x4FU, 2}}) {
        SCOPED_TRACE(text);
        receiver->Write(text);
        EXPECT_TRUE(polls(1, bits, second));
    }
    now += 2001ms;
    EXPECT_TRUE(polls(1, 0, 0)) << "a fix older than the maximum age";
    receiver->Write(Rmc(3));
    EXPECT_TRUE(polls(1, 0x0F, 3));

    // Unplugged, the receiver's last fix goes with it.
    receiver.reset();
    EXPECT_TRUE(polls(0, 0, 0));
    receiver = std::make_unique<Receiver>(link);
    EXPECT_TRUE(polls(0, 0, 0)) << "not reopened within the second";
    now += 1s;
    receiver->Write(Rmc(5) + Gga(5));
    EXPECT_TRUE(polls(1, 0x4F, 5));
}

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
