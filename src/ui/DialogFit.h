#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Phone shells show a dialog over the whole window, as the handheld did; a desktop shows it at its
// own size. A phone is a screen whose available area is at most this wide in logical pixels (a
// phone held either way, scaled as its shell scales it), or any screen the dialog would not fit.
inline constexpr int kPhoneWidth = 720;

bool OpensFullWindow(const QSize& available, const QSize& wanted);

// Where a dialog of this size goes on a screen with this available area: all of it on a phone
// shell, otherwise its own size centred on it.
QRect DialogGeometry(const QRect& available, const QSize& wanted);

// Places a top-level window or dialog (already at its own size) on the screen it will show on,
// maximised on a phone shell.
void FitWindowToScreen(QWidget& window);
