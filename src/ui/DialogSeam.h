#pragma once

#include "logs/ResultFigures.h"

#include "platform/MessageBox.h"

// The modal dialogs the main screen opens: the settings and history dialogs and the result of a
// finished workout. The program shows real dialogs; tests answer them.
class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    virtual void RunDialog(int commandId) = 0;
    virtual void ShowResult(const ResultFigures& figures) = 0;
};

// Dialogs that are not there yet, told through message boxes: a dialog command says it is not
// available, and a finished workout's figures are shown as plain text.
class MessageDialogs final : public DialogSeam {
public:
    explicit MessageDialogs(platform::MessageBox& messages) : m_messages(messages) {}

    void RunDialog(int commandId) override;
    void ShowResult(const ResultFigures& figures) override;

private:
    platform::MessageBox& m_messages;
};
