#include "settings/SettingsDialogs.h"

#include "settings/OptionLogDlg.h"
#include "settings/OptionMapDlg.h"
#include "settings/SelectFile.h"
#include "settings/WaveFileChooser.h"
#include "support/Bytes.h"
#include "support/TestServices.h"
#include "ui/Commands.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>

#include <cstring>
#include <gtest/gtest.h>

namespace {

const char* const kOptFile = "Program Files/Ambulo/ambl.opt";

// The settings file written out by hand: little-endian fields and the archive's wide strings.
std::string D(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}
std::string F(double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return D(static_cast<std::uint32_t>(bits)) + D(static_cast<std::uint32_t>(bits >> 32));
}
std::string S(std::u16string_view text) {
    return std::string("\xFF\xFE\xFF") + static_cast<char>(text.size()) + Le(text);
}

class ScriptedWaveChooser final : public WaveFileChooser {
public:
    std::optional<std::string> Choose(QWidget*, std::string_view title, std::string_view current) override {
        titles.emplace_back(title);
        given.emplace_back(current);
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<std::string> titles;
    std::vector<std::string> given;
};

struct Fixture {
    TestServices t;
    CMyAmbuloDoc doc{t.services()};
    ScriptedWaveChooser chooser;
    SettingsDialogs dialogs{doc, t.messages, chooser};

