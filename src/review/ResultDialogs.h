#pragma once

#include "platform/DeviceRoot.h"
#include "platform/Shell.h"
#include "ui/DialogSeam.h"

class QWidget;

// The dialogs of the program on screen: a finished workout's result is the real result dialog;
// every other dialog still comes from the dialogs this one wraps.
class ResultDialogs final : public DialogSeam {
public:
    ResultDialogs(DialogSeam& others, const platform::DeviceRoot& root, platform::Shell& shell,
                  QWidget* parent = nullptr)
        : m_others(others), m_root(root), m_shell(shell), m_parent(parent) {}

    // The window the result dialog is shown over, once there is one.
    void SetParent(QWidget* parent) { m_parent = parent; }

    void RunDialog(int commandId) override;
    // Shows the result modally; returns when it is closed.
    void ShowResult(const ResultFigures& figures) override;

private:
    DialogSeam& m_others;
    const platform::DeviceRoot& m_root;
    platform::Shell& m_shell;
    QWidget* m_parent;
};
