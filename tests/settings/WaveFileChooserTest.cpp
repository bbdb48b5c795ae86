#include "settings/WaveFileChooser.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(WaveFileChooser, FilesFromOutsideTheRootAreCopiedIntoTheSoundFolderOrTheFailureIsTold) {
    struct Case {
        const char* hostFile; // under the root when it starts with "root/", else under the music folder
        bool soundFolderBlocked;
        std::optional<std::string> device;
    };
    const Case cases[] = {
        {"root/Sounds/in.wav", false, R"(\Sounds\in.wav)"},
        {"beat.wav", false, R"(\My Documents\Ambulo\Sound\beat.wav)"},
        {"gone.wav", false, std::nullopt}, // vanished before the copy
        {"beat.wav", true, std::nullopt},  // a file where the folder should be
    };
    for (const Case& c : cases) {
        TempRoot root;
        TempRoot music;
        const std::string name = c.hostFile;
        const bool inside = name.starts_with("root/");
        const auto host = inside ? root.host() / name.substr(5) : music.host() / name;
        if (name != "gone.wav") {
            (inside ? root : music).WriteHostFile(inside ? name.substr(5) : name, "RIFF-" + name);
        }
        if (c.soundFolderBlocked) {
            root.WriteHostFile("My Documents/Ambulo/Sound", "not a folder");
        }
        platform::ScriptedMessageBox messages;
        EXPECT_EQ(AdoptWaveFile(root.root(), host.string(), messages), c.device) << name;
        if (c.device) {
            EXPECT_TRUE(messages.shown.empty()) << name;
            EXPECT_EQ(Read(*root.root().ToHost(*c.device)), "RIFF-" + name);
        } else {
            ASSERT_EQ(messages.shown.size(), 1u) << name;
            EXPECT_EQ(messages.shown[0].caption, "エラー");
            EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Error);
            EXPECT_NE(messages.shown[0].text.find(host.string() + "\n"), std::string::npos);
        }
    }
}
