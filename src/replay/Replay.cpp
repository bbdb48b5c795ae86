#include "replay/Replay.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/TextFormat.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/NmeaReplaySource.h"
#include "platform/Power.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "view/MainScreen.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <unistd.h>

namespace {

bool ParseTick(std::string_view text, int& tick) {
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, tick);
    return ec == std::errc() && ptr == end && tick >= 1;
}

// Messages have no one to answer them here: they are kept, and Yes/No questions are answered No.
class KeptMessages final : public platform::MessageBox {
public:
    platform::MessageAnswer Show(std::string_view text, std::string_view caption,
                                 platform::MessageButtons buttons,
                                 platform::MessageIcon = platform::MessageIcon::Information) override {
        last = std::string(caption) + ": " + std::string(text);
        shown.push_back(last);
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::No;
    }
    std::string last;
    std::vector<std::string> shown;
};

// Whether the workout can take any fix of the log, as the receiver checks are set.
bool HasUsableFix(const std::vector<platform::GPS_POSITION>& epochs, bool ignoreFlags) {
    constexpr std::uint32_t kRequired = platform::GPS_VALID_UTC_TIME | platform::GPS_VALID_LATITUDE |
                                        platform::GPS_VALID_LONGITUDE | platform::GPS_VALID_SPEED;
    return std::any_of(epochs.begin(), epochs.end(), [&](const platform::GPS_POSITION& fix) {
        const bool flagged = ignoreFlags || (fix.dwValidFields & kRequired) == kRequired;
        return flagged && (fix.dblLatitude != 0.0 || fix.dblLongitude != 0.0);
    });
}

ReplayResult Failure(std::string error) {
    ReplayResult result;
    result.error = std::move(error);
    return result;
}

constexpr const char* kUsage =
    "usage: ambulo-replay [--root DIR] [--rest N:M]... [--tap N]... [--gpx] LOG.nmea";

// The host paths of the files a finish wrote; its GPX only when asked for.
std::vector<std::string> HostFiles(const platform::DeviceRoot& root, const std::vector<std::string>& files,
                                   bool gpx) {
    std::vector<std::string> hosts;
    for (const auto& file : files) {
        const auto host = root.ToHost(file);
        if (host && (gpx || host->extension() != ".gpx")) {
            hosts.push_back(host->string());
        }
    }
    return hosts;
}

} // namespace

std::optional<ReplayOptions> ParseReplayArguments(const std::vector<std::string>& args, std::string& error) {
    ReplayOptions options;
    bool haveLog = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--root" && hasValue) {
            options.root = args[++i];
        } else if (arg == "--rest" && hasValue) {
            const std::string& value = args[++i];
            const auto colon = value.find(':');
            ReplayOptions::Rest rest;
            if (colon == std::string::npos ||
                !ParseTick(std::string_view(value).substr(0, colon), rest.afterTick) ||
                !ParseTick(std::string_view(value).substr(colon + 1), rest.resumeTick) ||
                rest.resumeTick <= rest.afterTick) {
                error = "--rest needs N:M with ticks 1 <= N < M, not \"" + value + "\"";
                return std::nullopt;
            }
            options.rests.push_back(rest);
        } else if (arg == "--tap" && hasValue) {
            int tick = 0;
            if (!ParseTick(args[++i], tick)) {
                error = "--tap needs a tick number from 1, not \"" + args[i] + "\"";
                return std::nullopt;
            }
            options.taps.push_back(tick);
        } else if (arg == "--gpx") {
            options.gpx = true;
        } else if (!arg.starts_with("--") && !haveLog) {
            options.nmeaLog = arg;
            haveLog = true;
        } else {
            error = kUsage;
            return std::nullopt;
        }
    }
    if (!haveLog) {
        error = kUsage;
        return std::nullopt;
    }
    return options;
}

