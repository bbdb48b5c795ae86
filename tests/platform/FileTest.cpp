#include "platform/File.h"
#include "platform/Chime.h"
#include "platform/DeviceRoot.h"
#include "platform/InstanceLock.h"
#include "platform/Wave.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::DeviceRoot;
using platform::File;
using platform::SeekFrom;
using Sample = platform::WaveSound::Sample;

namespace {

// The first `bytes` bytes of a value, least significant first.
std::string Le(std::uint32_t value, int bytes) {
    const char all[] = {static_cast<char>(value), static_cast<char>(value >> 8),
                        static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    return std::string(all, bytes);
}

// A wave file at 8 000 Hz; the extensible format (0xFFFE) carries PCM as its sub-format; before goes
// ahead of the data chunk, whose size field may claim more than it holds.
std::string Wave(int tag, int channels, int bits, std::string_view data, std::uint32_t dataSize,
                 std::string_view before = "") {
    std::string fmt = Le(tag, 2) + Le(channels, 2) + Le(8000, 4) + Le(8000 * channels * bits / 8, 4) +
                      Le(channels * bits / 8, 2) + Le(bits, 2);
    fmt += tag == 0xFFFE ? Le(22, 2) + Le(bits, 2) + Le(0, 4) + Le(1, 2) + std::string(14, '\1') : "";
    return "RIFF" + Le(0, 4) + "WAVEfmt " + Le(fmt.size(), 4) + fmt + std::string(before) + "data" +
           Le(dataSize, 4) + std::string(data);
}

} // namespace

TEST(File, CreateAlwaysTruncatesOpenAlwaysKeepsFoldersAreMadeAndListedAndFailuresHaveTheirCause) {
    TempRoot temp;
    temp.WriteHostFile("Log/run.log", "old contents");
    File created = File::CreateAlways(temp.root(), "\\Log\\run.log");
    EXPECT_EQ(created.Size(), 0U);
    EXPECT_TRUE(created.Write("abc"));
    EXPECT_TRUE(created.Close());

    File kept = File::OpenAlways(temp.root(), "/Log/run.log");
    EXPECT_EQ(kept.Seek(0, SeekFrom::End), 3);
    EXPECT_TRUE(kept.Write("de"));
    EXPECT_EQ(kept.ReadAll(), "abcde");
    EXPECT_EQ(kept.Seek(1, SeekFrom::Begin), 1);
    char two[2] = {};
    EXPECT_EQ(kept.Read(two, sizeof two), 2U);
    EXPECT_EQ(std::string(two, 2), "bc");

    EXPECT_EQ(File::OpenExisting(temp.root(), "\\nowhere\\x.log").Error(), ENOENT);
    EXPECT_EQ(File::CreateAlways(temp.root(), "\\nowhere\\x.log").Error(), ENOENT);
    EXPECT_FALSE(File::CreateAlways(temp.root(), "\\..\\escape.log").IsOpen());
    EXPECT_FALSE(std::filesystem::exists(temp.host().parent_path() / "escape.log"));

    temp.WriteHostFile("ro.txt", "x");
    File readOnly = File::OpenExisting(temp.root(), "\\ro.txt");
    EXPECT_FALSE(readOnly.Write("y"));
    EXPECT_EQ(readOnly.Error(), EBADF);

    EXPECT_TRUE(platform::CreateDirectory(temp.root(), "\\a"));
    EXPECT_FALSE(platform::CreateDirectory(temp.root(), "\\a"));    // exists already
    EXPECT_FALSE(platform::CreateDirectory(temp.root(), "\\x\\b")); // parent missing
    EXPECT_TRUE(platform::CreateDirectories(temp.root(), "\\a\\b\\c"));
    temp.WriteHostFile("a/run.log", "1");
    temp.WriteHostFile("a/.hidden", "2");

    auto entries = platform::ListFolder(temp.root(), "\\a").value();
    std::ranges::sort(entries, {}, &platform::FolderEntry::name);
    ASSERT_EQ(entries.size(), 3U);
    EXPECT_TRUE(entries[0].isHidden);
    EXPECT_TRUE(entries[1].isFolder && entries[1].name == "b");
    EXPECT_FALSE(entries[2].isFolder || entries[2].isHidden);
    EXPECT_FALSE(platform::ListFolder(temp.root(), "\\missing"));

    EXPECT_TRUE(platform::DeleteFile(temp.root(), "\\a\\run.log"));
    EXPECT_FALSE(platform::FileExists(temp.root(), "\\a\\run.log"));
}

TEST(File, AtomicWriteReplacesWholeOrLeavesTheOldFileWholeAndNoTemporaryFile) {
    TempRoot temp;
    const char* const opt = "\\Program Files\\Ambulo\\ambl.opt";
    ASSERT_TRUE(platform::WriteFileAtomically(temp.root(), opt, "first"));
    ASSERT_TRUE(platform::WriteFileAtomically(temp.root(), opt, "2nd"));
    EXPECT_EQ(temp.ReadHostFile("Program Files/Ambulo/ambl.opt"), "2nd");

    // In a child, a file-size limit makes the write fail part-way, as a full disk would.
    EXPECT_EXIT(
        {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit small{};
            ::getrlimit(RLIMIT_FSIZE, &small);
            small.rlim_cur = 2;
            ::setrlimit(RLIMIT_FSIZE, &small);
            ::_exit(platform::WriteFileAtomically(temp.root(), opt, "longer") ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "")
        << "the write did not fail";
    EXPECT_EQ(temp.ReadHostFile("Program Files/Ambulo/ambl.opt"), "2nd");
    const std::filesystem::directory_iterator folder(temp.host() / "Program Files/Ambulo");
    EXPECT_EQ(std::distance(begin(folder), end(folder)), 1) << "a temporary file stayed";
}

TEST(InstanceLock, OneHolderPerRootUntilItGoes) {
    using State = platform::InstanceLock::State;
    TempRoot temp;
    {
        const platform::InstanceLock first(temp.root());
        EXPECT_EQ(first.state(), State::Held);
        EXPECT_EQ(platform::InstanceLock(temp.root()).state(), State::Taken);
        TempRoot other;
        EXPECT_EQ(platform::InstanceLock(other.root()).state(), State::Held);
    }
    EXPECT_EQ(platform::InstanceLock(temp.root()).state(), State::Held);

    // A holder in another process keeps the lock, and when it is killed leaves no stale lock behind.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const platform::InstanceLock lock(temp.root());
        (void)!::write(ready[1], "x", 1);
        ::pause();
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(platform::InstanceLock(temp.root()).state(), State::Taken);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(platform::InstanceLock(temp.root()).state(), State::Held);
}

TEST(DeviceRoot, MapsDevicePathsBelowTheRootRefusesEscapesAndTheEnvironmentChoosesTheFolder) {
    const DeviceRoot root("/srv/device");
    EXPECT_EQ(root.ToHost("\\My Documents\\Ambulo\\Log\\x.log"), "/srv/device/My Documents/Ambulo/Log/x.log");
    EXPECT_EQ(root.ToHost("/My Documents/Ambulo/"), "/srv/device/My Documents/Ambulo");
    EXPECT_EQ(root.ToHost("\\"), "/srv/device");
    EXPECT_EQ(root.ToHost("\\a\\b\\..\\.\\c"), "/srv/device/a/c");
    // Climbing above the root is refused, not clamped to the root.
    EXPECT_FALSE(root.ToHost("\\..\\etc\\passwd"));
    EXPECT_FALSE(root.ToHost("\\a\\..\\..\\b"));
    EXPECT_FALSE(root.ToHost(std::string_view("\\a\0b", 4)));

    const ScopedEnv home("HOME", "/home/runner");
    std::optional<ScopedEnv> data(std::in_place, "XDG_DATA_HOME", "/data");
    {
        const ScopedEnv root("AMBULO_ROOT", "/custom/root");
        EXPECT_EQ(DeviceRoot::FromEnvironment().HostFolder(), "/custom/root");
    }
    const ScopedEnv noRoot("AMBULO_ROOT", std::nullopt);
    EXPECT_EQ(DeviceRoot::FromEnvironment().HostFolder(), "/data/ambulo");
    data.reset();
    const ScopedEnv relative("XDG_DATA_HOME", "relative"); // invalid, so ignored
    EXPECT_EQ(DeviceRoot::FromEnvironment().HostFolder(), "/home/runner/.local/share/ambulo");
}

TEST(Wave, DecodesLinearAndFloatSamplesAsTheDeviceTakesThemAndTheCacheReportsAFaultOnce) {
    const std::string odd = "LIST" + Le(3, 4) + "xyz" + '\0'; // chunks are word-aligned
    for (const auto& [file, sample, channels, pcm] :
         {std::tuple{Wave(1, 2, 8, "\x80\x81\x82\x83", 4), Sample::UInt8, 2, std::string("\x80\x81\x82\x83")},
          {Wave(1, 1, 24, "\1\2\3\4\5\6", 6), Sample::Int32, 1, std::string("\0\1\2\3\0\4\5\6", 8)},
          {Wave(3, 1, 32, "abcd", 4), Sample::Float, 1, "abcd"},
          {Wave(0xFFFE, 1, 16, "abcd", 4), Sample::Int16, 1, "abcd"},
          {Wave(1, 2, 16, "abcdefg", 4096, odd), Sample::Int16, 2, "abcd"}}) { // cut to whole frames
        std::string error;
        const auto sound = platform::DecodeWave(file, error);
        ASSERT_TRUE(sound) << error;
        EXPECT_EQ(sound->sample, sample);
        EXPECT_EQ(sound->channels, channels);
        EXPECT_EQ(sound->sampleRate, 8000);
        EXPECT_EQ(sound->pcm, pcm);
    }
    std::string error;
    for (const std::string& bad : {std::string("RIFX"), Wave(7, 1, 8, "ab", 2), Wave(1, 1, 16, "a", 1),
                                   Wave(1, 1, 16, "", 0).substr(0, 36)}) {
        EXPECT_FALSE(platform::DecodeWave(bad, error)) << bad;
    }

    // The cache decodes a file once, follows it when it changes, and reports each fault once.
    TempRoot temp;
    std::vector<std::string> reports;
    platform::WaveCache cache(temp.root(), [&](const std::string& message) { reports.push_back(message); });
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    temp.WriteHostFile("a.wav", Wave(1, 1, 16, "ab", 2));
    const auto first = cache.Get(R"(\a.wav)");
    EXPECT_EQ(cache.Get(R"(\a.wav)"), first); // not read again
    temp.WriteHostFile("a.wav", Wave(1, 1, 16, "abcd", 4));
    EXPECT_EQ(cache.Get(R"(\a.wav)")->pcm, "abcd");
    temp.WriteHostFile("a.wav", "not a sound");
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    EXPECT_EQ(reports, (std::vector<std::string>{R"(cannot play \a.wav: no such file)",
                                                 R"(cannot play \a.wav: not a wave file)"}));
}

TEST(Chime, IsALoudWaveOfOurOwnAndNeverReplacesTheUsersSound) {
    const std::string wav = platform::MakeChimeWav();
    std::string error;
    const auto chime = platform::DecodeWave(wav, error);
    ASSERT_TRUE(chime) << error;
    EXPECT_EQ(std::tuple(chime->sample, chime->channels, chime->sampleRate),
              std::tuple(Sample::Int16, 1, 22050));
    // The sizes of the whole and of the samples, which follow a header of 44 bytes.
    EXPECT_EQ(wav.substr(4, 4) + wav.substr(40, 4), Le(wav.size() - 8, 4) + Le(wav.size() - 44, 4));
    int loudest = 0;
    for (std::size_t i = 0; i + 1 < chime->pcm.size(); i += 2) {
        const auto sample =
            static_cast<std::int16_t>(static_cast<std::uint8_t>(chime->pcm[i]) | chime->pcm[i + 1] << 8);
        loudest = std::max(loudest, std::abs(sample));
    }
    EXPECT_GT(loudest, 5000);

    TempRoot temp;
    ASSERT_TRUE(platform::InstallChimeIfMissing(temp.root()));
    EXPECT_EQ(temp.ReadHostFile("Windows/RecEnd.wav"), wav);
    temp.WriteHostFile("Windows/RecEnd.wav", "mine");
    EXPECT_TRUE(platform::InstallChimeIfMissing(temp.root()));
    EXPECT_EQ(temp.ReadHostFile("Windows/RecEnd.wav"), "mine");
}
