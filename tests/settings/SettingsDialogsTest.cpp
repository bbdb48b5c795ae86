#include "settings/SettingsDialogs.h"

#include "settings/DataExchange.h"
#include "settings/OptionLogDlg.h"
#include "settings/SelectFile.h"
#include "settings/WaveFileChooser.h"
#include "support/TestServices.h"
#include "ui/Commands.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QTest>

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using Asked = std::vector<std::pair<std::string, std::string>>; // title, current path

// A settings dialog as a script sees it: its controls by id.
struct Dialog {
    CSettingsDialog& dlg;
    QString Text(int id) const { return dlg.Item<QLineEdit>(id)->text(); }
    void SetText(int id, const char* text) const { dlg.Item<QLineEdit>(id)->setText(text); }
    void Click(int id) const { dlg.Item<QAbstractButton>(id)->click(); }
    long EnabledCount(std::initializer_list<int> ids) const {
        return std::ranges::count_if(ids, [this](int id) { return dlg.Item(id)->isEnabled(); });
    }
};

// The settings of a program on a fresh device, with a sound file chooser answered by script.
struct Fixture final : WaveFileChooser {
    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    SettingsDialogs dialogs{doc, t.messages, *this};
    std::optional<std::string> answer;
    Asked asked;

    std::optional<std::string> Choose(QWidget*, std::string_view title, std::string_view current) override {
        asked.emplace_back(title, current);
        return answer;
    }

    // Runs a command whose dialog is answered by script; the script returns true to press OK,
    // false to press Cancel.
    void Run(int command, const std::function<bool(Dialog)>& script) {
        dialogs.SetRunner([&](CSettingsDialog& dlg) {
            (script(Dialog{dlg}) ? dlg.OkAction() : dlg.CancelAction())->trigger();
            return dlg.result();
        });
        EXPECT_TRUE(dialogs.Run(command));
    }

    // Values OK stored, as pairs of a member and its value: in the live settings, and in the saved
    // ones as the settings file gives them back to a program started afresh.
    template <class... M, class... V> void ExpectStored(const std::pair<M, V>&... expected) {
        const CMyAmbuloDoc reloaded(t.services());
        const auto check = [&](const auto& e) {
            EXPECT_EQ(doc.*e.first, e.second) << "live";
            EXPECT_EQ(reloaded.*e.first, e.second) << "from the file";
        };
        (check(expected), ...);
    }
};

// In a phone's or the handheld's window every control stays reachable: the dialog takes the
// window's size and its controls lie within the area that scrolls.
void ExpectFitsSmallWindows(QDialog& dlg) {
    for (const QSize size : {QSize(240, 320), QSize(360, 720)}) {
        dlg.resize(size);
        dlg.show();
        EXPECT_EQ(dlg.size(), size);
        const QWidget* client = dlg.findChild<QScrollArea*>()->widget();
        for (const QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(client->rect().contains(control->geometry())) << dlg.windowTitle().toStdString();
        }
    }
}

} // namespace

using Doc = CMyAmbuloDoc;

