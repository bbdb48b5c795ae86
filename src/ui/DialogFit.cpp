#include "ui/DialogFit.h"

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

void FitWindowToScreen(QWidget& window) {
    const QScreen* screen =
        window.parentWidget() != nullptr ? window.parentWidget()->screen() : window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    if (!OpensFullWindow(available.size(), window.size())) {
        return; // the window manager places it
    }
    window.setGeometry(DialogGeometry(available, window.size()));
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
}
