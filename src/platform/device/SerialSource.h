#pragma once

#include "platform/Gps.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace platform::device {

// A receiver that writes NMEA on a serial line (USB, or Bluetooth through rfcomm), read without
// gpsd. Polls never wait: they take the complete sentences the line has delivered and read them
// as ParseNmeaEpochs does; the epoch being received is the current fix, so a fix is available as
// soon as its first sentence is in.
//
// The service is on while the connection is open; the device is on while the line is open. A line
// that hangs up (the receiver unplugged) turns the device off and is opened again, at most once a
// second, until the device is back. Open fails when the device cannot be opened at all, e.g. for a
// user who is not in the group that owns it (dialout on Debian).
class SerialSource final : public GpsSource {
public:
    using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

    SerialSource(std::string path, unsigned baud, SteadyNow now = std::chrono::steady_clock::now);

    // The line speeds a receiver may use; nothing for others.
    static std::optional<unsigned> SupportedBaud(unsigned baud);

    std::unique_ptr<GpsConnection> Open() override;
    std::string Describe() const override;

    const std::string& Path() const { return m_path; }
    unsigned Baud() const { return m_baud; }

private:
    std::string m_path;
    unsigned m_baud;
    SteadyNow m_now;
};

} // namespace platform::device
