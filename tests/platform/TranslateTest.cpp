#include "platform/Translate.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::map<std::string, std::string> g_environment;

char* Lookup(const char* name) {
    const auto found = g_environment.find(name);
    return found == g_environment.end() ? nullptr : found->second.data();
}

} // namespace

TEST(UiLanguage, FollowsTheLocaleVariablesInGettextOrder) {
    using platform::UiLanguage;
    const std::pair<std::map<std::string, std::string>, UiLanguage> cases[] = {
        {{}, UiLanguage::Japanese}, // nothing set: the C locale
        {{{"LANG", "C"}}, UiLanguage::Japanese},
        {{{"LANG", "C.UTF-8"}}, UiLanguage::Japanese},
        {{{"LANG", "POSIX"}}, UiLanguage::Japanese},
        {{{"LANG", "ja_JP.UTF-8"}}, UiLanguage::Japanese},
        {{{"LANG", "en_US.UTF-8"}}, UiLanguage::English},
        {{{"LANG", "de_DE.UTF-8"}}, UiLanguage::English},
        {{{"LANG", "jam_JM"}}, UiLanguage::English},
        {{{"LANG", ""}, {"LC_MESSAGES", "fr_FR.UTF-8"}}, UiLanguage::English},
        {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, UiLanguage::Japanese},
        {{{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, UiLanguage::English},
        {{{"LC_ALL", "C"}, {"LANG", "en_US.UTF-8"}}, UiLanguage::Japanese},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja"}}, UiLanguage::Japanese},
        {{{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "en_GB:ja"}}, UiLanguage::English},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ":"}}, UiLanguage::English},
        {{{"LANG", "C"}, {"LANGUAGE", "en"}}, UiLanguage::Japanese}, // LANGUAGE ignored under C
    };
    for (const auto& [environment, expected] : cases) {
        g_environment = environment;
        EXPECT_EQ(platform::ChooseUiLanguage(&Lookup), expected) << testing::PrintToString(environment);
    }
}
