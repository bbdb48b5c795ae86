#include "settings/WaveFileChooser.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

// A file under the root is taken where it lies; one from elsewhere is copied into the sound folder,
// and a copy that fails says which file and why.
TEST(WaveFileChooser, FilesFromOutsideTheRootAreCopiedIntoTheSoundFolderOrTheFailureIsTold) {
    TempRoot root, music, blocked;
    root.WriteHostFile("Sounds/a.wav", "RIFF-a");
    music.WriteHostFile("beat.wav", "RIFF-beat");
    blocked.WriteHostFile("My Documents/Ambulo/Sound", "a file where the folder should be");
    const std::string beat = (music.host() / "beat.wav").string();
    const std::string gone = (music.host() / "gone.wav").string();
    platform::ScriptedMessageBox messages;
    EXPECT_EQ(AdoptWaveFile(root.root(), (root.host() / "Sounds/a.wav").string(), messages),
              R"(\Sounds\a.wav)");
    EXPECT_EQ(AdoptWaveFile(root.root(), beat, messages), R"(\My Documents\Ambulo\Sound\beat.wav)");
    EXPECT_EQ(root.ReadHostFile("My Documents/Ambulo/Sound/beat.wav"), "RIFF-beat");

    EXPECT_EQ(AdoptWaveFile(root.root(), gone, messages), std::nullopt);
    EXPECT_EQ(AdoptWaveFile(blocked.root(), beat, messages), std::nullopt);
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& [shown, file] : {std::pair{messages.shown[0], gone}, {messages.shown[1], beat}}) {
        EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
        EXPECT_NE(shown.text.find(file + "\n"), std::string::npos) << shown.text;
    }
}
