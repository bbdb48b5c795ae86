#include "platform/DeviceRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>

using platform::DeviceRoot;

TEST(DeviceRoot, MapsBothSeparatorsBelowTheRoot) {
    const DeviceRoot root("/srv/device");
    EXPECT_EQ(root.ToHost("\\My Documents\\Ambulo\\Log\\x.log"), "/srv/device/My Documents/Ambulo/Log/x.log");
    EXPECT_EQ(root.ToHost("/My Documents/Ambulo/"), "/srv/device/My Documents/Ambulo");
    EXPECT_EQ(root.ToHost("\\"), "/srv/device");
    EXPECT_EQ(root.ToHost(""), "/srv/device");
}

TEST(DeviceRoot, DotDotStaysInsideOrIsRefused) {
    const DeviceRoot root("/srv/device");
    EXPECT_EQ(root.ToHost("\\a\\b\\..\\c"), "/srv/device/a/c");
    EXPECT_EQ(root.ToHost("\\a\\..\\.\\b"), "/srv/device/b");
    // Climbing above the root is refused, not clamped to the root.
    EXPECT_FALSE(root.ToHost("\\..\\etc\\passwd"));
    EXPECT_FALSE(root.ToHost("\\a\\..\\..\\b"));
    EXPECT_FALSE(root.ToHost("../x"));
    EXPECT_FALSE(root.ToHost(std::string_view("\\a\0b", 4)));
}

TEST(DeviceRoot, EnvironmentChoosesTheFolder) {
    const auto restore = [](const char* name, const char* value) {
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    };
    const char* oldRoot = std::getenv("AMBULO_ROOT");
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedRoot = oldRoot ? oldRoot : "";
    const std::string savedData = oldData ? oldData : "";
    const std::string savedHome = oldHome ? oldHome : "";

    ::setenv("HOME", "/home/runner", 1);
    ::setenv("XDG_DATA_HOME", "/data", 1);
    ::setenv("AMBULO_ROOT", "/custom/root", 1);
    EXPECT_EQ(DeviceRoot::FromEnvironment().HostFolder(), "/custom/root");
    ::unsetenv("AMBULO_ROOT");
    EXPECT_EQ(DeviceRoot::FromEnvironment().HostFolder(), "/data/ambulo");
    ::setenv("XDG_DATA_HOME", "relative", 1); // not a valid XDG value
    EXPECT_EQ(DeviceRoot::FromEnvironment().HostFolder(), "/home/runner/.local/share/ambulo");

    restore("AMBULO_ROOT", oldRoot ? savedRoot.c_str() : nullptr);
    restore("XDG_DATA_HOME", oldData ? savedData.c_str() : nullptr);
    restore("HOME", oldHome ? savedHome.c_str() : nullptr);
}
