#pragma once

#include "ui/DialogSeam.h"
#include "view/MainLayout.h"
#include "view/MainScreen.h"
#include "view/MapCanvas.h"

#include <QAbstractButton>
#include <QBasicTimer>
#include <QImage>
#include <QWidget>

#include <functional>

class CMyAmbuloDoc;

// A button that shows one of the program's pictures, chosen afresh at every paint.
class CPictureButton final : public QAbstractButton {
    Q_OBJECT
public:
    CPictureButton(std::function<int()> picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<int()> m_picture;
};

// The main screen on the display: it owns the screen's behaviour (CMainScreen), forwards the
// buttons, keys, taps and the one-second timer to it, and paints what it holds.
class CMyAmbuloView final : public QWidget, private MainScreenHooks {
    Q_OBJECT
public:
    CMyAmbuloView(CMyAmbuloDoc& doc, DialogSeam& dialogs, QWidget* parent = nullptr);

    CMainScreen& Screen() { return m_screen; }
    // The first update: opens the receiver, makes the canvas and starts the tick.
    void OnInitialUpdate();
    // Enter, cursor up and cursor down act on the screen wherever the focus is; true when used.
    bool HandleKey(int key);
    // Paints the screen into its back buffer and returns it (what the next paint copies).
    const QImage& Render();

    CPictureButton* StartButton() const { return m_btnStart; }
    CPictureButton* RestButton() const { return m_btnRest; }
    CPictureButton* BluetoothButton() const { return m_btnBluetooth; }
    bool TickRunning() const { return m_timer.isActive(); }

signals:
    // The exit command has run to its end: the program should quit.
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // MainScreenHooks
    void ResetMapCanvas() override;
    void PlotRoute() override;
    void InvalidateStartButton() override;
    void InvalidateBluetoothButton() override;
    void InvalidateView() override;
    void StopTick() override;
    void StartTick() override;
    void ShowResult(const ResultFigures& figures) override;
    void RunDialog(int commandId) override;
    void DeleteDrawingBuffers() override;
    void RequestQuit() override;

    void Relayout();

    CMyAmbuloDoc& m_doc;
    DialogSeam& m_dialogs;
    CMainScreen m_screen;
    CMapCanvas m_canvas;
    MainLayout m_layout;
    QImage m_back;
    int m_cxClient = 0;
    int m_cyClient = 0;
    qreal m_dblPixelRatio = 1.0; // device pixels per logical pixel of the back buffer
    QBasicTimer m_timer;
    CPictureButton* m_btnStart;
    CPictureButton* m_btnRest;
    CPictureButton* m_btnBluetooth;
};
