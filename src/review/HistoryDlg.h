#pragma once

class ImageArea;

#include "platform/DeviceRoot.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "review/HistoryGraph.h"
#include "review/HistoryRows.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <map>
#include <string>
#include <string_view>

class QAction;
class QMenuBar;
class QTreeWidget;

// Opens a past workout's result dialog from its track log and KML paths: 1 when its exercise
// record was read and the dialog shown, 0 when the record is missing (nothing is shown then).
using PastResultOpener = std::function<int(const std::string& trackLogPath, const std::string& kmlPath)>;

// The real opener: a modal result dialog over parent.
PastResultOpener ResultDialogOpener(const platform::DeviceRoot& root, platform::Shell& shell,
                                    QWidget* parent);

// The history graph drawn white on black into an image of w x h logical pixels at dpr device
// pixels each; a null image when either is 0.
QImage DrawHistoryImage(const HistoryGraph& graph, qreal dpr = 1.0);

// The recorded workouts, one by one for a day or summed per day, week or month, as a list and a
// bar graph. Left and right move through time, Enter drills down and finally opens a workout.
class CHistoryDlg final : public QDialog {
    Q_OBJECT
public:
    // Reads the history log of logFolder once; starts with the seven days ending on reference
    // and the energy graph.
    CHistoryDlg(const platform::DeviceRoot& root, std::string_view logFolder,
                const platform::SYSTEMTIME& reference, platform::MessageBox& messages,
                PastResultOpener openResult, QWidget* parent = nullptr);
    ~CHistoryDlg() override;

    // Resizes the dialog so that the area below the menu bar is w x h, and lays it out at once.
    void SetClientSize(int w, int h);

    const HistoryRows& Rows() const { return m_rows; }
    HistoryGraphKind GraphKind() const { return m_kind; }
    QTreeWidget* List() const { return m_list; }
    const QImage& Image() const { return m_image; }
    QAction* CloseAction() const { return m_actClose; }
    QAction* ModeAction(HistoryMode mode) const { return m_modeActions.at(mode); }
    QAction* KindAction(HistoryGraphKind kind) const { return m_kindActions.at(kind); }

    // Escape closes like "閉じる", with the same result.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnMode(HistoryMode mode);
    void OnKind(HistoryGraphKind kind);
    void OnEnter();
    void OnClientResized(int w, int h);
    void Redraw();
    void FillList();
    void UpdateChecks();

    std::string m_strLogFolder;
    platform::MessageBox& m_messages;
    PastResultOpener m_openResult;
    HistoryRows m_rows;
    HistoryGraphKind m_kind = HistoryGraphKind::Energy;
    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    QImage m_image;
    QMenuBar* m_menuBar = nullptr;
    QAction* m_actClose = nullptr;
    std::map<HistoryMode, QAction*> m_modeActions;
    std::map<HistoryGraphKind, QAction*> m_kindActions;
    ImageArea* m_area = nullptr;
    QTreeWidget* m_list = nullptr;
};

// Opens the history dialog modally on today's date and returns when it is closed.
void ShowHistory(const platform::DeviceRoot& root, std::string_view logFolder, platform::Shell& shell,
                 platform::MessageBox& messages, QWidget* parent);
