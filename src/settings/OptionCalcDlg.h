#pragma once

#include "settings/SettingsDialog.h"

class QCheckBox;
class QLineEdit;

// "計算設定": body weight, minimum valid distance and the flat-altitude assumption.
class COptionCalcDlg final : public CSettingsDialog {
    Q_OBJECT
public:
    explicit COptionCalcDlg(platform::MessageBox& messages, QWidget* parent = nullptr);

    bool UpdateData(bool save) override;

    double m_dblWeightKg = 60.0;
    double m_dblMinDistance = 2.0;
    int m_bFlatAltitude = 0;

private:
    void OnInitDialog() override;

    QLineEdit* m_editWeight;
    QLineEdit* m_editMinDistance;
    QCheckBox* m_checkFlat;
};
