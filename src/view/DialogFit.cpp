#include "view/DialogFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

bool OpensFullWindow(const QSize& available, const QSize& wanted) {
    return available.width() <= kPhoneWidth || wanted.width() > available.width() ||
           wanted.height() > available.height();
}

QRect DialogGeometry(const QRect& available, const QSize& wanted) {
    if (OpensFullWindow(available.size(), wanted)) {
        return available;
    }
    QRect placed(QPoint(0, 0), wanted);
    placed.moveCenter(available.center());
    return placed;
}

void FitDialogToScreen(QWidget& dialog) {
    const QScreen* screen =
        dialog.parentWidget() != nullptr ? dialog.parentWidget()->screen() : dialog.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    if (!OpensFullWindow(available.size(), dialog.size())) {
        return; // the window manager places it
    }
    dialog.setGeometry(DialogGeometry(available, dialog.size()));
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
}
