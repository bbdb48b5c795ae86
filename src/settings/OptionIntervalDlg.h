#pragma once

#include "settings/SettingsDialog.h"

#include <string>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class WaveFileChooser;

inline constexpr std::string_view kCheckSoundTitle =
    QT_TRANSLATE_NOOP("QtWaveFileChooser", "チェック音のファイルを開く...");

// "チェックポイント設定": automatic checkpoints (every N seconds or every N metres) and the sound
// of a checkpoint recorded by hand.
class COptionIntervalDlg final : public CSettingsDialog {
    Q_OBJECT
public:
    COptionIntervalDlg(platform::MessageBox& messages, WaveFileChooser& chooser, QWidget* parent = nullptr);

    bool UpdateData(bool save) override;

    int m_bCheckpointSound = 0;
    int m_nCheckpointSeconds = 0;
    int m_nCheckpointMetres = 0;
    int m_bCheckpointByTime = 0; // the radio pair, moved by hand
    std::string m_strCheckpointSound;
    int m_bCheckpointAuto = 0;

    void OnBrowse();
    // The sound controls follow "手動記録時に音を鳴らす", the interval controls follow
    // "以下の間隔で自動的に記録する".
    void EnableSound();
    void EnableInterval();

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
    QCheckBox* m_checkAuto;
    QCheckBox* m_checkSound;
};
