#include "settings/OptionLogDlg.h"

#include "engine/SavedSettings.h"
#include "settings/SelectFile.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

std::string ChooserStartFolder(std::string_view logFolder) {
    std::string folder = logFolder.empty() ? std::string(kDefaultLogFolder) : std::string(logFolder);
    if (folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

std::string LogFolderFromChooser(std::string_view chosen) {
    std::string folder(chosen);
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}

COptionLogDlg::COptionLogDlg(const platform::DeviceRoot& root, platform::MessageBox& messages,
                             QWidget* parent)
    : CSettingsDialog(messages, tr("ログ設定"), QFont(QStringLiteral("MS Shell Dlg"), 8), 170, 129, parent),
      m_runChooser([](CSelectFile& chooser) { return chooser.exec(); }), m_root(root) {
    Add(new QLabel(tr("ログ保存フォルダ：")), 1023, 7, 7, 56, 11);
    m_editFolder = Add(new QLineEdit, 1022, 13, 19, 123, 14);
    auto* browse = Add(new QPushButton(QStringLiteral("...")), 1024, 138, 19, 17, 14);
    m_checkHistory = Add(new QCheckBox(tr("運動記録を保存する")), 1019, 18, 39, 85, 14);
    m_checkKml = Add(new QCheckBox(tr("ルートログ(*.KML)を保存する")), 1020, 18, 55, 110, 14);
    m_checkGpsLog = Add(new QCheckBox(tr("ＧＰＳのログを保存する")), 1021, 18, 70, 90, 14);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &COptionLogDlg::OnBrowse);
}

void COptionLogDlg::OnInitDialog() {
    UpdateData(false);
}

bool COptionLogDlg::UpdateData(bool save) {
    ExchangeText(save, m_editFolder, m_strLogFolder);
    ExchangeCheck(save, m_checkHistory, m_bSaveHistory);
    ExchangeCheck(save, m_checkKml, m_bSaveKml);
    ExchangeCheck(save, m_checkGpsLog, m_bSaveGpsLog);
    return true;
}

void COptionLogDlg::OnOK() {
    UpdateData(true);
    m_strLogFolder = NormalizedLogFolder(m_strLogFolder);
    done(IDOK);
}

void COptionLogDlg::OnBrowse() {
    UpdateData(true);
    CSelectFile chooser(m_root, m_messages, this);
    chooser.m_strFolder = ChooserStartFolder(m_strLogFolder);
    chooser.m_strFilter = "ambl*.log";
    chooser.InitDialog();
    if (m_runChooser(chooser) == IDOK) {
        m_strLogFolder = LogFolderFromChooser(chooser.m_strFolder);
        UpdateData(false);
    }
}