ReplayResult RunReplay(const ReplayOptions& options) {
    std::string why;
    auto epochs = platform::NmeaReplaySource::LoadFile(options.nmeaLog, &why);
    if (!epochs) {
        return Failure("cannot read " + options.nmeaLog.string() + ": " + why);
    }
    platform::DeviceRoot root =
        options.root ? platform::DeviceRoot(*options.root) : platform::DeviceRoot::FromEnvironment();
    const std::size_t ticks = epochs->size();
    platform::NmeaReplaySource gps(std::move(*epochs), platform::NmeaReplaySource::Pacing::Manual);
    // The device clock shows each epoch's time in the local zone; epochs without a time move it on
    // by a second.
    std::int64_t clockSeconds = 0;
    for (const auto& fix : gps.Epochs()) {
        if ((fix.dwValidFields & platform::GPS_VALID_UTC_TIME) != 0) {
            clockSeconds = platform::UtcCalendarSeconds(fix.stUTCTime);
            break;
        }
    }
    platform::ManualClock clock(platform::LocalTimeFromCalendar(clockSeconds));
    KeptMessages messages;
    platform::NoRadio radio;
    platform::SilentSound sound;
    platform::ScriptedPower power;
    platform::RecordingShell shell;
    const platform::Services services{root, clock, messages, gps, radio, sound, power, shell};

    CMyAmbuloDoc doc(services); // loads the root's settings; writes nothing
    if (!HasUsableFix(gps.Epochs(), doc.m_bIgnoreGpsFlags == 1)) {
        return Failure("no usable fix in " + options.nmeaLog.string());
    }
    // Only now that the log is known to be good may anything be created.
    std::error_code ec;
    std::filesystem::create_directories(root.HostFolder(), ec);
    if (!std::filesystem::is_directory(root.HostFolder(), ec) ||
        ::access(root.HostFolder().c_str(), R_OK | W_OK | X_OK) != 0) {
        return Failure("cannot use the device root " + root.HostFolder().string());
    }
    // A program on screen (or another replay) writing the same files would interleave with ours.
    const platform::InstanceLock lock(root);
    if (lock.state() == platform::InstanceLock::State::Taken) {
        return Failure(platform::kAlreadyRunningText);
    }
    MainScreenHooks noWindow;
    CMainScreen screen(doc, noWindow);
    screen.m_rcMap = {0, 0, 0, 0}; // taps land at (0, 0)
    screen.OnInitialUpdate();

    ReplayResult result;
    // A workout the program did not get to save comes first, so that its journal is not lost.
    screen.RecoverInterruptedWorkout(false);
    if (!screen.m_strRunName.empty()) {
        result.recovered = screen.m_strRunName;
        result.recoveredFiles = HostFiles(root, screen.m_lastSavedFiles, options.gpx);
    }
    result.notes = messages.shown; // a journal set aside, say
    if (!screen.m_writeFailures.empty()) {
        result.error = screen.m_writeFailures.front();
        return result;
    }

    const auto after = [](const auto& list, int tick, auto member) {
        return std::any_of(list.begin(), list.end(), [&](const auto& item) { return item.*member == tick; });
    };
    bool started = false;
    for (std::size_t i = 0; i < ticks; ++i) {
        const int tick = static_cast<int>(i) + 1;
        gps.Advance();
        const auto& fix = gps.Epochs()[i];
        clockSeconds = (fix.dwValidFields & platform::GPS_VALID_UTC_TIME) != 0
                           ? platform::UtcCalendarSeconds(fix.stUTCTime)
                           : clockSeconds + (i > 0 ? 1 : 0);
        auto local = platform::LocalTimeFromCalendar(clockSeconds, fix.stUTCTime.wMilliseconds);
        clock.Set(local);
        screen.OnTimer();

        if (!started && doc.m_bGpsReady == 1) {
            screen.StartRun();
            started = doc.m_bRunStarted != 0;
            if (!started) {
                result.error = messages.last;
                return result;
            }
        }
        if (started && after(options.rests, tick, &ReplayOptions::Rest::afterTick)) {
            screen.OnRestButton();
        }
        if (started && after(options.rests, tick, &ReplayOptions::Rest::resumeTick) &&
            doc.m_bMeasuring == 0) {
            screen.OnStartButton();
        }
        if (std::find(options.taps.begin(), options.taps.end(), tick) != options.taps.end()) {
            screen.OnTap(0, 0);
        }
    }
    if (!started) {
        return Failure("no usable fix in " + options.nmeaLog.string());
    }
    screen.FinishRun();

    // Only files written whole are listed; a file that could not be written fails the replay.
    result.ok = screen.m_writeFailures.empty();
    result.failures = screen.m_writeFailures;
    if (!result.ok) {
        result.error = screen.m_writeFailures.front();
    }
    result.files = HostFiles(root, screen.m_lastSavedFiles, options.gpx);
    result.summary = CFormat("run %s distance %d seconds %d kcal %.1f maxspeed10 %d",
                             screen.m_strRunName.c_str(), Truncated(doc.m_dblTotalDistance),
                             doc.m_nElapsedSeconds, doc.m_dblTotalKcal, doc.m_nMaxSpeed10);
    return result;
}
