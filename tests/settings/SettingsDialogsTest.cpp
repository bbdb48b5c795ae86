#include "settings/SettingsDialogs.h"

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

struct ScriptedWaveChooser final : WaveFileChooser {
    std::optional<std::string> Choose(QWidget*, std::string_view title, std::string_view current) override {
        asked.emplace_back(title, current);
        return answer;
    }
    std::optional<std::string> answer;
    Asked asked;
};

// A value a dialog's OK stores in a member of the settings.
template <class T> struct Stored {
    T CMyAmbuloDoc::*member;
    std::type_identity_t<T> value;
};

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

struct Fixture {
    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    ScriptedWaveChooser chooser;
    SettingsDialogs dialogs{doc, t.messages, chooser};

    // Runs a command whose dialog is answered by script; the script returns true to press OK,
    // false to press Cancel.
    void Run(int command, const std::function<bool(Dialog)>& script) {
        dialogs.SetRunner([&](CSettingsDialog& dlg) {
            (script(Dialog{dlg}) ? dlg.OkAction() : dlg.CancelAction())->trigger();
            return dlg.result();
        });
        EXPECT_TRUE(dialogs.Run(command));
    }

    // Values OK stored: in the live settings, and in the saved ones as the settings file gives
    // them back to a program started afresh.
    template <class... T> void ExpectStored(const Stored<T>&... expected) {
        const CMyAmbuloDoc reloaded(t.services());
        const auto check = [&](const auto& e) {
            EXPECT_EQ(doc.*e.member, e.value) << "live";
            EXPECT_EQ(reloaded.*e.member, e.value) << "from the file";
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

// A failed save is told and leaves the new values in both copies; OK stores the values typed over
// the saved ones, never over live values that differ after a part-way load.
TEST(CalcSettings, OpensOnTheSavedValuesAndOkStoresThemOrTellsAFailedSave) {
    Fixture f;
    f.t.temp.WriteHostFile("Program Files", "a file where the folder should be");
    f.Run(ID_CALC_SETTINGS, [](Dialog d) {
        d.SetText(1026, "300");
        return true;
    });
    ASSERT_EQ(f.t.messages.shown.size(), 1u);
    EXPECT_EQ(f.t.messages.shown[0].caption, "エラー");
    EXPECT_EQ(f.t.messages.shown[0].icon, platform::MessageIcon::Error);
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
    f.ExpectStored(Stored{&Doc::m_dblWeightKg, 72.0}, Stored{&Doc::m_dblMinDistance, 0.0},
                   Stored{&Doc::m_bFlatAltitude, 1});
    EXPECT_EQ(f.t.messages.shown.size(), 1u); // nothing more told
}

// Each sound's controls follow their check box. Browsing with a field in error tells about it,
// fills only the path and keeps the other edits. Enter presses a focused button and else confirms
// like OK; a field left alone keeps the value it opened with.
TEST(SoundSettings, ControlsFollowTheirCheckBoxesAndOkOrEnterStoresTheIntervalsAndTheSound) {
    Fixture f;
    f.doc.m_bPitchSound = 1; // turned on from the menu, not saved
    f.doc.m_saved.bCheckpointSound = 0;
    f.chooser.answer = R"(\Sounds\beep.wav)";
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
    f.chooser.answer = R"(\b.wav)";
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
    // Told once, on browsing from the pitch sound's dialog: with valid fields nothing is told.
    ASSERT_EQ(f.t.messages.shown.size(), 1u);
    EXPECT_EQ(f.t.messages.shown[0].text, "Please enter an integer.");
    EXPECT_EQ(f.chooser.asked, (Asked{{"ピッチ音のファイルを開く...", R"(\Windows\RecEnd.wav)"},
                                      {"チェック音のファイルを開く...", R"(\Windows\RecEnd.wav)"}}));
    f.ExpectStored(Stored{&Doc::m_bPitchSound, 0}, Stored{&Doc::m_bPitchByTime, 0},
                   Stored{&Doc::m_bPitchByDistance, 1}, Stored{&Doc::m_nPitchSeconds, 1},
                   Stored{&Doc::m_nPitchMetres, 100000}, Stored{&Doc::m_strPitchSound, R"(\Sounds\beep.wav)"},
                   Stored{&Doc::m_bShowBluetooth, 0}, Stored{&Doc::m_bIgnoreGpsFlags, 1});
    f.ExpectStored(Stored{&Doc::m_bCheckpointAuto, 1}, Stored{&Doc::m_bCheckpointByTime, 0},
                   Stored{&Doc::m_nCheckpointSeconds, 300}, Stored{&Doc::m_nCheckpointMetres, 2000},
                   Stored{&Doc::m_bCheckpointSound, 1}, Stored{&Doc::m_strCheckpointSound, R"(\b.wav)"});
}

// A value out of range is a warning, a field that holds no number is simply told; either way the
// dialog stays open with the focus on the field and its text selected. Cancelled, no dialog stores
// anything nor writes the settings file.
TEST(SettingsCommands, ARefusedFieldKeepsTheDialogOpenWithItsTextSelectedAndCancelStoresNothing) {
    using platform::MessageIcon;
    // The command, the field refused (or 0) and the check box that enables it, what is typed, what
    // is told and with which icon.
    using Case = std::tuple<int, int, int, const char*, std::string, MessageIcon>;
    const MessageIcon warning = MessageIcon::Warning;
    const Case cases[] = {
        {ID_CALC_SETTINGS, 1026, 0, "kg", "Please enter a number.", MessageIcon::None},
        {ID_CALC_SETTINGS, 1028, 0, "100.01", "Please enter a number between 0 and 100.", warning},
        {ID_CHECKPOINT_SETTINGS, 1034, 1042, "x", "Please enter an integer.", MessageIcon::None},
        {ID_CHECKPOINT_SETTINGS, 1034, 1042, "0", "Please enter an integer between 1 and 86400.", warning},
        {ID_CHECKPOINT_SETTINGS, 1037, 1042, "-5", "Please enter an integer between 1 and 100000.", warning},
        {ID_DEVICE_SETTINGS, 1034, 1032, "86401", "Please enter an integer between 1 and 86400.", warning},
        {ID_DEVICE_SETTINGS, 1037, 1032, "0", "Please enter an integer between 1 and 100000.", warning},
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
    std::vector<std::string> started;
    f.Run(ID_LOG_SETTINGS, [&started](Dialog d) {
        static_cast<COptionLogDlg&>(d.dlg).m_runChooser = [&started](CSelectFile& chooser) {
            started.push_back(chooser.m_strFolder);
            // Only "[..]": the filter is a literal ending that no file has, and \Logs cannot be read.
            EXPECT_EQ(chooser.Item<QListWidget>(1059)->count(), 1) << chooser.m_strFolder;
            chooser.OnAncestorPicked(0);
            return started.size() == 1 ? IDOK : IDCANCEL;
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
    EXPECT_EQ(started, (std::vector<std::string>{R"(\My Documents\Ambulo)", R"(\Logs)"}));
    f.ExpectStored(Stored{&Doc::m_strLogFolder, R"(\Logs\)"}, Stored{&Doc::m_bSaveHistory, 0},
                   Stored{&Doc::m_bSaveKml, 0}, Stored{&Doc::m_bSaveGpsLog, 1});
}

// 100 km is the scale 500 and 250 km the scale 200; a scale or a text that names no size is the first.
TEST(MapSettings, OkReplacesMenuToggledLiveValuesWithTheDialogs) {
    for (const auto& [saved, shown, typed, stored] : {std::tuple{2000u, 0, "半径250 km", 200},
                                                      {500u, 3, "半径100 km", 500},
                                                      {5000u, 1, "半径 7 km", 10000}}) {
        Fixture f;
        f.doc.m_saved.nMapScale = saved;
        f.doc.m_nMapScale = 1000;   // changed from the map menu
        f.doc.m_bCenterOnStart = 1; // likewise
        f.Run(ID_MAP_SETTINGS, [&](Dialog d) {
            EXPECT_EQ(d.dlg.Item<QComboBox>(1003)->currentIndex(), shown);
            d.dlg.Item<QComboBox>(1003)->setEditText(QString::fromUtf8(typed));
            return true;
        });
        SCOPED_TRACE(saved);
        f.ExpectStored(Stored{&Doc::m_nMapScale, stored});
        EXPECT_EQ(f.doc.m_bCenterOnStart, 0);
    }
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
