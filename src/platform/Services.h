#pragma once

#include "platform/Clock.h"
#include "platform/DeviceRoot.h"
#include "platform/Gps.h"
#include "platform/MessageBox.h"
#include "platform/Power.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

namespace platform {

// What the program takes from the machine it runs on. The owner of these objects keeps them
// alive for as long as anything holds this record.
struct Services {
    DeviceRoot& root;
    Clock& clock;
    MessageBox& messages;
    GpsSource& gps;
    BluetoothRadio& radio;
    Sound& sound;
    Power& power;
    Shell& shell;
};

} // namespace platform
