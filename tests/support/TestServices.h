#pragma once

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Power.h"
#include "platform/ScriptedGps.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "support/TempRoot.h"

// Scripted stand-ins for everything the program takes from the machine, over a temporary root.
struct TestServices {
    TempRoot temp;
    platform::ManualClock clock{platform::SYSTEMTIME{2008, 1, 2, 15, 9, 30, 0, 0}};
    platform::ScriptedMessageBox messages;
    platform::ScriptedGpsSource gps;
    platform::ScriptedRadio radio;
    platform::SilentSound sound;
    platform::ScriptedPower power;
    platform::RecordingShell shell;

    platform::Services services() { return {temp.root(), clock, messages, gps, radio, sound, power, shell}; }
};
