#include "settings/OptionMapDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <iterator>

int MapSizeIndex(int mapScale) {
    for (int i = 1; i < static_cast<int>(std::size(kMapScales)); ++i) {
        if (kMapScales[i] == mapScale) {
            return i;
        }
    }
    return 0;
}

int MapScaleOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kMapScales)) ? kMapScales[index] : kMapScales[0];
}

COptionMapDlg::COptionMapDlg(platform::MessageBox& messages, QWidget* parent)
    : CSettingsDialog(messages, tr("地図設定"), QFont(QStringLiteral("MS Shell Dlg"), 8), 144, 105, parent) {
    Add(new QLabel(tr("サイズ：")), 0, 7, 10, 24, 8);
    m_comboSize = Add(new QComboBox, 1003, 39, 7, 72, 82);
    // The template's height is that of the dropped-down list; closed, the box keeps its own.
    m_comboSize->resize(m_comboSize->width(), m_comboSize->sizeHint().height());
    m_comboSize->setEditable(true);
    m_comboSize->setInsertPolicy(QComboBox::NoInsert);
    m_checkCenter = Add(new QCheckBox(tr("スタート地点を中心とした地図")), 1004, 7, 26, 111, 13);
}

void COptionMapDlg::OnInitDialog() {
    // The blanks line the numbers up.
    for (const char* text : {QT_TR_NOOP("半径  5 km"), QT_TR_NOOP("半径 10 km"), QT_TR_NOOP("半径 50 km"),
                             QT_TR_NOOP("半径100 km"), QT_TR_NOOP("半径250 km")}) {
        m_comboSize->addItem(tr(text));
    }
    m_comboSize->setCurrentIndex(MapSizeIndex(m_nMapScale));
    UpdateData(false);
}

bool COptionMapDlg::UpdateData(bool save) {
    ExchangeCheck(save, m_checkCenter, m_bCenterOnStart);
    return true;
}

void COptionMapDlg::OnOK() {
    UpdateData(true);
    // Text typed into the box that names no entry leaves no entry selected.
    m_nMapScale = MapScaleOfIndex(m_comboSize->findText(m_comboSize->currentText(), Qt::MatchExactly));
    done(IDOK);
}
