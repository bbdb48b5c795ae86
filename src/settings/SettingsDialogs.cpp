#include "settings/SettingsDialogs.h"

#include "platform/Translate.h"
#include "settings/OptionCalcDlg.h"
#include "settings/OptionDeviceDlg.h"
#include "settings/OptionIntervalDlg.h"
#include "settings/OptionLogDlg.h"
#include "settings/OptionMapDlg.h"
#include "ui/Commands.h"

namespace {

std::uint32_t Flag(int value) {
    return static_cast<std::uint32_t>(value);
}

} // namespace

SettingsDialogs::SettingsDialogs(CMyAmbuloDoc& doc, platform::MessageBox& messages, WaveFileChooser& chooser,
                                 QWidget* parent)
    : m_doc(doc), m_messages(messages), m_chooser(chooser), m_parent(parent),
      m_run([](CSettingsDialog& dialog) { return dialog.exec(); }) {}

bool SettingsDialogs::Run(int commandId) {
    switch (commandId) {
    case ID_CALC_SETTINGS:
        RunCalc();
        return true;
    case ID_DEVICE_SETTINGS:
        RunDevice();
        return true;
    case ID_LOG_SETTINGS:
        RunLog();
        return true;
    case ID_CHECKPOINT_SETTINGS:
        RunCheckpoint();
        return true;
    case ID_MAP_SETTINGS:
        RunMap();
        return true;
    default:
        return false;
    }
}

int SettingsDialogs::RunModal(CSettingsDialog& dialog) {
    dialog.InitDialog();
    return m_run(dialog);
}

void SettingsDialogs::Save() {
    if (!m_doc.SaveSettings()) {
        m_messages.Show(platform::Tr("Ambulo", "設定を保存できませんでした。"),
                        platform::Tr("Ambulo", "エラー"), platform::MessageButtons::Ok, platform::MessageIcon::Error);
    }
}

void SettingsDialogs::RunCalc() {
    SavedSettings& saved = m_doc.m_saved;
    COptionCalcDlg dlg(m_messages, m_parent);
    dlg.m_dblWeightKg = saved.dblWeightKg;
    dlg.m_dblMinDistance = saved.dblMinDistance;
    dlg.m_bFlatAltitude = static_cast<int>(saved.bFlatAltitude);
    if (RunModal(dlg) != IDOK) {
        return;
    }
    saved.dblWeightKg = m_doc.m_dblWeightKg = dlg.m_dblWeightKg;
    saved.dblMinDistance = m_doc.m_dblMinDistance = dlg.m_dblMinDistance;
    saved.bFlatAltitude = Flag(m_doc.m_bFlatAltitude = dlg.m_bFlatAltitude);
    Save();
}

void SettingsDialogs::RunDevice() {
    SavedSettings& saved = m_doc.m_saved;
    COptionDeviceDlg dlg(m_messages, m_chooser, m_parent);
    dlg.m_bShowBluetooth = static_cast<int>(saved.bShowBluetooth);
    dlg.m_bPitchSound = static_cast<int>(saved.bPitchSound);
    dlg.m_bPitchByTime = static_cast<int>(saved.bPitchByTime);
    dlg.m_nPitchSeconds = static_cast<int>(saved.nPitchSeconds);
    dlg.m_nPitchMetres = static_cast<int>(saved.nPitchMetres);
    dlg.m_strPitchSound = saved.strPitchSound;
    dlg.m_bIgnoreGpsFlags = static_cast<int>(saved.bIgnoreGpsFlags);
    if (RunModal(dlg) != IDOK) {
        return;
    }
    saved.bShowBluetooth = Flag(m_doc.m_bShowBluetooth = dlg.m_bShowBluetooth);
    saved.bPitchSound = Flag(m_doc.m_bPitchSound = dlg.m_bPitchSound);
    const int byTime = dlg.m_bPitchByTime != 0 ? 1 : 0;
    saved.bPitchByTime = Flag(m_doc.m_bPitchByTime = byTime);
    saved.bPitchByDistance = Flag(m_doc.m_bPitchByDistance = 1 - byTime);
    saved.nPitchSeconds = Flag(m_doc.m_nPitchSeconds = dlg.m_nPitchSeconds);
    saved.nPitchMetres = Flag(m_doc.m_nPitchMetres = dlg.m_nPitchMetres);
    saved.strPitchSound = m_doc.m_strPitchSound = dlg.m_strPitchSound;
    saved.bIgnoreGpsFlags = Flag(m_doc.m_bIgnoreGpsFlags = dlg.m_bIgnoreGpsFlags);
    Save();
}

