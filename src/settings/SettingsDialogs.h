#pragma once

#include "engine/MyAmbuloDoc.h"
#include "platform/MessageBox.h"

#include <functional>

class CSettingsDialog;
class QWidget;
class WaveFileChooser;

// The settings menu commands: each opens its dialog on the saved settings and, closed with OK,
// writes the values into the saved and the live settings and saves the settings file.
class SettingsDialogs {
public:
    SettingsDialogs(CMyAmbuloDoc& doc, platform::MessageBox& messages, WaveFileChooser& chooser,
                    QWidget* parent = nullptr);

    // The window the dialogs are shown over, once there is one.
    void SetParent(QWidget* parent) { m_parent = parent; }

    // Runs the dialog of a settings command; false when the command is not a settings command.
    bool Run(int commandId);

    // How a started dialog is run modally and what it ended with; tests answer the dialog here.
    using DialogRunner = std::function<int(CSettingsDialog&)>;
    void SetRunner(DialogRunner runner) { m_run = std::move(runner); }

private:
    void RunCalc();
    void RunDevice();
    void RunLog();
    void RunCheckpoint();
    void RunMap();
    int RunModal(CSettingsDialog& dialog);
    // Saves the settings file; a failure is told, the settings stay as they are.
    void Save();

    CMyAmbuloDoc& m_doc;
    platform::MessageBox& m_messages;
    WaveFileChooser& m_chooser;
    QWidget* m_parent;
    DialogRunner m_run;
};
