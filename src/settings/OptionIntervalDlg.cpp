#include "settings/OptionIntervalDlg.h"

#include "settings/DataExchange.h"
#include "settings/WaveFileChooser.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

COptionIntervalDlg::COptionIntervalDlg(platform::MessageBox& messages, WaveFileChooser& chooser,
                                       QWidget* parent)
    : CSettingsDialog(messages, tr("チェックポイント設定"), QFont(QStringLiteral("MS UI Gothic"), 9), 146,
                      148, parent),
      m_chooser(chooser) {
    // The frame first, so that the check box heading it is drawn over its top line.
    Add(new QGroupBox, 0, 6, 4, 131, 59);
    m_radioTime = Add(new QRadioButton, 1033, 22, 20, 12, 15);
    m_radioDistance = Add(new QRadioButton, 1035, 22, 40, 12, 15);
    m_editSeconds = Add(new QLineEdit, 1034, 34, 19, 25, 15);
    Add(new QLabel(tr("秒毎")), 1036, 65, 22, 37, 12);
    m_editMetres = Add(new QLineEdit, 1037, 34, 39, 25, 15);
    Add(new QLabel(tr("メートル毎")), 1038, 65, 42, 51, 13);
    m_checkAuto = Add(new QCheckBox(tr("以下の間隔で自動的に記録する")), 1042, 10, 1, 106, 15);
    m_checkAuto->setAutoFillBackground(true);
    m_checkSound = Add(new QCheckBox(tr("手動記録時に音を鳴らす")), 1032, 7, 67, 123, 15);
    Add(new QLabel(tr("音：")), 1040, 9, 87, 14, 13);
    m_editSound = Add(new QLineEdit, 1039, 25, 85, 95, 15);
    auto* browse = Add(new QPushButton(QStringLiteral("...")), 1041, 122, 85, 10, 15);

    m_radios = new QButtonGroup(this);
    m_radios->addButton(m_radioTime);
    m_radios->addButton(m_radioDistance);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &COptionIntervalDlg::OnBrowse);
    connect(m_checkSound, &QCheckBox::clicked, this, &COptionIntervalDlg::EnableSound);
    connect(m_checkAuto, &QCheckBox::clicked, this, &COptionIntervalDlg::EnableInterval);
}

void COptionIntervalDlg::OnInitDialog() {
    UpdateData(false);
    (m_bCheckpointByTime == 1 ? m_radioTime : m_radioDistance)->setChecked(true);
    EnableSound();
    EnableInterval();
}

bool COptionIntervalDlg::UpdateData(bool save) {
    ExchangeCheck(save, m_checkSound, m_bCheckpointSound);
    if (!ExchangeInteger(save, m_editSeconds, m_nCheckpointSeconds, 1, kMaxIntervalSeconds) ||
        !ExchangeInteger(save, m_editMetres, m_nCheckpointMetres, 1, kMaxIntervalMetres)) {
        return false;
    }
    ExchangeText(save, m_editSound, m_strCheckpointSound);
    ExchangeCheck(save, m_checkAuto, m_bCheckpointAuto);
    return true;
}

void COptionIntervalDlg::EnableSound() {
    const bool on = m_checkSound->isChecked();
    for (const int id : {1040, 1039, 1041}) {
        Item(id)->setEnabled(on);
    }
}

void COptionIntervalDlg::EnableInterval() {
    const bool on = m_checkAuto->isChecked();
    for (const int id : {1033, 1035, 1034, 1037, 1036, 1038}) {
        Item(id)->setEnabled(on);
    }
}

void COptionIntervalDlg::OnBrowse() {
    // A field in error is told about, but the choice goes on.
    UpdateData(true);
    ChooseWaveFileInto(m_chooser, this, kCheckSoundTitle, *m_editSound, m_strCheckpointSound);
}

void COptionIntervalDlg::OnOK() {
    m_bCheckpointByTime = m_radioTime->isChecked() ? 1 : 0;
    if (UpdateData(true)) {
        done(IDOK);
    }
}
