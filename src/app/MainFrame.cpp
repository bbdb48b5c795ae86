#include "app/MainFrame.h"

#include "app/VersionInfoDlg.h"
#include "ui/Commands.h"
#include "ui/DialogFit.h"
#include "view/MyAmbuloView.h"
#include "view/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// One entry of the menu bar. A caption without a command opens a submenu made of the entries
// that follow one level deeper; no caption is a separator.
struct MenuEntry {
    int depth; // 0: a menu of the bar itself
    const char* caption;
    int command;
    bool checkable;
};

constexpr MenuEntry kMenuBar[] = {
    {0, QT_TRANSLATE_NOOP("CMainFrame", "ファイル"), 0, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "運動記録表示"), ID_HISTORY, false},
    {1, nullptr, 0, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "オプション"), 0, false},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "デバイス設定"), ID_DEVICE_SETTINGS, false},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "ログ設定"), ID_LOG_SETTINGS, false},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "チェックポイント設定"), ID_CHECKPOINT_SETTINGS, false},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "計算設定"), ID_CALC_SETTINGS, false},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "地図設定"), ID_MAP_SETTINGS, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "バージョン情報"), ID_ABOUT, false},
    {1, nullptr, 0, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "ヘルプ"), ID_HELP, false},
    {1, nullptr, 0, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "終了"), ID_EXIT, false},
    {0, QT_TRANSLATE_NOOP("CMainFrame", "メニュー"), 0, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "地図"), 0, false},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "サイズ"), 0, false},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "半径5Km"), ID_MAP_5KM, true},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "半径10Km"), ID_MAP_10KM, true},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "半径50Km"), ID_MAP_50KM, true},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "半径100km"), ID_MAP_100KM, true},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "半径250Km"), ID_MAP_250KM, true},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "表示倍率"), 0, false},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "拡大"), ID_ZOOM_IN, true},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "普通"), ID_ZOOM_NORMAL, true},
    {3, QT_TRANSLATE_NOOP("CMainFrame", "縮小"), ID_ZOOM_OUT, true},
    {2, QT_TRANSLATE_NOOP("CMainFrame", "スタート地点を中心"), ID_CENTER_ON_START, true},
    {1, nullptr, 0, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "ピッチ音"), ID_PITCH_SOUND, true},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "非計測中もパワーオフ防止"), ID_KEEP_AWAKE, true},
    {1, nullptr, 0, false},
    {1, QT_TRANSLATE_NOOP("CMainFrame", "GPS初期化"), ID_GPS_INIT, false},
};
constexpr int kMenuDepth = 4;

QString CommandObjectName(int commandId) {
    return QStringLiteral("command_%1").arg(commandId);
}

// The write end is written from signal handlers, the read end watched by the event loop. Made
// once for the process and kept open: a late signal must always find somewhere to go.
std::array<int, 2> g_signalPipe{-1, -1};
constexpr std::array kEndingSignals{SIGTERM, SIGINT, SIGHUP};

void WriteSignalToPipe(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    // A full pipe already holds a request to end; dropping this one loses nothing.
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool OpenSignalPipe() {
    if (g_signalPipe[0] >= 0) {
        return true;
    }
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    g_signalPipe = fds;
    return true;
}

} // namespace

// The handlers of the ending signals while the frame watches them, and what was there before.
struct CMainFrame::SignalWatch {
    ~SignalWatch() {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            ::sigaction(kEndingSignals[i], &previous[i], nullptr);
        }
    }

    std::array<struct sigaction, kEndingSignals.size()> previous{};
    QSocketNotifier* notifier = nullptr;
};

CMainFrame::CMainFrame(CMyAmbuloDoc& doc, DialogSeam& dialogs, QWidget* parent)
    : QMainWindow(parent), m_view(new CMyAmbuloView(doc, dialogs, this)),
      m_aboutBox([](QWidget* owner) { CVersionInfoDlg(owner).exec(); }) {
    setWindowTitle(QStringLiteral("Ambulo"));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(AppIcon(size)));
    }
    setWindowIcon(icon);
    setCentralWidget(m_view);
    BuildMenuBar();
    connect(m_view, &CMyAmbuloView::quitRequested, this, &CMainFrame::OnQuitRequested);
    // The handheld's screen; any other size works as well, and a phone's whole screen is used.
    resize(480, 640);
    FitWindowToScreen(*this);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildMenuBar() {
    std::array<QMenu*, kMenuDepth> open{};
    for (const MenuEntry& entry : kMenuBar) {
        const QString caption = entry.caption ? tr(entry.caption) : QString();
        if (entry.depth == 0) {
            open[0] = menuBar()->addMenu(caption);
        } else if (entry.caption == nullptr) {
            open[entry.depth - 1]->addSeparator();
            continue;
        } else if (entry.command == 0) {
            open[entry.depth] = open[entry.depth - 1]->addMenu(caption);
        } else {
            QAction* action = open[entry.depth - 1]->addAction(caption);
            action->setData(entry.command);
            action->setObjectName(CommandObjectName(entry.command));
            action->setCheckable(entry.checkable);
            connect(action, &QAction::triggered, this, [this, id = entry.command] { OnCommand(id); });
            continue;
        }
        QMenu* popup = open[entry.depth];
        connect(popup, &QMenu::aboutToShow, this, [this, popup] { UpdateCommands(popup); });
    }
}

QAction* CMainFrame::CommandAction(int commandId) const {
    return menuBar()->findChild<QAction*>(CommandObjectName(commandId));
}

void CMainFrame::UpdateCommands(QMenu* popup) {
    for (QAction* action : popup->actions()) {
        // A submenu's own items are updated when it opens.
        if (action->isSeparator() || action->menu() != nullptr) {
            continue;
        }
        if (const auto rule = m_view->Screen().UpdateRule(action->data().toInt())) {
            action->setEnabled(rule->enabled);
            action->setChecked(rule->checked);
        }
    }
}

void CMainFrame::OnCommand(int commandId) {
    if (commandId == ID_ABOUT) {
        m_aboutBox(this);
        return;
    }
    m_view->Screen().OnCommand(commandId);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The exit command asks about a workout under way; answered No, the window stays.
    if (m_bEnded || m_view->Screen().Exit()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::OnQuitRequested() {
    m_bEnded = true;
    close(); // does nothing when the exit came through the close itself
    QCoreApplication::quit();
}

void CMainFrame::EndOnSignalsAndSessionEnd() {
#ifndef QT_NO_SESSIONMANAGER
    connect(qApp, &QGuiApplication::commitDataRequest, this, &CMainFrame::OnEndFromOutside,
            Qt::UniqueConnection);
#endif
    if (m_signals || !OpenSignalPipe()) {
        return;
    }
    m_signals = std::make_unique<SignalWatch>();
    struct sigaction action {};
    action.sa_handler = WriteSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], &action, &m_signals->previous[i]);
    }
    m_signals->notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_signals->notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        OnEndFromOutside();
    });
}

void CMainFrame::OnEndFromOutside() {
    // A message box or dialog open now runs its own event loop beneath this call. Close it and
    // end once the program is back in its main loop, so that nothing it asked about (the exit
    // question above all) acts after the workout has been finished here.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QTimer::singleShot(0, this, &CMainFrame::OnEndFromOutside);
        return;
    }
    m_view->Screen().Terminate();
    if (!m_bEnded) { // the exit had begun already and is still under way
        OnQuitRequested();
    }
}
