#include "platform/device/DeviceServices.h"
#include "platform/Chime.h"
#include "platform/device/BluezRadio.h"
#include "platform/device/DefaultGpsSource.h"
#include "platform/device/PulseSound.h"
#include "platform/device/SleepInhibitor.h"

#include "support/PrivateBus.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusVariant>

#include <filesystem>
#include <future>
#include <optional>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using platform::device::BluezRadio;
using platform::device::DefaultGpsSource;
using platform::device::MakeGpsSource;
using platform::device::SleepInhibitor;

namespace {

const QString kBluez = u"org.bluez"_s;
const QString kAdapter = u"org.bluez.Adapter1"_s;
const QString kProperties = u"org.freedesktop.DBus.Properties"_s;

using BluezRadioTest = PrivateBusTest;

const QString kPortal = u"org.freedesktop.portal.Desktop"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kLogind = u"org.freedesktop.login1"_s;
const QString kLogindPath = u"/org/freedesktop/login1"_s;
const QString kMock = u"org.freedesktop.DBus.Mock"_s;

// The first arguments of each Inhibit call the mock received.
std::vector<QVariantList> InhibitCalls(const QString& service, const QString& path, int count) {
    const auto log = qvariant_cast<QDBusArgument>(
        BusCall(service, path, kMock, u"GetMethodCalls"_s, {u"Inhibit"_s}).arguments().value(0));
    std::vector<QVariantList> calls;
    log.beginArray();
    while (!log.atEnd()) {
        qulonglong when = 0;
        QVariantList arguments;
        log.beginStructure();
        log >> when >> arguments;
        log.endStructure();
        calls.push_back(arguments.mid(0, count));
    }
    log.endArray();
    return calls;
}

// Whether the mock logind holds no inhibitor; it drops one when every copy of its descriptor is closed.
bool LogindHoldsNone() {
    const auto list = qvariant_cast<QDBusArgument>(
        BusCall(kLogind, kLogindPath, u"org.freedesktop.login1.Manager"_s, u"ListInhibitors"_s)
            .arguments()
            .value(0));
    list.beginArray();
    const bool none = list.atEnd();
    list.endArray();
    return none;
}

// How many of its inhibitors our desktop portal (device/mock_portal.py) holds.
int PortalHeldRequests() {
    const QDBusMessage reply = BusCall(kPortal, kPortalPath, kMock, u"HeldRequests"_s);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toStringList().size() : -1;
}

using SleepInhibitorTest = PrivateBusTest;

// The lengths in seconds of the sounds in a recording of 16-bit mono samples at 22 050 Hz, 44 100
// bytes a second: runs of samples reaching 300, two sounds parted by more than 50 ms of quiet.
std::vector<double> Bursts(const std::string& raw) {
    std::vector<double> bursts;
    std::optional<std::size_t> first;
    std::size_t last = 0;
    for (std::size_t at = 0; at + 1 < raw.size(); at += 2) {
        const auto sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[at]) | raw[at + 1] << 8);
        if (std::abs(sample) >= 300) {
            first = first.value_or(at);
            last = at;
        } else if (first && at - last > 44100 / 20) {
            bursts.push_back(static_cast<double>(last + 2 - *first) / 44100);
            first.reset();
        }
    }
    return bursts;
}

} // namespace

TEST(GpsSelection, AmbuloGpsNamesTheReceiver) {
    TempRoot temp;
    temp.WriteHostFile("a.nmea", "$GPRMC,000001,A,0100.000,N,00100.000,E,1.0,,010124,,\r\n");
    std::string error;
    EXPECT_EQ(dynamic_cast<DefaultGpsSource*>(MakeGpsSource("", error).get())->Gpsd().Port(), "2947");
    // What each setting opens, by the source's own description; nothing for the unusable ones.
    for (const auto& [setting, description] : std::initializer_list<std::pair<std::string, std::string>>{
             {"", "自動 (gpsd・GeoClue を探しています)"},
             {"gpsd", "gpsd localhost:2947"},
             {"gpsd://gps.local:4000", "gpsd gps.local:4000"},
             {"gpsd://[::1]:2948", "gpsd ::1:2948"},
             {"gpsd://box", "gpsd box:2947"},
             {"geoclue", "GeoClue"},
             {"serial:/dev/ttyUSB0@4800", "/dev/ttyUSB0 4800 bps"},
             {"serial:/dev/ttyACM0", "/dev/ttyACM0 9600 bps"},
             {"nmea:" + (temp.host() / "a.nmea").string(), "NMEA ログ再生"},
             {"gpsd://:2947", ""},
             {"serial:/dev/ttyUSB0@4801", ""},
             {"serial:/dev/ttyUSB0@", ""},
             {"serial:@4800", ""},
             {"serial:", ""}}) {
        const auto source = MakeGpsSource(setting, error);
        EXPECT_EQ(source ? source->Describe() : "", description) << setting;
    }
    EXPECT_FALSE(MakeGpsSource("nmea:/no/such.nmea", error));
    EXPECT_EQ(error, "AMBULO_GPS=nmea:/no/such.nmea: cannot read /no/such.nmea");
    EXPECT_FALSE(MakeGpsSource("usb", error));
    EXPECT_EQ(error,
              "AMBULO_GPS=usb: use gpsd, gpsd://HOST:PORT, geoclue, serial:DEVICE[@BAUD] or nmea:PATH");
}

