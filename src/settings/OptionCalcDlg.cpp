#include "settings/OptionCalcDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

COptionCalcDlg::COptionCalcDlg(platform::MessageBox& messages, QWidget* parent)
    : CSettingsDialog(messages, tr("計算設定"), QFont(QStringLiteral("MS Shell Dlg"), 8), 186, 90, parent) {
    Add(new QLabel(tr("体重(kg) ：")), 1025, 7, 9, 37, 14);
    m_editWeight = Add(new QLineEdit, 1026, 74, 7, 40, 14);
    Add(new QLabel(tr("有効最小距離(m)：")), 1030, 7, 27, 64, 14);
    m_editMinDistance = Add(new QLineEdit, 1028, 74, 24, 40, 14);
    m_checkFlat = Add(new QCheckBox(tr("距離計算時に高度を一定と仮定する")), 1031, 7, 46, 137, 14);
}

void COptionCalcDlg::OnInitDialog() {
    UpdateData(false);
}

bool COptionCalcDlg::UpdateData(bool save) {
    if (!ExchangeNumber(save, m_editWeight, m_dblWeightKg, 1.0, 300.0)) {
        return false;
    }
    if (!ExchangeNumber(save, m_editMinDistance, m_dblMinDistance, 0.0, 100.0)) {
        return false;
    }
    ExchangeCheck(save, m_checkFlat, m_bFlatAltitude);
    return true;
}
