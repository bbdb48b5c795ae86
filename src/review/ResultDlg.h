#pragma once

class ImageArea;

#include "logs/ResultFigures.h"
#include "platform/DeviceRoot.h"
#include "platform/Shell.h"

#include <QDialog>
#include <QImage>

class QAction;
class QMenuBar;

// The result dialog's picture for a client of W x H logical pixels, drawn at dpr device pixels
// each: the table of figures and the speed graph, whose trace is read from
// figures.m_strTrackLogPath. A null image when W or H is 0.
QImage DrawResultImage(const ResultFigures& figures, const platform::DeviceRoot& root, int W, int H,
                       qreal dpr = 1.0);

// The summary of one workout: its figures and speed graph, drawn white on black, with a menu bar
// to close it, to open the workout's KML route in a map program or to hand its GPX (beside the KML)
// to whatever the desktop opens it with. Callers fill the figures (or
// load them from the exercise record) before showing it.
class CResultDlg final : public QDialog, public ResultFigures {
    Q_OBJECT
public:
    CResultDlg(const platform::DeviceRoot& root, platform::Shell& shell, QWidget* parent = nullptr);
    ~CResultDlg() override;

    // The figures from the exercise record beside m_strTrackLogPath; 1 when read, 0 when it cannot
    // be opened (nothing changes then).
    int LoadRecord();
    void SetFigures(const ResultFigures& figures);

    // Resizes the dialog so that the drawn area below the menu bar is W x H.
    void SetClientSize(int W, int H);
    // The map entry is usable exactly while the KML file exists, the GPX entry while the GPX does.
    void UpdateCommands();

    QAction* CloseAction() const { return m_actClose; }
    QAction* MapAction() const { return m_actMap; }
    QAction* GpxAction() const { return m_actGpx; }
    const QImage& Image() const { return m_image; }

    // The drawn area: the client size the image was last drawn for.
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;

    // The Escape key closes like "閉じる", with the same result.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnClientResized(int W, int H);
    void OnClose();
    void OnViewMap();

    const platform::DeviceRoot& m_root;
    platform::Shell& m_shell;
    QMenuBar* m_menuBar = nullptr;
    QAction* m_actClose = nullptr;
    QAction* m_actMap = nullptr;
    QAction* m_actGpx = nullptr;
    ImageArea* m_area = nullptr;
    QImage m_image;
};
