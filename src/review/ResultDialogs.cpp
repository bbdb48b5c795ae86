#include "review/ResultDialogs.h"

#include "review/ResultDlg.h"

void ResultDialogs::RunDialog(int commandId) {
    m_others.RunDialog(commandId);
}

void ResultDialogs::ShowResult(const ResultFigures& figures) {
    CResultDlg dialog(m_root, m_shell, m_parent);
    dialog.SetFigures(figures);
    dialog.exec();
}
