#include "platform/File.h"
#include "platform/DeviceRoot.h"
#include "platform/InstanceLock.h"

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
