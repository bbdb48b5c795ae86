#include "settings/OptionDeviceDlg.h"

#include "settings/DataExchange.h"
#include "settings/WaveFileChooser.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

COptionDeviceDlg::COptionDeviceDlg(platform::MessageBox& messages, WaveFileChooser& chooser, QWidget* parent)
    : CSettingsDialog(messages, tr("デバイス設定"), QFont(QStringLiteral("MS Shell Dlg"), 8), 186, 167,
                      parent),
      m_chooser(chooser) {
    // The frame first, so that the check box heading it is drawn over its top line.
    Add(new QGroupBox, 0, 7, 9, 153, 73);
    m_radioTime = Add(new QRadioButton, 1033, 25, 23, 14, 14);
    m_editSeconds = Add(new QLineEdit, 1034, 40, 21, 29, 14);
    Add(new QLabel(tr("秒毎に鳴らす")), 1036, 75, 23, 43, 14);
    m_radioDistance = Add(new QRadioButton, 1035, 25, 42, 14, 14);
    m_editMetres = Add(new QLineEdit, 1037, 40, 40, 29, 14);
    Add(new QLabel(tr("メートル毎に鳴らす")), 1038, 75, 42, 59, 14);
    Add(new QLabel(tr("音：")), 1040, 12, 62, 13, 14);
    m_editSound = Add(new QLineEdit, 1039, 29, 60, 111, 14);
    auto* browse = Add(new QPushButton(QStringLiteral("...")), 1041, 143, 60, 12, 14);
    m_checkPitch = Add(new QCheckBox(tr("ピッチ音を鳴らす")), 1032, 11, 7, 69, 14);
    m_checkPitch->setAutoFillBackground(true);
    m_checkBluetooth = Add(new QCheckBox(tr("Bluetooth アイコンを表示する")), 1017, 7, 86, 112, 14);
    m_checkIgnoreFlags = Add(new QCheckBox(tr("GPSのフラグをチェックしない")), 1019, 7, 102, 146, 14);

    m_radios = new QButtonGroup(this);
    m_radios->addButton(m_radioTime);
    m_radios->addButton(m_radioDistance);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &COptionDeviceDlg::OnBrowse);
    connect(m_checkPitch, &QCheckBox::clicked, this, &COptionDeviceDlg::EnableGroup);
}

void COptionDeviceDlg::OnInitDialog() {
    UpdateData(false);
    EnableGroup();
    (m_bPitchByTime == 1 ? m_radioTime : m_radioDistance)->setChecked(true);
}

bool COptionDeviceDlg::UpdateData(bool save) {
    ExchangeCheck(save, m_checkBluetooth, m_bShowBluetooth);
    ExchangeCheck(save, m_checkPitch, m_bPitchSound);
    if (!ExchangeInteger(save, m_editSeconds, m_nPitchSeconds, 1, kMaxIntervalSeconds) ||
        !ExchangeInteger(save, m_editMetres, m_nPitchMetres, 1, kMaxIntervalMetres)) {
        return false;
    }
    ExchangeText(save, m_editSound, m_strPitchSound);
    ExchangeCheck(save, m_checkIgnoreFlags, m_bIgnoreGpsFlags);
    return true;
}

void COptionDeviceDlg::EnableGroup() {
    const bool on = m_checkPitch->isChecked();
    for (const int id : {1033, 1035, 1034, 1037, 1039, 1036, 1038, 1040, 1041}) {
        Item(id)->setEnabled(on);
    }
}

void COptionDeviceDlg::OnBrowse() {
    // A field in error is told about, but the choice goes on.
    UpdateData(true);
    ChooseWaveFileInto(m_chooser, this, kPitchSoundTitle, *m_editSound, m_strPitchSound);
}

void COptionDeviceDlg::OnOK() {
    if (UpdateData(true)) {
        m_bPitchByTime = m_radioTime->isChecked() ? 1 : 0;
        done(IDOK);
    }
}
