#pragma once

#include "platform/MessageBox.h"

#include <QPointer>
#include <QWidget>

// Message boxes on the screen: a modal QMessageBox over the main window once there is one.
class QtMessageBox final : public platform::MessageBox {
public:
    // The window the boxes stay on top of; before it exists they stand alone.
    void SetParent(QWidget* parent) { m_parent = parent; }

    platform::MessageAnswer Show(std::string_view text, std::string_view caption,
                                 platform::MessageButtons buttons,
                                 platform::MessageIcon icon = platform::MessageIcon::Information) override;

private:
    QPointer<QWidget> m_parent;
};
