#pragma once

#include "support/ChildProcess.h"

#include <filesystem>
#include <memory>
#include <string>

// "$BODY*hh\r\n": an NMEA sentence with its checksum.
std::string Sentence(const std::string& body);

// A loopback TCP port that nothing listens on just now.
std::string FreePort();

// gpsd with gpsfake playing the NMEA log once on the port, ten sentences a second.
std::unique_ptr<ChildProcess> GpsFake(const std::string& port, const std::filesystem::path& log);
