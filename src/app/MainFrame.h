#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>

class CMyAmbuloDoc;
class CMyAmbuloView;
class DialogSeam;
class QAction;
class QMenu;

// The main window: the menu bar over the main screen. Menu commands go to the screen, except the
// About box, which is the frame's own. However the program is asked to end — the exit command,
// the window's close button, the session ending or a signal — it ends through the screen, so that
// a workout under way is finished and saved.
class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CMyAmbuloDoc& doc, DialogSeam& dialogs, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CMyAmbuloView& View() const { return *m_view; }
    // The menu item of a command; nullptr for a command the menu bar does not carry.
    QAction* CommandAction(int commandId) const;

    // Shows the About box over the frame. The program runs the real one; tests answer it.
    void SetAboutBox(std::function<void(QWidget* parent)> aboutBox) { m_aboutBox = std::move(aboutBox); }

    // SIGTERM, SIGINT and SIGHUP, and the desktop session ending, finish a workout under way without
    // asking, save it and end the program. For one frame at a time; undone when the frame goes.
    void EndOnSignalsAndSessionEnd();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct SignalWatch;

    void BuildMenuBar();
    void UpdateCommands(QMenu* popup);
    void OnCommand(int commandId);
    void OnQuitRequested();
    void OnEndFromOutside();

    CMyAmbuloView* m_view;
    std::function<void(QWidget*)> m_aboutBox;
    std::unique_ptr<SignalWatch> m_signals;
    bool m_bEnded = false; // the exit has run to its end: nothing more may ask or stop the close
};
