#pragma once

#include <QDialog>

// The About box: the program's icon, name, version, maker and where to find help, and, when given,
// where the positions come from.
class CVersionInfoDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CVersionInfoDlg(QWidget* parent = nullptr, const QString& gpsSource = {});
};
