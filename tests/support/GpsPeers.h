#pragma once

#include "support/ChildProcess.h"

#include <filesystem>
#include <memory>
#include <string>

// "$BODY*hh\r\n": an NMEA sentence with its checksum, the XOR of the characters between '$' and '*'.
std::string Sentence(const std::string& body);

// A loopback TCP port kept for a server the test starts: bound with SO_REUSEADDR but not listening
// until the object goes. gpsd, which sets that option too, can bind and listen on it; nothing else
// can take it between choosing and binding, nor while gpsd is restarted on it.
struct HeldPort {
    HeldPort();
    ~HeldPort();
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;

    int fd;
    std::string number;
};

// gpsd with gpsfake playing the NMEA log once on the port, ten sentences a second.
std::unique_ptr<ChildProcess> GpsFake(const HeldPort& port, const std::filesystem::path& log);