    // Runs a command whose dialog is answered by script; the script returns true to press OK,
    // false to press Cancel.
    int Run(int command, const std::function<bool(CSettingsDialog&)>& script) {
        int result = -1;
        dialogs.SetRunner([&](CSettingsDialog& dlg) {
            (script(dlg) ? dlg.OkAction() : dlg.CancelAction())->trigger();
            result = dlg.result();
            return result;
        });
        EXPECT_TRUE(dialogs.Run(command));
        return result;
    }
};

QString Text(CSettingsDialog& dlg, int id) {
    return dlg.Item<QLineEdit>(id)->text();
}
void SetText(CSettingsDialog& dlg, int id, const char* text) {
    dlg.Item<QLineEdit>(id)->setText(QString::fromUtf8(text));
}
bool Checked(CSettingsDialog& dlg, int id) {
    return dlg.Item<QAbstractButton>(id)->isChecked();
}
bool Enabled(CSettingsDialog& dlg, int id) {
    return dlg.Item(id)->isEnabled();
}

} // namespace

TEST(CalcSettings, OpensOnTheSavedValuesAndOkWritesBothCopiesAndTheFile) {
    Fixture f;
    f.doc.m_saved.dblWeightKg = 62.5;
    f.doc.m_dblWeightKg = 80.0; // live values that differ after a part-way load
    f.doc.m_dblMinDistance = 9.0;
    EXPECT_EQ(f.Run(ID_CALC_SETTINGS,
                    [](CSettingsDialog& dlg) {
                        EXPECT_EQ(Text(dlg, 1026), "62.5");
                        EXPECT_EQ(Text(dlg, 1028), "2");
                        EXPECT_FALSE(Checked(dlg, 1031));
                        SetText(dlg, 1026, "72kg");
                        SetText(dlg, 1028, "0");
                        dlg.Item<QCheckBox>(1031)->setChecked(true);
                        return true;
                    }),
              IDOK);
    EXPECT_EQ(f.doc.m_dblWeightKg, 72.0);
    EXPECT_EQ(f.doc.m_saved.dblWeightKg, 72.0);
    EXPECT_EQ(f.doc.m_dblMinDistance, 0.0);
    EXPECT_EQ(f.doc.m_bFlatAltitude, 1);
    EXPECT_EQ(f.doc.m_saved.bFlatAltitude, 1u);
    const std::string expected = S(u"Ambulo") + D(5) + D(1) + D(1) + S(u"\\My Documents\\Ambulo\\") + D(1) +
                                 D(1) + D(0) + F(72.0) + F(0.0) + D(1) + S(u"\\Windows\\RecEnd.wav") + D(0) +
                                 D(1) + D(60) + D(0) + D(500) + D(0) + D(0) + D(0) + D(10000) +
                                 S(u"\\Windows\\RecEnd.wav") + D(1) + D(0) + D(1) + D(300) + D(1000);
    EXPECT_EQ(f.t.temp.ReadHostFile(kOptFile), expected);
    EXPECT_TRUE(f.t.messages.shown.empty());
}

TEST(CalcSettings, ARefusedFieldKeepsTheDialogOpenWithItsTextSelectedAndStoresNothing) {
    Fixture f;
    EXPECT_EQ(f.Run(ID_CALC_SETTINGS,
                    [](CSettingsDialog& dlg) {
                        dlg.show();
                        SetText(dlg, 1026, "70");
                        SetText(dlg, 1028, "100.01");
                        dlg.OkAction()->trigger();
                        EXPECT_EQ(dlg.result(), 0); // still open
                        EXPECT_EQ(dlg.focusWidget(), dlg.Item(1028));
                        EXPECT_EQ(dlg.Item<QLineEdit>(1028)->selectedText(), "100.01");
                        return false;
                    }),
              IDCANCEL);
    ASSERT_EQ(f.t.messages.shown.size(), 1u);
    EXPECT_EQ(f.t.messages.shown[0].text, "Please enter a number between 0 and 100.");
    EXPECT_EQ(f.doc.m_dblWeightKg, 60.0);
    EXPECT_EQ(f.doc.m_saved.dblWeightKg, 60.0);
    EXPECT_FALSE(std::filesystem::exists(f.t.temp.host() / kOptFile));
}

TEST(CalcSettings, AFailedSaveIsToldAndBothCopiesStillHoldTheNewValues) {
    Fixture f;
    f.t.temp.WriteHostFile("Program Files", "a file where the folder should be");
    f.Run(ID_CALC_SETTINGS, [](CSettingsDialog& dlg) {
        SetText(dlg, 1026, "300");
        return true;
    });
    ASSERT_EQ(f.t.messages.shown.size(), 1u);
    EXPECT_EQ(f.t.messages.shown[0].caption, "エラー");
    EXPECT_EQ(f.doc.m_dblWeightKg, 300.0);
    EXPECT_EQ(f.doc.m_saved.dblWeightKg, 300.0);
}

TEST(DeviceSettings, PitchControlsFollowTheirCheckBoxFromTheStart) {
    Fixture f;
    f.doc.m_saved.bPitchSound = 0;
    f.doc.m_bPitchSound = 1; // turned on from the menu, not saved
    f.doc.m_saved.bPitchByTime = 0;
    f.doc.m_saved.bShowBluetooth = 1;
    f.Run(ID_DEVICE_SETTINGS, [](CSettingsDialog& dlg) {
        for (const int id : {1033, 1035, 1034, 1037, 1039, 1036, 1038, 1040, 1041}) {
            EXPECT_FALSE(Enabled(dlg, id)) << id;
        }
        EXPECT_TRUE(Enabled(dlg, 1017) && Enabled(dlg, 1019));
        EXPECT_TRUE(Checked(dlg, 1035));
        EXPECT_FALSE(Checked(dlg, 1033));
        dlg.Item<QCheckBox>(1032)->click();
        for (const int id : {1033, 1035, 1034, 1037, 1039, 1036, 1038, 1040, 1041}) {
            EXPECT_TRUE(Enabled(dlg, id)) << id;
        }
        dlg.Item<QCheckBox>(1032)->click();
        EXPECT_FALSE(Enabled(dlg, 1041));
        dlg.Item<QCheckBox>(1017)->setChecked(false);
        return true;
    });
    EXPECT_EQ(f.doc.m_bPitchSound, 0);
    EXPECT_EQ(f.doc.m_bPitchByTime, 0);
    EXPECT_EQ(f.doc.m_bPitchByDistance, 1);
    EXPECT_EQ(f.doc.m_saved.bPitchByDistance, 1u);
    EXPECT_EQ(f.doc.m_bShowBluetooth, 0);
    EXPECT_EQ(f.doc.m_saved.bShowBluetooth, 0u);
}

TEST(DeviceSettings, ByTimeIntervalsAndTheChosenWaveFileAreStored) {
    Fixture f;
    f.doc.m_saved.bPitchSound = 1;
    f.chooser.answer = R"(\Sounds\beep.wav)";
    f.Run(ID_DEVICE_SETTINGS, [](CSettingsDialog& dlg) {
        EXPECT_TRUE(Checked(dlg, 1033));
        dlg.Item<QRadioButton>(1035)->setChecked(true);
        EXPECT_FALSE(Checked(dlg, 1033));
        dlg.Item<QRadioButton>(1033)->setChecked(true);
        EXPECT_FALSE(Checked(dlg, 1035));
        SetText(dlg, 1034, "1");
        SetText(dlg, 1037, "100000");
        dlg.Item<QCheckBox>(1019)->setChecked(true);
        dlg.Item<QPushButton>(1041)->click();
        EXPECT_EQ(Text(dlg, 1039), R"(\Sounds\beep.wav)");
        return true;
    });
    EXPECT_EQ(f.chooser.titles, std::vector<std::string>{"ピッチ音のファイルを開く..."});
    EXPECT_EQ(f.chooser.given, std::vector<std::string>{R"(\Windows\RecEnd.wav)"});
    EXPECT_EQ(f.doc.m_bPitchByTime, 1);
    EXPECT_EQ(f.doc.m_bPitchByDistance, 0);
    EXPECT_EQ(f.doc.m_nPitchSeconds, 1);
    EXPECT_EQ(f.doc.m_saved.nPitchMetres, 100000u);
    EXPECT_EQ(f.doc.m_strPitchSound, R"(\Sounds\beep.wav)");
    EXPECT_EQ(f.doc.m_saved.strPitchSound, R"(\Sounds\beep.wav)");
    EXPECT_EQ(f.doc.m_bIgnoreGpsFlags, 1);
}

TEST(DeviceSettings, BrowsingFillsOnlyThePathAndANonIntegerStopsOk) {
    Fixture f;
    f.doc.m_saved.bPitchSound = 1;
    f.chooser.answer = R"(\a.wav)";
    f.Run(ID_DEVICE_SETTINGS, [](CSettingsDialog& dlg) {
        dlg.Item<QCheckBox>(1017)->setChecked(false);
        SetText(dlg, 1034, "abc");
        SetText(dlg, 1037, "250");
        dlg.Item<QPushButton>(1041)->click();
        EXPECT_EQ(Text(dlg, 1037), "250"); // unsaved edits stay
        EXPECT_EQ(Text(dlg, 1034), "abc");
        EXPECT_FALSE(Checked(dlg, 1017));
        dlg.OkAction()->trigger();
        EXPECT_EQ(dlg.result(), 0);
        return false;
    });
    ASSERT_EQ(f.t.messages.shown.size(), 2u); // once on browsing, once on OK
    EXPECT_EQ(f.t.messages.shown[1].text, "Please enter an integer.");
    EXPECT_EQ(f.doc.m_bShowBluetooth, 1);
    EXPECT_EQ(f.doc.m_saved.bShowBluetooth, 1u);
    EXPECT_EQ(f.doc.m_strPitchSound, R"(\Windows\RecEnd.wav)");
}

TEST(CheckpointSettings, GroupsFollowTheirCheckBoxesAndByDistanceIsStored) {
    Fixture f;
    f.doc.m_saved.bCheckpointSound = 0;
    f.Run(ID_CHECKPOINT_SETTINGS, [](CSettingsDialog& dlg) {
        for (const int id : {1033, 1035, 1034, 1037, 1036, 1038, 1040, 1039, 1041}) {
            EXPECT_FALSE(Enabled(dlg, id)) << id;
        }
        EXPECT_EQ(Text(dlg, 1034), "300");
        EXPECT_EQ(Text(dlg, 1037), "1000");
        dlg.Item<QCheckBox>(1042)->click();
        for (const int id : {1033, 1035, 1034, 1037, 1036, 1038}) {
            EXPECT_TRUE(Enabled(dlg, id)) << id;
        }
        EXPECT_FALSE(Enabled(dlg, 1039));
        dlg.Item<QCheckBox>(1032)->click();
        EXPECT_TRUE(Enabled(dlg, 1039) && Enabled(dlg, 1040) && Enabled(dlg, 1041));
        dlg.Item<QRadioButton>(1035)->setChecked(true);
        SetText(dlg, 1037, "2000m");
        return true;
    });
    EXPECT_EQ(f.doc.m_bCheckpointAuto, 1);
    EXPECT_EQ(f.doc.m_saved.bCheckpointAuto, 1u);
    EXPECT_EQ(f.doc.m_bCheckpointByTime, 0);
    EXPECT_EQ(f.doc.m_saved.bCheckpointByTime, 0u);
    EXPECT_EQ(f.doc.m_nCheckpointMetres, 2000);
    EXPECT_EQ(f.doc.m_bCheckpointSound, 1);
}

TEST(CheckpointSettings, NonIntegerMetresAreRefusedOnceAndCancelStoresNothing) {
    Fixture f;
    f.chooser.answer = R"(\b.wav)";
    f.Run(ID_CHECKPOINT_SETTINGS, [&f](CSettingsDialog& dlg) {
        dlg.Item<QCheckBox>(1042)->setChecked(true);
        dlg.Item<QPushButton>(1041)->click();
        EXPECT_TRUE(f.t.messages.shown.empty());
        SetText(dlg, 1037, "abc");
        dlg.OkAction()->trigger();
        EXPECT_EQ(dlg.result(), 0);
        return false;
    });
    EXPECT_EQ(f.chooser.titles, std::vector<std::string>{"チェック音のファイルを開く..."});
    ASSERT_EQ(f.t.messages.shown.size(), 1u);
    EXPECT_EQ(f.t.messages.shown[0].text, "Please enter an integer.");
    EXPECT_EQ(f.doc.m_saved, SavedSettings{});
    EXPECT_EQ(f.doc.m_bCheckpointAuto, 0);
    EXPECT_EQ(f.doc.m_strCheckpointSound, R"(\Windows\RecEnd.wav)");
    EXPECT_FALSE(std::filesystem::exists(f.t.temp.host() / kOptFile));
}

TEST(IntervalSettings, ZeroNegativeAndOverlongIntervalsAreRefusedWithTheFieldSelected) {
    const std::string seconds = "Please enter an integer between 1 and 86400.";
    const std::string metres = "Please enter an integer between 1 and 100000.";
    struct Case {
        int command, field, checkBox;
        const char* text;
        std::string message;
        platform::MessageIcon icon = platform::MessageIcon::Warning;
    };
    const Case cases[] = {
        {ID_CHECKPOINT_SETTINGS, 1034, 1042, "x", "Please enter an integer.", platform::MessageIcon::None},
        {ID_CHECKPOINT_SETTINGS, 1034, 1042, "0", seconds},
        {ID_CHECKPOINT_SETTINGS, 1037, 1042, "-5", metres},
        {ID_DEVICE_SETTINGS, 1034, 1032, "86401", seconds},
        {ID_DEVICE_SETTINGS, 1037, 1032, "0", metres},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.Run(c.command, [&c](CSettingsDialog& dlg) {
            dlg.show();
            if (!Checked(dlg, c.checkBox)) {
                dlg.Item<QCheckBox>(c.checkBox)->click(); // the fields take the focus only when enabled
            }
            SetText(dlg, c.field, c.text);
            dlg.OkAction()->trigger();
            EXPECT_EQ(dlg.result(), 0) << c.text;
            EXPECT_EQ(dlg.focusWidget(), dlg.Item(c.field)) << c.text;
            EXPECT_EQ(dlg.Item<QLineEdit>(c.field)->selectedText(), c.text);
            return false;
        });
        ASSERT_EQ(f.t.messages.shown.size(), 1u) << c.text;
        EXPECT_EQ(f.t.messages.shown[0].text, c.message);
        EXPECT_EQ(f.t.messages.shown[0].icon, c.icon) << c.text;
    }
}

TEST(LogSettings, FolderIsStoredWithOneTrailingBackslash) {
    struct Case {
        const char* typed;
        std::string stored;
    };
    for (const Case& c : {Case{R"(\Logs)", R"(\Logs\)"}, Case{"", R"(\My Documents\Ambulo\)"},
                          Case{R"(\Logs\)", R"(\Logs\)"}, Case{R"(Logs\)", R"(\Logs\)"}}) {
        Fixture f;
        f.Run(ID_LOG_SETTINGS, [&c](CSettingsDialog& dlg) {
            EXPECT_EQ(Text(dlg, 1022), R"(\My Documents\Ambulo\)");
            SetText(dlg, 1022, c.typed);
            for (const int id : {1019, 1020, 1021}) {
                dlg.Item<QCheckBox>(id)->setChecked(false);
            }
            return true;
        });
        EXPECT_EQ(f.doc.m_strLogFolder, c.stored);
        EXPECT_EQ(f.doc.m_saved.strLogFolder, c.stored);
        EXPECT_EQ(f.doc.m_bSaveHistory + f.doc.m_bSaveKml + f.doc.m_bSaveGpsLog, 0);
        EXPECT_EQ(f.doc.m_saved.bSaveHistory + f.doc.m_saved.bSaveKml + f.doc.m_saved.bSaveGpsLog, 0u);
    }
}

TEST(LogSettings, TheFolderChooserStartsBelowTheTrailingBackslashAndGivesTheRootAsABackslash) {
    EXPECT_EQ(ChooserStartFolder(R"(\My Documents\Ambulo\)"), R"(\My Documents\Ambulo)");
    EXPECT_EQ(ChooserStartFolder("\\"), "");
    EXPECT_EQ(ChooserStartFolder(""), R"(\My Documents\Ambulo)");
    EXPECT_EQ(LogFolderFromChooser(""), "\\");
    EXPECT_EQ(LogFolderFromChooser(R"(\Logs)"), R"(\Logs\)");

    TestServices t;
    COptionLogDlg dlg(t.temp.root(), t.messages);
    dlg.m_strLogFolder = R"(\My Documents\Ambulo\)";
    dlg.InitDialog();
    std::vector<std::string> started;
    dlg.m_runChooser = [&](CSelectFile& chooser) {
        started.push_back(chooser.m_strFolder);
        EXPECT_EQ(chooser.m_strFilter, "ambl*.log");
        chooser.OnAncestorPicked(0);
        return started.size() == 1 ? IDOK : IDCANCEL;
    };
    dlg.Item<QPushButton>(1024)->click();
    EXPECT_EQ(Text(dlg, 1022), "\\");
    SetText(dlg, 1022, R"(\Logs)");
    dlg.Item<QPushButton>(1024)->click(); // cancelled: the field keeps its text
    EXPECT_EQ(Text(dlg, 1022), R"(\Logs)");
    EXPECT_EQ(started, (std::vector<std::string>{R"(\My Documents\Ambulo)", R"(\Logs)"}));
}

TEST(MapSettings, OkReplacesMenuToggledLiveValuesWithTheDialogs) {
    // The sizes 5, 10, 50, 100 and 250 km are the scales 10000, 5000, 1000, 500 and 200.
    struct Case {
        std::uint32_t saved;
        int shown;          // the size selected on opening
        const char* choose; // nullptr keeps the selection
        int stored;
    };
    for (const Case& c :
         {Case{2000, 0, nullptr, 10000}, Case{5000, 1, nullptr, 5000}, Case{500, 3, nullptr, 500},
          Case{10000, 0, "半径250 km", 200}, Case{500, 3, "半径 7 km", 10000}}) {
        Fixture f;
        f.doc.m_saved.nMapScale = c.saved;
        f.doc.m_nMapScale = 1000;   // changed from the map menu
        f.doc.m_bCenterOnStart = 1; // likewise
        f.Run(ID_MAP_SETTINGS, [&c](CSettingsDialog& dlg) {
            auto* combo = dlg.Item<QComboBox>(1003);
            EXPECT_EQ(combo->count(), 5);
            EXPECT_EQ(combo->currentIndex(), c.shown);
            EXPECT_FALSE(Checked(dlg, 1004));
            if (c.choose != nullptr) {
                combo->setEditText(QString::fromUtf8(c.choose));
            }
            return true;
        });
        EXPECT_EQ(f.doc.m_nMapScale, c.stored) << c.saved;
        EXPECT_EQ(f.doc.m_saved.nMapScale, static_cast<std::uint32_t>(c.stored));
        EXPECT_EQ(f.doc.m_bCenterOnStart, 0);
    }
}

TEST(SettingsCommands, CancelChangesNothingAndOtherCommandsAreNotSettings) {
    for (const int command :
         {ID_CALC_SETTINGS, ID_DEVICE_SETTINGS, ID_LOG_SETTINGS, ID_CHECKPOINT_SETTINGS, ID_MAP_SETTINGS}) {
        Fixture f;
        f.doc.m_bPitchSound = 1;
        f.doc.m_nMapScale = 200;
        EXPECT_EQ(f.Run(command,
                        [](CSettingsDialog& dlg) {
                            for (QLineEdit* edit : dlg.findChildren<QLineEdit*>()) {
                                edit->setText("7");
                            }
                            for (QCheckBox* box : dlg.findChildren<QCheckBox*>()) {
                                box->setChecked(!box->isChecked());
                            }
                            return false;
                        }),
                  IDCANCEL)
            << command;
        EXPECT_EQ(f.doc.m_saved, SavedSettings{}) << command;
        EXPECT_EQ(f.doc.m_bPitchSound, 1);
        EXPECT_EQ(f.doc.m_nMapScale, 200);
        EXPECT_EQ(f.doc.m_dblWeightKg, 60.0);
        EXPECT_EQ(f.doc.m_strLogFolder, R"(\My Documents\Ambulo\)");
        EXPECT_FALSE(std::filesystem::exists(f.t.temp.host() / kOptFile));
    }
    Fixture f;
    EXPECT_FALSE(f.dialogs.Run(ID_HISTORY));
}

// In a phone's or the handheld's window every control stays reachable: the dialog takes the
// window's size and its controls lie within the area that scrolls.
TEST(SettingsCommands, EveryControlLiesWithinTheScrolledClientOnSmallWindows) {
    const auto check = [](QDialog& dlg) {
        for (const QSize size : {QSize(240, 320), QSize(360, 720)}) {
            dlg.resize(size);
            dlg.show();
            EXPECT_EQ(dlg.size(), size);
            const QWidget* client = dlg.findChild<QScrollArea*>()->widget();
            for (const QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                EXPECT_TRUE(client->rect().contains(control->geometry())) << dlg.windowTitle().toStdString();
            }
        }
        return false;
    };
    for (const int command :
         {ID_CALC_SETTINGS, ID_DEVICE_SETTINGS, ID_LOG_SETTINGS, ID_CHECKPOINT_SETTINGS, ID_MAP_SETTINGS}) {
        Fixture().Run(command, check);
    }
    TestServices t;
    CSelectFile chooser(t.temp.root(), t.messages);
    chooser.InitDialog();
    check(chooser);
}

TEST(SettingsCommands, EnterPressesAFocusedButtonAndElseConfirmsLikeOk) {
    Fixture f;
    f.doc.m_saved.bPitchSound = 1;
    f.chooser.answer = R"(\a.wav)";
    f.Run(ID_DEVICE_SETTINGS, [&f](CSettingsDialog& dlg) {
        dlg.show();
        dlg.Item(1041)->setFocus();
        QTest::keyClick(dlg.Item(1041), Qt::Key_Return);
        EXPECT_EQ(f.chooser.titles.size(), 1u);
        EXPECT_EQ(dlg.result(), 0); // still open
        SetText(dlg, 1034, "45");
        dlg.Item(1034)->setFocus();
        QTest::keyClick(dlg.Item(1034), Qt::Key_Enter);
        EXPECT_EQ(dlg.result(), IDOK);
        return true;
    });
    EXPECT_EQ(f.doc.m_nPitchSeconds, 45);
    EXPECT_EQ(f.doc.m_strPitchSound, R"(\a.wav)");
}
