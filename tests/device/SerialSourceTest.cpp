#include "platform/device/SerialSource.h"

#include "support/GpsPeers.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>
#include <pty.h>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::GPS_DEVICE;
using platform::GPS_POSITION;

namespace {

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

} // namespace

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
