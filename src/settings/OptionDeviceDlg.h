#pragma once

#include "settings/SettingsDialog.h"

#include <string>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class WaveFileChooser;

inline constexpr std::string_view kPitchSoundTitle =
    QT_TRANSLATE_NOOP("QtWaveFileChooser", "ピッチ音のファイルを開く...");

// "デバイス設定": the pitch sound (on or off, by time or by distance, its wave file), the
// Bluetooth button and whether the receiver's status flags are believed.
class COptionDeviceDlg final : public CSettingsDialog {
    Q_OBJECT
public:
    COptionDeviceDlg(platform::MessageBox& messages, WaveFileChooser& chooser, QWidget* parent = nullptr);

    bool UpdateData(bool save) override;

    int m_bShowBluetooth = 0;
    int m_bPitchSound = 0;
    int m_nPitchSeconds = 0;
    int m_nPitchMetres = 0;
    int m_bPitchByTime = 0; // the radio pair, moved by hand
    std::string m_strPitchSound;
    int m_bIgnoreGpsFlags = 0;

    // "...": the wave file chooser; only the path field takes its answer.
    void OnBrowse();
    // The pitch sound controls follow "ピッチ音を鳴らす".
    void EnableGroup();

private:
    void OnInitDialog() override;
    void OnOK() override;

    WaveFileChooser& m_chooser;
    QRadioButton* m_radioTime;
    QRadioButton* m_radioDistance;
    QButtonGroup* m_radios;
    QLineEdit* m_editSeconds;
    QLineEdit* m_editMetres;
    QLineEdit* m_editSound;
    QCheckBox* m_checkPitch;
    QCheckBox* m_checkBluetooth;
    QCheckBox* m_checkIgnoreFlags;
};
