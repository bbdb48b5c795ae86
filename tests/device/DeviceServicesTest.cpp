#include "platform/device/DeviceServices.h"
#include "platform/Chime.h"
#include "platform/device/DefaultGpsSource.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdint>

using platform::device::DefaultGpsSource;
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
    TempRoot temp;
    temp.WriteHostFile("a.nmea", "$GPRMC,000001,A,0100.000,N,00100.000,E,1.0,,010124,,\r\n");
    const std::string log = (temp.host() / "a.nmea").string();
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
             {"nmea:" + log, "NMEA ログ再生"},
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
