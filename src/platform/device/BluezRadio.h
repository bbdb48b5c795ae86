#pragma once

#include "platform/Gps.h"

#include <chrono>
#include <optional>

namespace platform::device {

// The Bluetooth radio of the machine: the first adapter (org.bluez.Adapter1) that BlueZ offers on
// the system bus. Mode 0 is not powered, 1 powered and not discoverable, 2 powered and
// discoverable. Without BlueZ or an adapter the mode cannot be read. Every D-Bus call gives up
// after the timeout, so a hung bus never freezes the screen.
class BluezRadio final : public BluetoothRadio {
public:
    explicit BluezRadio(std::chrono::milliseconds timeout = std::chrono::milliseconds(500));

    std::optional<int> GetMode() override;
    // 1 switches the adapter on (not discoverable), 0 off; false when BlueZ refused or is absent.
    bool SetMode(int mode) override;

private:
    std::chrono::milliseconds m_timeout;
};

} // namespace platform::device
