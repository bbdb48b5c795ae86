#include "platform/device/PulseSound.h"

#include "platform/Chime.h"
#include "support/ChildProcess.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <thread>

using namespace std::chrono_literals;

namespace {

// The lengths in seconds of the sounds in a recording of 16-bit mono samples at 22 050 Hz, 44 100
// bytes a second: runs of samples reaching 300, two sounds parted by more than 50 ms of quiet.
std::vector<double> Bursts(const std::string& raw) {
    std::vector<double> bursts;
    std::optional<std::size_t> first;
    std::size_t last = 0;
    for (std::size_t at = 0; at + 1 < raw.size(); at += 2) {
        const auto sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[at]) | raw[at + 1] << 8);
        if (std::abs(sample) >= 300) {
            first = first.value_or(at);
            last = at;
        } else if (first && at - last > 44100 / 20) {
            bursts.push_back(static_cast<double>(last + 2 - *first) / 44100);
            first.reset();
        }
    }
    return bursts;
}

// Our chime through a private PulseAudio server whose null sink parec records.
TEST(PulseSound, EveryPlayIsHeardInFullAlsoOnceTheServerIsBackAfterAnAbsence) {
    if (!ChildProcess::Installed("/usr/bin/pulseaudio") || !ChildProcess::Installed("/usr/bin/parec")) {
        GTEST_SKIP() << "pulseaudio or parec (Debian packages pulseaudio, pulseaudio-utils) is missing";
    }
    TempRoot temp;
    const std::string home = temp.host().string();
    platform::InstallChimeIfMissing(temp.root());
    const ScopedEnv address("PULSE_SERVER", "unix:" + home + "/native");
    std::unique_ptr<ChildProcess> server;
    std::unique_ptr<ChildProcess> recorder;
    const auto start = [&] {
        server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/pulseaudio", "-n", "--system=false", "--disallow-exit",
                                     "--exit-idle-time=-1", "--daemonize=no", "--use-pid-file=no",
                                     "-Lmodule-null-sink sink_name=out format=s16le rate=22050 channels=1",
                                     "-Lmodule-native-protocol-unix auth-anonymous=1 socket=" + home +
                                         "/native"},
            std::vector<std::string>{"HOME=" + home, "XDG_RUNTIME_DIR=" + home});
        std::filesystem::remove(home + "/out.raw");
        // The null sink hands its monitor silence from the start, so a growing file means recording.
        return QTest::qWaitFor(
            [&] {
                if (!recorder || recorder->Exited()) {
                    recorder = std::make_unique<ChildProcess>(std::vector<std::string>{
                        "/usr/bin/parec", "--raw", "--format=s16le", "--rate=22050", "--channels=1",
                        "--latency-msec=10", "--device=out.monitor", home + "/out.raw"});
                }
                return !temp.ReadHostFile("out.raw").empty();
            },
            15000);
    };
    // Stops the server and counts the chimes it played, each heard in full.
    const auto stopHearing = [&](std::size_t count) {
        recorder->Stop();
        server->Stop();
        const auto bursts = Bursts(temp.ReadHostFile("out.raw"));
        EXPECT_EQ(bursts.size(), count);
        for (const double seconds : bursts) {
            EXPECT_NEAR(seconds, 0.57, 0.03); // the second note starts at 0.12 s and lasts 0.45 s
        }
    };
    platform::device::PulseSound sound(temp.root(), [](const std::string&) {});
    const auto playEverySecond = [&](int count) {
        for (int i = 0; i < count; ++i) {
            sound.Play(platform::kDefaultSoundPath);
            std::this_thread::sleep_for(1s);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return sound.OpenStreams() == 0; }, 5000)) << sound.OpenStreams();
    };

    ASSERT_TRUE(start()) << "the private PulseAudio server did not come up";
    playEverySecond(30);
    stopHearing(30);

    playEverySecond(3); // to no server; asked for too long ago to be made once it is back
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(start()) << "the private PulseAudio server did not come up again";
    playEverySecond(5);
    stopHearing(5);
}

} // namespace
