#pragma once

#include "platform/Services.h"
#include "platform/device/BluezRadio.h"
#include "platform/device/DesktopShell.h"
#include "platform/device/PulseSound.h"
#include "platform/device/SleepInhibitor.h"

#include <memory>
#include <string>
#include <string_view>

namespace platform::device {

// The receiver AMBULO_GPS names: "gpsd" (gpsd on localhost:2947), "gpsd://HOST:PORT" (the port
// may be left out), "geoclue" (the desktop's location service), "serial:DEVICE" or
// "serial:DEVICE@BAUD" (NMEA straight from the line, 9600 baud unless said) or "nmea:PATH" (a
// recorded NMEA log played back at one epoch a second). Unset or empty: gpsd on localhost when it
// answers, else GeoClue. Nothing, with a one-line reason, when the value cannot be used.
std::unique_ptr<GpsSource> MakeGpsSource(std::string_view setting, std::string& error);

// The real machine behind the program: the device root of the environment, its clock, the
// receiver of AMBULO_GPS, BlueZ, the portal's or logind's sleep inhibitor, PulseAudio and the
// desktop. Message boxes come from the screens, which own them.
class DeviceServices {
public:
    // Nothing, with the reason in error, when AMBULO_GPS cannot be used. Puts the default chime in
    // the device root when it is missing.
    static std::unique_ptr<DeviceServices> Create(MessageBox& messages, std::string& error);

    // Where the positions come from, for the About box.
    std::string GpsDescription() const { return m_gps->Describe(); }

    Services services() { return {m_root, m_clock, m_messages, *m_gps, m_radio, m_sound, m_power, m_shell}; }

private:
    DeviceServices(MessageBox& messages, std::unique_ptr<GpsSource> gps);

    DeviceRoot m_root;
    SystemClock m_clock;
    MessageBox& m_messages;
    std::unique_ptr<GpsSource> m_gps;
    BluezRadio m_radio;
    PulseSound m_sound;
    SleepInhibitor m_power;
    DesktopShell m_shell;
};

} // namespace platform::device
