#include "platform/device/DeviceServices.h"
#include "platform/device/DefaultGpsSource.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

using platform::device::DefaultGpsSource;
using platform::device::MakeGpsSource;

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
