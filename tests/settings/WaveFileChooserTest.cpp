#include "settings/WaveFileChooser.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

TEST(WaveFileChooser, FilesFromOutsideTheRootAreCopiedIntoTheSoundFolderOrTheFailureIsTold) {
    const struct {
        const char* file; // "in/..." lies under the root, the rest in a music folder beside it
        bool blocked;     // a file where the sound folder should be
        std::optional<std::string> device;
    } cases[] = {{"in/Sounds/a.wav", false, R"(\Sounds\a.wav)"},
                 {"beat.wav", false, R"(\My Documents\Ambulo\Sound\beat.wav)"},
                 {"gone.wav", false, std::nullopt},
                 {"beat.wav", true, std::nullopt}};
    for (const auto& c : cases) {
        TempRoot root, music;
        const std::string name = c.file;
        const bool inside = name.starts_with("in/");
        const auto host = inside ? root.host() / name.substr(3) : music.host() / name;
        if (name != "gone.wav") {
            (inside ? root : music).WriteHostFile(inside ? name.substr(3) : name, "RIFF-" + name);
        }
        if (c.blocked) {
            root.WriteHostFile("My Documents/Ambulo/Sound", "x");
        }
        platform::ScriptedMessageBox messages;
        EXPECT_EQ(AdoptWaveFile(root.root(), host.string(), messages), c.device) << name;
        if (c.device) {
            std::ostringstream copied;
            copied << std::ifstream(*root.root().ToHost(*c.device), std::ios::binary).rdbuf();
            EXPECT_EQ(copied.str(), "RIFF-" + name);
            EXPECT_TRUE(messages.shown.empty());
        } else {
            ASSERT_EQ(messages.shown.size(), 1u) << name;
            EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Error);
            EXPECT_NE(messages.shown[0].text.find(host.string() + "\n"), std::string::npos);
        }
    }
}
