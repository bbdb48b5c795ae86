#pragma once

#include "platform/DeviceRoot.h"
#include "settings/SettingsDialog.h"

#include <functional>
#include <string>

class CSelectFile;
class QCheckBox;
class QLineEdit;

// The log folder as the folder chooser takes it: the default for an empty field, one trailing
// backslash taken away ("\" becomes "", the root).
std::string ChooserStartFolder(std::string_view logFolder);
// The chooser's folder as a log folder: with a trailing backslash ("" becomes "\").
std::string LogFolderFromChooser(std::string_view chosen);

// "ログ設定": the log folder and which workout files are written.
class COptionLogDlg final : public CSettingsDialog {
    Q_OBJECT
public:
    COptionLogDlg(const platform::DeviceRoot& root, platform::MessageBox& messages,
                  QWidget* parent = nullptr);

    bool UpdateData(bool save) override;

    std::string m_strLogFolder;
    int m_bSaveHistory = 0;
    int m_bSaveKml = 0;
    int m_bSaveGpsLog = 0;

    // Runs the folder chooser modally and gives its result; tests answer it here.
    std::function<int(CSelectFile&)> m_runChooser;

    // "...": the folder chooser, started at the folder of the field, with the filter "ambl*.log".
    void OnBrowse();

private:
    void OnInitDialog() override;
    void OnOK() override;

    const platform::DeviceRoot& m_root;
    QLineEdit* m_editFolder;
    QCheckBox* m_checkHistory;
    QCheckBox* m_checkKml;
    QCheckBox* m_checkGpsLog;
};