// OK stores the values typed over the saved ones, never over live values that differ after a
// part-way load or a change from a menu; a failed save is told and leaves the new values in both
// copies. Each sound's controls follow their check box. Browsing with a field in error tells about
// it, fills only the path and keeps the other edits. Enter presses a focused button and else
// confirms like OK; a field left alone keeps the value it opened with.
TEST(SettingsDialogs, OkOrEnterStoresTheFieldsOverTheSavedValuesAndTellsAFailedSave) {
    Fixture f;
    f.t.temp.WriteHostFile("Program Files", "a file where the folder should be");
    f.Run(ID_CALC_SETTINGS, [](Dialog d) {
        d.SetText(1026, "300");
        return true;
    });
    EXPECT_EQ(f.doc.m_dblWeightKg, 300.0);
    EXPECT_EQ(f.doc.m_saved.dblWeightKg, 300.0);

    std::filesystem::remove(f.t.temp.host() / "Program Files");
    f.doc.m_saved.dblWeightKg = 62.5;
    f.doc.m_dblWeightKg = 80.0;
    f.Run(ID_CALC_SETTINGS, [](Dialog d) {
        EXPECT_EQ(d.Text(1026), "62.5");
        EXPECT_EQ(d.Text(1028), "2");
        d.SetText(1026, "72kg");
        d.SetText(1028, "0");
        d.Click(1031);
        return true;
    });

    f.doc.m_bPitchSound = 1; // turned on from the menu, not saved
    f.doc.m_saved.bCheckpointSound = 0;
    f.answer = R"(\Sounds\beep.wav)";
    f.Run(ID_DEVICE_SETTINGS, [](Dialog d) {
        const auto group = {1033, 1035, 1034, 1037, 1039, 1036, 1038, 1040, 1041};
        EXPECT_EQ(d.EnabledCount(group), 0);
        d.Click(1017); // outside the group: they answer while it is off
        d.Click(1019);
        d.Click(1032);
        EXPECT_EQ(d.EnabledCount(group), 9);
        EXPECT_TRUE(d.dlg.Item<QAbstractButton>(1033)->isChecked());
        d.Click(1035);
        d.SetText(1034, "abc");
        d.SetText(1037, "100000");
        d.Click(1041);
        EXPECT_EQ(d.Text(1034), "abc"); // the other edits stay
        d.SetText(1034, "1");
        d.Click(1032); // the pitch sound off again, unlike its live value
        return true;
    });
    f.answer = R"(\b.wav)";
    f.Run(ID_CHECKPOINT_SETTINGS, [](Dialog d) {
        d.dlg.show();
        EXPECT_EQ(d.EnabledCount({1033, 1035, 1034, 1037, 1036, 1038, 1040, 1039, 1041}), 0);
        d.Click(1042);
        EXPECT_EQ(d.EnabledCount({1033, 1035, 1034, 1037, 1036, 1038, 1040, 1039, 1041}), 6);
        d.Click(1032);
        EXPECT_EQ(d.EnabledCount({1040, 1039, 1041}), 3);
        d.dlg.Item(1041)->setFocus();
        QTest::keyClick(d.dlg.Item(1041), Qt::Key_Return);
        EXPECT_EQ(d.dlg.result(), 0); // still open
        d.Click(1035);
        d.SetText(1037, "2000m");
        d.dlg.Item(1037)->setFocus();
        QTest::keyClick(d.dlg.Item(1037), Qt::Key_Enter);
        EXPECT_EQ(d.dlg.result(), IDOK);
        return true;
    });
    // Told: the failed save, and the field in error on browsing for the pitch sound; browsing with
    // valid fields tells nothing.
    ASSERT_EQ(f.t.messages.shown.size(), 2u);
    EXPECT_EQ(f.t.messages.shown[0].caption, "エラー");
    EXPECT_EQ(f.t.messages.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(f.t.messages.shown[1].text, "Please enter an integer.");
    EXPECT_EQ(f.asked, (Asked{{"ピッチ音のファイルを開く...", R"(\Windows\RecEnd.wav)"},
                              {"チェック音のファイルを開く...", R"(\Windows\RecEnd.wav)"}}));
    f.ExpectStored(std::pair{&Doc::m_dblWeightKg, 72.0}, std::pair{&Doc::m_dblMinDistance, 0.0},
                   std::pair{&Doc::m_bFlatAltitude, 1}, std::pair{&Doc::m_bPitchSound, 0},
                   std::pair{&Doc::m_bPitchByTime, 0}, std::pair{&Doc::m_bPitchByDistance, 1},
                   std::pair{&Doc::m_nPitchSeconds, 1}, std::pair{&Doc::m_nPitchMetres, 100000},
                   std::pair{&Doc::m_strPitchSound, R"(\Sounds\beep.wav)"},
                   std::pair{&Doc::m_bShowBluetooth, 0}, std::pair{&Doc::m_bIgnoreGpsFlags, 1},
                   std::pair{&Doc::m_bCheckpointAuto, 1}, std::pair{&Doc::m_bCheckpointByTime, 0},
                   std::pair{&Doc::m_nCheckpointSeconds, 300}, std::pair{&Doc::m_nCheckpointMetres, 2000},
                   std::pair{&Doc::m_bCheckpointSound, 1},
                   std::pair{&Doc::m_strCheckpointSound, R"(\b.wav)"});

    // The map's size: 100 km is the scale 500 and 250 km the scale 200; a scale or a text that names
    // no size is the first.
    for (const auto& [saved, shown, typed, stored] : {std::tuple{2000u, 0, "半径250 km", 200},
                                                      {500u, 3, "半径100 km", 500},
                                                      {5000u, 1, "半径 7 km", 10000}}) {
        f.doc.m_saved.nMapScale = saved;
        f.doc.m_nMapScale = 1000;   // changed from the map menu
        f.doc.m_bCenterOnStart = 1; // likewise
        f.Run(ID_MAP_SETTINGS, [&](Dialog d) {
            EXPECT_EQ(d.dlg.Item<QComboBox>(1003)->currentIndex(), shown);
            d.dlg.Item<QComboBox>(1003)->setEditText(QString::fromUtf8(typed));
            return true;
        });
        f.ExpectStored(std::pair{&Doc::m_nMapScale, stored}, std::pair{&Doc::m_bCenterOnStart, 0});
    }
}

// A value out of range is a warning, a field that holds no number is simply told; either way the
// dialog stays open with the focus on the field and its text selected. Cancelled, no dialog stores
// anything nor writes the settings file.
TEST(SettingsCommands, ARefusedFieldKeepsTheDialogOpenWithItsTextSelectedAndCancelStoresNothing) {
    using enum platform::MessageIcon;
    // The command, the field refused (or 0) and the check box that enables it, what is typed, what
    // is told and with which icon.
    using Case = std::tuple<int, int, int, const char*, std::string, platform::MessageIcon>;
    const Case cases[] = {
        {ID_CALC_SETTINGS, 1026, 0, "kg", "Please enter a number.", None},
        {ID_CALC_SETTINGS, 1028, 0, "100.01", "Please enter a number between 0 and 100.", Warning},
        {ID_CHECKPOINT_SETTINGS, 1034, 1042, "x", "Please enter an integer.", None},
        {ID_CHECKPOINT_SETTINGS, 1034, 1042, "0", "Please enter an integer between 1 and 86400.", Warning},
        {ID_CHECKPOINT_SETTINGS, 1037, 1042, "-5", "Please enter an integer between 1 and 100000.", Warning},
        {ID_DEVICE_SETTINGS, 1034, 1032, "86401", "Please enter an integer between 1 and 86400.", Warning},
        {ID_DEVICE_SETTINGS, 1037, 1032, "0", "Please enter an integer between 1 and 100000.", Warning},
        {ID_LOG_SETTINGS, 0, 0, "", "", {}},
        {ID_MAP_SETTINGS, 0, 0, "", "", {}},
    };
    for (const auto& [command, field, checkBox, text, message, icon] : cases) {
        Fixture f;
        f.Run(command, [&](Dialog d) {
            ExpectFitsSmallWindows(d.dlg);
            if (checkBox != 0) {
                d.Click(checkBox); // the fields take the focus only when enabled
            }
            if (field != 0) {
                d.SetText(field, text);
                d.dlg.OkAction()->trigger();
                EXPECT_EQ(d.dlg.result(), 0) << text;
                EXPECT_EQ(d.dlg.focusWidget(), d.dlg.Item(field)) << text;
                EXPECT_EQ(d.dlg.Item<QLineEdit>(field)->selectedText(), text);
            }
            return false;
        });
        ASSERT_EQ(f.t.messages.shown.size(), message.empty() ? 0u : 1u) << text;
        for (const auto& shown : f.t.messages.shown) {
            EXPECT_EQ(shown.text, message);
            EXPECT_EQ(shown.icon, icon) << text;
        }
        EXPECT_EQ(f.doc.m_saved, SavedSettings{}) << command;
        EXPECT_FALSE(std::filesystem::exists(f.t.temp.host() / "Program Files/Ambulo/ambl.opt"));
        EXPECT_FALSE(f.dialogs.Run(ID_HISTORY)); // not a settings command
    }
}

// The folder chooser starts at the field's folder without its trailing backslash and gives the
// root as "\"; a folder typed without its leading backslash is stored from the root.
TEST(LogSettings, FolderIsChosenOrTypedAndStoredFromTheRootWithOneTrailingBackslash) {
    EXPECT_EQ(ChooserStartFolder("\\"), "");
    EXPECT_EQ(ChooserStartFolder(""), R"(\My Documents\Ambulo)");
    EXPECT_EQ(LogFolderFromChooser(R"(\Logs)"), R"(\Logs\)");
    Fixture f;
    f.t.temp.WriteHostFile("My Documents/Ambulo/ambl0102.log", "");
    f.Run(ID_LOG_SETTINGS, [](Dialog d) {
        static_cast<COptionLogDlg&>(d.dlg).m_runChooser = [](CSelectFile& chooser) {
            // Only "[..]": the filter is a literal ending that no file has, and \Logs cannot be read.
            EXPECT_EQ(chooser.Item<QListWidget>(1059)->count(), 1) << chooser.m_strFolder;
            const int answer = chooser.m_strFolder == R"(\Logs)" ? IDCANCEL : IDOK; // the typed folder
            chooser.OnAncestorPicked(0);
            return answer;
        };
        d.Click(1024);
        EXPECT_EQ(d.Text(1022), "\\");
        d.SetText(1022, R"(\Logs)");
        d.Click(1024); // cancelled: the field keeps its text
        EXPECT_EQ(d.Text(1022), R"(\Logs)");
        d.SetText(1022, R"(Logs\)");
        for (const int id : {1019, 1020, 1021}) {
            d.Click(id);
        }
        return true;
    });
    f.ExpectStored(std::pair{&Doc::m_strLogFolder, R"(\Logs\)"}, std::pair{&Doc::m_bSaveHistory, 0},
                   std::pair{&Doc::m_bSaveKml, 0}, std::pair{&Doc::m_bSaveGpsLog, 1});
}

TEST(FolderChooserDialog, NavigatesByEnterAndTheDropDownListAndEnterOnAFileConfirms) {
    // \My Documents\Ambulo with a folder, a hidden folder and files that a file rule could mistake.
    TestServices t;
    for (const char* file :
         {"Log/a.log", ".cache/b.log", "run.log", "run.txt", "[x].log", "B.LOG", "ambl0102.log"}) {
        t.temp.WriteHostFile(std::string("My Documents/Ambulo/") + file, "x");
    }
    // The entries of a list box or of a drop-down list, in their order.
    const auto texts = [](const QAbstractItemModel& model) {
        std::vector<std::string> entries;
        for (int i = 0; i < model.rowCount(); ++i) {
            entries.push_back(model.index(i, 0).data().toString().toStdString());
        }
        return entries;
    };
    CSelectFile dlg(t.temp.root(), t.messages);
    dlg.m_strFolder = R"(\My Documents\Ambulo)";
    dlg.InitDialog();
    auto* combo = dlg.Item<QComboBox>(1058);
    auto* list = dlg.Item<QListWidget>(1059);
    EXPECT_EQ(texts(*combo->model()), (std::vector<std::string>{"\\", "  My Documents", "    Ambulo"}));
    EXPECT_EQ(combo->currentIndex(), 2);
    // Folders before files, letter case aside; hidden folders and other endings left out.
    EXPECT_EQ(texts(*list->model()),
              (std::vector<std::string>{"[..]", "[Log]", "[x].log", "ambl0102.log", "B.LOG", "run.log"}));
    EXPECT_EQ(dlg.Item<QLabel>(1140)->text().toStdString(), R"(\My Documents\Ambulo)");

    // A file whose name begins with a bracket is still a file: only the file name is taken, and
    // Enter on a file confirms like OK.
    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.m_strFileName, "[x].log");
    EXPECT_EQ(dlg.result(), IDOK);
    dlg.setResult(0);

    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents\Ambulo\Log)");
    EXPECT_EQ(dlg.m_strFileName, "");
    EXPECT_EQ(texts(*list->model()), (std::vector<std::string>{"[..]", "a.log"}));

    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents\Ambulo)");
    EXPECT_EQ(dlg.result(), 0); // opening a folder does not confirm

    // Ancestors are indented two blanks a level; picking one opens it, its parent is one up.
    dlg.OnAncestorPicked(1);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents)");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(texts(*combo->model()), std::vector<std::string>{"\\"});
    EXPECT_EQ(texts(*list->model()), std::vector<std::string>{"[My Documents]"});
    EXPECT_EQ(dlg.Item<QLabel>(1140)->text().toStdString(), "");

    // The chooser lays out its own controls: each one below the one before.
    ExpectFitsSmallWindows(dlg);
    for (const auto& [above, below] : {std::pair{1061, 1140}, {1140, 1058}, {1058, 1059}}) {
        EXPECT_LT(dlg.Item(above)->geometry().bottom(), dlg.Item(below)->y()) << below;
    }
}

