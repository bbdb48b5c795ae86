#include "platform/device/DeviceServices.h"
#include "platform/Chime.h"
#include "platform/NmeaReplaySource.h"
#include "platform/device/DefaultGpsSource.h"
#include "platform/device/GeoclueSource.h"
#include "platform/device/GpsdSource.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using platform::device::DefaultGpsSource;
using platform::device::GeoclueSource;
using platform::device::GpsdSource;
using platform::device::MakeGpsSource;

namespace {

std::uint32_t Field(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

} // namespace

TEST(GpsSelection, AmbuloGpsNamesTheReceiver) {
    std::string error;
    EXPECT_EQ(dynamic_cast<DefaultGpsSource*>(MakeGpsSource("", error).get())->Gpsd().Port(), "2947");
    for (const auto& [setting, host, port] : {std::tuple{"gpsd", "localhost", "2947"},
                                              {"gpsd://gps.local:4000", "gps.local", "4000"},
                                              {"gpsd://[::1]:2948", "::1", "2948"},
                                              {"gpsd://box", "box", "2947"}}) {
        const auto source = MakeGpsSource(setting, error);
        const auto* gpsd = dynamic_cast<const GpsdSource*>(source.get());
        ASSERT_NE(gpsd, nullptr) << setting;
        EXPECT_EQ(gpsd->Host(), host);
        EXPECT_EQ(gpsd->Port(), port);
    }
    EXPECT_NE(dynamic_cast<GeoclueSource*>(MakeGpsSource("geoclue", error).get()), nullptr);
    EXPECT_EQ(MakeGpsSource("serial:/dev/ttyUSB0@4800", error)->Describe(), "/dev/ttyUSB0 4800 bps");
    EXPECT_EQ(MakeGpsSource("serial:/dev/ttyACM0", error)->Describe(), "/dev/ttyACM0 9600 bps");
    TempRoot temp;
    temp.WriteHostFile("a.nmea", "$GPRMC,000001,A,0100.000,N,00100.000,E,1.0,,010124,,\r\n");
    EXPECT_NE(dynamic_cast<platform::NmeaReplaySource*>(
                  MakeGpsSource("nmea:" + (temp.host() / "a.nmea").string(), error).get()),
              nullptr);

    EXPECT_FALSE(MakeGpsSource("nmea:/no/such.nmea", error));
    EXPECT_EQ(error, "AMBULO_GPS=nmea:/no/such.nmea: cannot read /no/such.nmea");
    EXPECT_FALSE(MakeGpsSource("gpsd://:2947", error));
    for (const char* unusable :
         {"serial:/dev/ttyUSB0@4801", "serial:/dev/ttyUSB0@", "serial:@4800", "serial:"}) {
        EXPECT_FALSE(MakeGpsSource(unusable, error)) << unusable;
    }
    EXPECT_FALSE(MakeGpsSource("usb", error));
    EXPECT_EQ(error,
              "AMBULO_GPS=usb: use gpsd, gpsd://HOST:PORT, geoclue, serial:DEVICE[@BAUD] or nmea:PATH");
}

TEST(Chime, IsAPlayableWaveOfOurOwnAndNeverReplacesTheUsersSound) {
    const std::string wav = platform::MakeChimeWav();
    ASSERT_GT(wav.size(), 44U);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Field(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Field(wav, 20, 4), 0x10001U); // PCM, mono
    EXPECT_EQ(Field(wav, 24, 4), 22050U);   // samples per second
    EXPECT_EQ(Field(wav, 40, 4), wav.size() - 44);
    int loudest = 0;
    for (std::size_t i = 44; i + 1 < wav.size(); i += 2) {
        loudest = std::max(loudest, std::abs(static_cast<std::int16_t>(Field(wav, i, 2))));
    }
    EXPECT_GT(loudest, 5000);

    TempRoot temp;
    ASSERT_TRUE(platform::InstallChimeIfMissing(temp.root()));
    EXPECT_EQ(temp.ReadHostFile("Windows/RecEnd.wav"), wav);
    temp.WriteHostFile("Windows/RecEnd.wav", "mine");
    EXPECT_TRUE(platform::InstallChimeIfMissing(temp.root()));
    EXPECT_EQ(temp.ReadHostFile("Windows/RecEnd.wav"), "mine");
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
