#pragma once

#include <filesystem>
#include <memory>
#include <string>

class ChildProcess;

// "$BODY*hh\r\n": an NMEA sentence with its checksum, the XOR of the characters between '$' and '*'.
inline std::string Sentence(const std::string& body) {
    unsigned sum = 0;
    for (const char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    const char* const hex = "0123456789ABCDEF";
    return "$" + body + "*" + hex[sum >> 4] + hex[sum & 0xF] + "\r\n";
}

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