void SettingsDialogs::RunLog() {
    SavedSettings& saved = m_doc.m_saved;
    COptionLogDlg dlg(m_doc.Services().root, m_messages, m_parent);
    dlg.m_strLogFolder = saved.strLogFolder;
    dlg.m_bSaveHistory = static_cast<int>(saved.bSaveHistory);
    dlg.m_bSaveKml = static_cast<int>(saved.bSaveKml);
    dlg.m_bSaveGpsLog = static_cast<int>(saved.bSaveGpsLog);
    if (RunModal(dlg) != IDOK) {
        return;
    }
    saved.strLogFolder = m_doc.m_strLogFolder = dlg.m_strLogFolder;
    saved.bSaveHistory = Flag(m_doc.m_bSaveHistory = dlg.m_bSaveHistory);
    saved.bSaveKml = Flag(m_doc.m_bSaveKml = dlg.m_bSaveKml);
    saved.bSaveGpsLog = Flag(m_doc.m_bSaveGpsLog = dlg.m_bSaveGpsLog);
    Save();
}

void SettingsDialogs::RunCheckpoint() {
    SavedSettings& saved = m_doc.m_saved;
    COptionIntervalDlg dlg(m_messages, m_chooser, m_parent);
    dlg.m_bCheckpointAuto = static_cast<int>(saved.bCheckpointAuto);
    dlg.m_nCheckpointSeconds = static_cast<int>(saved.nCheckpointSeconds);
    dlg.m_nCheckpointMetres = static_cast<int>(saved.nCheckpointMetres);
    dlg.m_bCheckpointByTime = static_cast<int>(saved.bCheckpointByTime);
    dlg.m_strCheckpointSound = saved.strCheckpointSound;
    dlg.m_bCheckpointSound = static_cast<int>(saved.bCheckpointSound);
    if (RunModal(dlg) != IDOK) {
        return;
    }
    saved.bCheckpointAuto = Flag(m_doc.m_bCheckpointAuto = dlg.m_bCheckpointAuto);
    saved.nCheckpointSeconds = Flag(m_doc.m_nCheckpointSeconds = dlg.m_nCheckpointSeconds);
    saved.nCheckpointMetres = Flag(m_doc.m_nCheckpointMetres = dlg.m_nCheckpointMetres);
    saved.bCheckpointByTime = Flag(m_doc.m_bCheckpointByTime = dlg.m_bCheckpointByTime);
    saved.strCheckpointSound = m_doc.m_strCheckpointSound = dlg.m_strCheckpointSound;
    saved.bCheckpointSound = Flag(m_doc.m_bCheckpointSound = dlg.m_bCheckpointSound);
    Save();
}

void SettingsDialogs::RunMap() {
    SavedSettings& saved = m_doc.m_saved;
    COptionMapDlg dlg(m_messages, m_parent);
    dlg.m_bCenterOnStart = static_cast<int>(saved.bCenterOnStart);
    dlg.m_nMapScale = static_cast<int>(saved.nMapScale);
    if (RunModal(dlg) != IDOK) {
        return;
    }
    saved.bCenterOnStart = Flag(m_doc.m_bCenterOnStart = dlg.m_bCenterOnStart);
    saved.nMapScale = Flag(m_doc.m_nMapScale = dlg.m_nMapScale);
    Save();
}
