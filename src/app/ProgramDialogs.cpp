#include "app/ProgramDialogs.h"

#include "engine/MyAmbuloDoc.h"
#include "review/HistoryDlg.h"
#include "ui/Commands.h"

ProgramDialogs::ProgramDialogs(CMyAmbuloDoc& doc, const platform::Services& services)
    : m_doc(doc), m_services(services), m_unknown(services.messages),
      m_chooser(services.root, services.messages), m_settings(doc, services.messages, m_chooser),
      m_results(m_unknown, services.root, services.shell) {}

void ProgramDialogs::SetParent(QWidget* parent) {
    m_parent = parent;
    m_settings.SetParent(parent);
    m_results.SetParent(parent);
}

void ProgramDialogs::RunDialog(int commandId) {
    if (commandId == ID_HISTORY) {
        ShowHistory(m_services.root, m_doc.m_strLogFolder, m_services.shell, m_services.messages, m_parent);
    } else if (!m_settings.Run(commandId)) {
        m_unknown.RunDialog(commandId);
    }
}

void ProgramDialogs::ShowResult(const ResultFigures& figures) {
    m_results.ShowResult(figures);
}
