#pragma once

#include "settings/SettingsDialog.h"

class QCheckBox;
class QComboBox;

// The map sizes in the combo box's order with the map scale each stands for; radius in km times
// scale is 50000 in every row.
inline constexpr int kMapScales[] = {10000, 5000, 1000, 500, 200};
// The entry shown for a scale: its row, and the 5 km row for a scale not in the table.
int MapSizeIndex(int mapScale);
// The scale of an entry; 10000 for the 5 km row and when no entry is selected (-1).
int MapScaleOfIndex(int index);

// "地図設定": the size of the route map and whether it is centred on the start point.
class COptionMapDlg final : public CSettingsDialog {
    Q_OBJECT
public:
    explicit COptionMapDlg(platform::MessageBox& messages, QWidget* parent = nullptr);

    bool UpdateData(bool save) override;

    int m_bCenterOnStart = 0;
    int m_nMapScale = 10000;

private:
    void OnInitDialog() override;
    void OnOK() override;

    QComboBox* m_comboSize;
    QCheckBox* m_checkCenter;
};