TEST(DesktopShell, OpensTheHostFileOfADevicePathAtItsAnchor) {
    using platform::device::DesktopShell;
    const platform::DeviceRoot root("/srv/device");
    EXPECT_FALSE(DesktopShell::UrlFor(root, "\\..\\etc\\passwd"));
    // The English help opens at its anchor in the same page.
    for (const auto& [path, url] : {std::pair{"\\My Documents\\Ambulo\\KML\\run 1.kml",
                                              "file:///srv/device/My Documents/Ambulo/KML/run 1.kml"},
                                    {"\\Program Files\\Ambulo\\ambl_readme.htm#en",
                                     "file:///srv/device/Program Files/Ambulo/ambl_readme.htm#en"}}) {
        EXPECT_EQ(DesktopShell::UrlFor(root, path).value_or(QUrl()).toString().toStdString(), url);
    }
}

TEST_F(BluezRadioTest, ModeFollowsPoweredAndDiscoverableAndSwitchesTheRadioOnUndiscoverableOrOffInTime) {
    BluezRadio radio;
    // Without BlueZ or an adapter the radio can be neither read nor switched.
    ASSERT_FALSE(HasOwner(kBluez));
    EXPECT_EQ(radio.GetMode(), std::nullopt);
    EXPECT_FALSE(radio.SetMode(platform::BTH_CONNECTABLE));
    StartMock(kBluez, {"--system", "--template", "bluez5"});
    EXPECT_EQ(radio.GetMode(), std::nullopt);
    EXPECT_FALSE(radio.SetMode(platform::BTH_CONNECTABLE));
    EXPECT_FALSE(radio.SetMode(platform::BTH_POWER_OFF));

    const QDBusMessage added =
        BusCall(kBluez, u"/"_s, u"org.bluez.Mock"_s, u"AddAdapter"_s, {u"hci0"_s, u"Ambulo test"_s});
    const QString adapter = added.arguments().value(0).toString();
    const auto setFlag = [&](const QString& name, bool on) {
        const QDBusMessage reply = BusCall(kBluez, adapter, kProperties, u"Set"_s,
                                           {kAdapter, name, QVariant::fromValue(QDBusVariant(on))});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    };
    // The adapter's property, or nothing valid when it cannot be read.
    const auto flag = [&](const QString& name) {
        const QDBusMessage reply = BusCall(kBluez, adapter, kProperties, u"Get"_s, {kAdapter, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    };
    // A radio that is off is off, whatever its visibility setting says.
    for (const auto& [powered, discoverable, mode] : {std::tuple{true, false, platform::BTH_CONNECTABLE},
                                                      {true, true, platform::BTH_DISCOVERABLE},
                                                      {false, true, platform::BTH_POWER_OFF}}) {
        setFlag(u"Powered"_s, powered);
        setFlag(u"Discoverable"_s, discoverable);
        EXPECT_EQ(radio.GetMode(), mode) << powered << discoverable;
    }

    ASSERT_TRUE(radio.SetMode(platform::BTH_CONNECTABLE));
    EXPECT_EQ(flag(u"Powered"_s), true);
    EXPECT_EQ(flag(u"Discoverable"_s), false);
    ASSERT_TRUE(radio.SetMode(platform::BTH_POWER_OFF));
    EXPECT_EQ(flag(u"Powered"_s), false);
    // Making the machine visible is not the program's business.
    EXPECT_FALSE(radio.SetMode(platform::BTH_DISCOVERABLE));
    EXPECT_EQ(flag(u"Powered"_s), false);
    EXPECT_EQ(flag(u"Discoverable"_s), false);

    // BlueZ hangs far longer than QtDBus's own 25 s default, and the wait below ends before that
    // default would: only the radio's own timeout lets the calls come back in time.
    BusCall(kBluez, u"/"_s, kMock, u"AddMethod"_s,
            {u"org.freedesktop.DBus.ObjectManager"_s, u"GetManagedObjects"_s, QString(), u"a{oa{sa{sv}}}"_s,
             u"time.sleep(300)"_s});
    BluezRadio impatient(200ms);
    auto calls = std::async(std::launch::async, [&] {
        return std::pair(impatient.GetMode(), impatient.SetMode(platform::BTH_CONNECTABLE));
    });
    ASSERT_EQ(calls.wait_for(20s), std::future_status::ready);
    EXPECT_EQ(calls.get(), std::pair(std::optional<int>(), false));
}

TEST_F(SleepInhibitorTest, ThePortalOrElseLogindHoldsTheMachineOnceUntilReleased) {
    {
        SleepInhibitor inhibitor;
        // With neither the portal nor logind nothing is held, and the next request tries again.
        inhibitor.KeepAwake(true);
        StartMock(kPortal, {"--session", "--template", AMBULO_MOCK_PORTAL});
        inhibitor.KeepAwake(true);
        inhibitor.KeepAwake(true);
        EXPECT_EQ(InhibitCalls(kPortal, kPortalPath, 2),
                  (std::vector<QVariantList>{{QString(), 4U}})); // suspend
        EXPECT_EQ(PortalHeldRequests(), 1);
        inhibitor.KeepAwake(false);
        EXPECT_EQ(PortalHeldRequests(), 0);
        inhibitor.KeepAwake(false);
        inhibitor.KeepAwake(true);
        EXPECT_EQ(InhibitCalls(kPortal, kPortalPath, 2).size(), 2U);
        EXPECT_EQ(PortalHeldRequests(), 1);
    }
    EXPECT_EQ(PortalHeldRequests(), 0); // let go when the program ends

    StopMock();
    StartMock(kLogind, {"--system", "--template", "logind"});
    SleepInhibitor inhibitor;
    inhibitor.KeepAwake(true);
    inhibitor.KeepAwake(true);
    const auto calls = InhibitCalls(kLogind, kLogindPath, 4);
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(QVariantList({calls[0][0], calls[0][1], calls[0][3]}),
              (QVariantList{u"sleep:idle"_s, u"Ambulo"_s, u"block"_s}));
    EXPECT_FALSE(LogindHoldsNone());
    // A program started meanwhile must not inherit the descriptor and keep the machine up.
    const ChildProcess started({"/bin/sleep", "60"});
    inhibitor.KeepAwake(false);
    EXPECT_TRUE(QTest::qWaitFor(LogindHoldsNone, 5000)) << "a copy of the descriptor stays open";
}

// Our chime through a private PulseAudio server whose null sink parec records.
TEST(PulseSound, EveryPlayIsHeardInFullAlsoOnceTheServerIsBackAfterAnAbsence) {
    if (!ChildProcess::Installed("/usr/bin/pulseaudio") || !ChildProcess::Installed("/usr/bin/parec")) {
        GTEST_SKIP() << "pulseaudio or parec (Debian packages pulseaudio, pulseaudio-utils) is missing";
    }
    TempRoot temp;
    const std::string home = temp.host().string();
    platform::InstallChimeIfMissing(temp.root());
    const ScopedEnv address("PULSE_SERVER", "unix:" + home + "/native");
    std::unique_ptr<ChildProcess> server;
    std::unique_ptr<ChildProcess> recorder;
    const auto start = [&] {
        server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/pulseaudio", "-n", "--system=false", "--disallow-exit",
                                     "--exit-idle-time=-1", "--daemonize=no", "--use-pid-file=no",
                                     "-Lmodule-null-sink sink_name=out format=s16le rate=22050 channels=1",
                                     "-Lmodule-native-protocol-unix auth-anonymous=1 socket=" + home +
                                         "/native"},
            std::vector<std::string>{"HOME=" + home, "XDG_RUNTIME_DIR=" + home});
        std::filesystem::remove(home + "/out.raw");
        // The null sink hands its monitor silence from the start, so a growing file means recording.
        return QTest::qWaitFor(
            [&] {
                if (!recorder || recorder->Exited()) {
                    recorder = std::make_unique<ChildProcess>(std::vector<std::string>{
                        "/usr/bin/parec", "--raw", "--format=s16le", "--rate=22050", "--channels=1",
                        "--latency-msec=10", "--device=out.monitor", home + "/out.raw"});
                }
                return !temp.ReadHostFile("out.raw").empty();
            },
            15000);
    };
    // Stops the server and counts the chimes it played, each heard in full.
    const auto stopHearing = [&](std::size_t count) {
        recorder->Stop();
        server->Stop();
        const auto bursts = Bursts(temp.ReadHostFile("out.raw"));
        EXPECT_EQ(bursts.size(), count);
        for (const double seconds : bursts) {
            EXPECT_NEAR(seconds, 0.57, 0.03); // the second note starts at 0.12 s and lasts 0.45 s
        }
    };
    platform::device::PulseSound sound(temp.root(), [](const std::string&) {});
    const auto playEverySecond = [&](int count) {
        for (int i = 0; i < count; ++i) {
            sound.Play(platform::kDefaultSoundPath);
            std::this_thread::sleep_for(1s);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return sound.OpenStreams() == 0; }, 5000)) << sound.OpenStreams();
    };

    ASSERT_TRUE(start()) << "the private PulseAudio server did not come up";
    playEverySecond(30);
    stopHearing(30);

    playEverySecond(3); // to no server; asked for too long ago to be made once it is back
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(start()) << "the private PulseAudio server did not come up again";
    playEverySecond(5);
    stopHearing(5);
}
