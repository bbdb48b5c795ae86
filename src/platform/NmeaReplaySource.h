#pragma once

#include "platform/Gps.h"
#include "platform/Translate.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A receiver that plays back recorded epochs (see ParseNmeaEpochs).
//
// WallClock pacing, for the program: one epoch per second since the source was opened; a poll
// returns the latest released epoch when it is at most the maximum age old (else a successful
// poll without a fix). Manual pacing, for the replay tool: Advance() releases the next epoch,
// which stays current until the next Advance().
//
// The service state is on while a connection is open; the device state is on while epochs remain
// (up to and including the last one), off after the last.
class NmeaReplaySource final : public GpsSource {
public:
    enum class Pacing { WallClock, Manual };
    using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

    NmeaReplaySource(std::vector<GPS_POSITION> epochs, Pacing pacing,
                     SteadyNow now = std::chrono::steady_clock::now);

    // Reads and parses an NMEA file on the host; nothing, with the reason in why, when it cannot be
    // read or is no regular file of a sane size.
    static std::optional<std::vector<GPS_POSITION>> LoadFile(const std::filesystem::path& hostPath,
                                                             std::string* why = nullptr);

    std::unique_ptr<GpsConnection> Open() override;
    std::string Describe() const override { return Tr("Ambulo", "NMEA ログ再生"); }

    // Manual pacing: releases the next epoch (after the last, the device goes off).
    void Advance();

    const std::vector<GPS_POSITION>& Epochs() const { return m_epochs; }

private:
    friend class NmeaReplayConnection;

    std::vector<GPS_POSITION> m_epochs;
    Pacing m_pacing;
    SteadyNow m_now;
    std::size_t m_released = 0; // Manual: epochs released so far
};

} // namespace platform
