#include "platform/DeviceRoot.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

using platform::DeviceRoot;

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