// A field is read from its start, after blanks and one plus sign, ignoring what follows; an integer
// beyond its type is its largest. A number outside its range is refused naming the range as the
// fields show numbers (up to fifteen significant digits), and a refused field keeps its value.
TEST(FieldNumbers, FieldsAreReadFromTheirStartAndHeldToTheirRange) {
    using Case = std::tuple<const char*, std::optional<double>, std::optional<int>>; // text, number, integer
    for (const auto& [text, number, integer] :
         {Case{"  +80", 80, 80}, {"+-3", {}, {}}, {"", {}, {}}, {"99999999999", 99999999999.0, 2147483647}}) {
        double numberRead = -123.0;
        int integerRead = -1;
        EXPECT_EQ(ReadNumber(text, -1e12, 1e12, numberRead), number ? "" : "Please enter a number.") << text;
        EXPECT_EQ(numberRead, number.value_or(-123.0)) << text;
        EXPECT_EQ(ReadInteger(text, integerRead), integer ? "" : "Please enter an integer.") << text;
        EXPECT_EQ(integerRead, integer.value_or(-1)) << text;
    }
    double value = -123.0;
    EXPECT_EQ(ReadNumber("0", 1.0 / 3.0, 2.25, value),
              "Please enter a number between 0.333333333333333 and 2.25.");
    EXPECT_EQ(value, -123.0);
}

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
