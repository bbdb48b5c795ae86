#pragma once

#include "platform/Clock.h"
#include "platform/ScriptedGps.h"
#include "platform/Services.h"

#include <cstdlib>
#include <filesystem>
#include <string>

// Scripted services over a throw-away device root, for the benchmarks.
struct BenchServices {
    BenchServices() : root(MakeRoot()) {}
    ~BenchServices() {
        std::error_code ec;
        std::filesystem::remove_all(root.HostFolder(), ec);
    }
    BenchServices(const BenchServices&) = delete;
    BenchServices& operator=(const BenchServices&) = delete;

    static platform::DeviceRoot MakeRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ambulo-bench-XXXXXX").string();
        return platform::DeviceRoot(::mkdtemp(pattern.data()));
    }

    platform::DeviceRoot root;
    platform::ManualClock clock{platform::SYSTEMTIME{2008, 1, 2, 15, 9, 0, 0, 0}};
    platform::ScriptedMessageBox messages;
    platform::ScriptedGpsSource gps;
    platform::ScriptedRadio radio;
    platform::SilentSound sound;
    platform::ScriptedPower power;
    platform::RecordingShell shell;
    platform::Services services{root, clock, messages, gps, radio, sound, power, shell};
};
