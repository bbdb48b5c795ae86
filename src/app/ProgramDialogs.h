#pragma once

#include "platform/Services.h"
#include "review/ResultDialogs.h"
#include "settings/SettingsDialogs.h"
#include "settings/WaveFileChooser.h"
#include "ui/DialogSeam.h"

class CMyAmbuloDoc;
class QWidget;

// The dialogs the main screen opens, as the program shows them: the history, the five settings
// dialogs and the result of a finished workout.
class ProgramDialogs final : public DialogSeam {
public:
    ProgramDialogs(CMyAmbuloDoc& doc, const platform::Services& services);

    // The window the dialogs are shown over, once there is one.
    void SetParent(QWidget* parent);

    void RunDialog(int commandId) override;
    void ShowResult(const ResultFigures& figures) override;

private:
    CMyAmbuloDoc& m_doc;
    platform::Services m_services;
    QWidget* m_parent = nullptr;
    MessageDialogs m_unknown; // a command without a dialog of its own says so
    QtWaveFileChooser m_chooser;
    SettingsDialogs m_settings;
    ResultDialogs m_results;
};
