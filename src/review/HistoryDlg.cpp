#include "review/HistoryDlg.h"

#include "ui/ImageArea.h"

#include "logs/LogPaths.h"
#include "platform/Clock.h"
#include "review/ResultDlg.h"
#include "ui/DialogFit.h"
#include "ui/ScreenText.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// The handheld's VGA client below the caption and menu bar, as the result dialog's.
constexpr int kInitialWidth = 480;
constexpr int kInitialHeight = 536;
// Pale cyan of the bars (red 0xDC, green 0xFF, blue 0xFF).
const QColor kBarColour(0xDC, 0xFF, 0xFF);

} // namespace

QImage DrawHistoryImage(const HistoryGraph& graph, qreal dpr) {
    const HistoryGraphLayout& l = graph.layout;
    if (l.w <= 0 || l.h <= 0) {
        return {};
    }
    QImage image(qRound(l.w * dpr), qRound(l.h * dpr), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::black);
    QPainter p(&image);
    const std::vector<PlacedText> texts = PlaceHistoryTexts(QtTextMeasure{}, graph);
    p.setPen(Qt::white);
    DrawPlacedText(p, texts[0], false); // the title
    DrawPlacedText(p, texts[1], false); // the origin

    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPoint frame[] = {{l.left, l.top}, {l.left, l.base}, {l.right, l.base}, {l.right, l.top}};
    p.drawPolyline(frame, 4);

    if (graph.bNoExercise) {
        p.setPen(Qt::white);
        DrawPlacedText(p, texts[2], false);
        return image;
    }
    // Last bar first; each bar's value and category follow the title and the origin in row order.
    for (std::size_t i = graph.bars.size(); i-- > 0;) {
        const HistoryBar& bar = graph.bars[i];
        p.setPen(Qt::white);
        DrawPlacedText(p, texts[2 + 2 * i], false);
        // The rectangle covers its left and top edges but not its right and bottom ones; a bar of
        // no height is not drawn at all.
        if (bar.x1 > bar.x0 && l.base > bar.y) {
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(kBarColour);
            p.drawRect(bar.x0, bar.y, bar.x1 - bar.x0 - 1, l.base - bar.y - 1);
            p.setBrush(Qt::NoBrush);
        }
        p.setPen(Qt::white);
        DrawPlacedText(p, texts[3 + 2 * i], false);
    }
    return image;
}

PastResultOpener ResultDialogOpener(const platform::DeviceRoot& root, platform::Shell& shell,
                                    QWidget* parent) {
    return [&root, &shell, parent](const std::string& trackLogPath, const std::string& kmlPath) {
        CResultDlg dlg(root, shell, parent);
        dlg.m_strTrackLogPath = trackLogPath;
        dlg.m_strKmlPath = kmlPath;
        if (dlg.LoadRecord() != 1) {
            return 0;
        }
        dlg.UpdateCommands();
        dlg.exec();
        return 1;
    };
}

CHistoryDlg::CHistoryDlg(const platform::DeviceRoot& root, std::string_view logFolder,
                         const platform::SYSTEMTIME& reference, platform::MessageBox& messages,
                         PastResultOpener openResult, QWidget* parent)
    : QDialog(parent), m_strLogFolder(logFolder), m_messages(messages), m_openResult(std::move(openResult)),
      m_rows(LoadHistory(root, logFolder).value_or(std::vector<HistoryEntry>{}), reference) {
    setWindowTitle(tr("運動記録"));

    m_menuBar = new QMenuBar(this);
    m_actClose = m_menuBar->addAction(tr("閉じる"));
    connect(m_actClose, &QAction::triggered, this, [this] { done(1); });
    QMenu* menu = m_menuBar->addMenu(tr("メニュー"));
    const std::pair<HistoryMode, const char*> modes[] = {{HistoryMode::Day, QT_TR_NOOP("日毎集計")},
                                                         {HistoryMode::Week, QT_TR_NOOP("週毎集計")},
                                                         {HistoryMode::Month, QT_TR_NOOP("月毎集計")},
                                                         {HistoryMode::Record, QT_TR_NOOP("記録毎")}};
    for (const auto& [mode, text] : modes) {
        QAction* action = menu->addAction(tr(text));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, m = mode] { OnMode(m); });
        m_modeActions[mode] = action;
    }
    menu->addSeparator();
    const std::pair<HistoryGraphKind, const char*> kinds[] = {
        {HistoryGraphKind::Distance, QT_TR_NOOP("距離グラフ")},
        {HistoryGraphKind::Time, QT_TR_NOOP("時間グラフ")},
        {HistoryGraphKind::Energy, QT_TR_NOOP("カロリーグラフ")}};
    for (const auto& [kind, text] : kinds) {
        QAction* action = menu->addAction(tr(text));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, k = kind] { OnKind(k); });
        m_kindActions[kind] = action;
    }

    m_area = new ImageArea(this, m_image, [this](int w, int h) { OnClientResized(w, h); });
    m_list = new QTreeWidget(m_area);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({tr("日付"), tr("距離"), tr("時間"), tr("カロリー")});
    for (int column = 0; column < 4; ++column) {
        m_list->setColumnWidth(column, 50);
        m_list->headerItem()->setTextAlignment(column, column == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }
    m_list->header()->setStretchLastSection(false);
    m_list->installEventFilter(this);
    installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_area);

    UpdateChecks();
    FillList();
    SetClientSize(kInitialWidth, kInitialHeight);
    FitWindowToScreen(*this);
}

CHistoryDlg::~CHistoryDlg() = default;

void CHistoryDlg::SetClientSize(int w, int h) {
    const int bar = m_menuBar->heightForWidth(w);
    const int barHeight = bar > 0 ? bar : m_menuBar->sizeHint().height();
    resize(w, h + barHeight);
    // A hidden dialog lays itself out only when shown; the image and the list are wanted now.
    m_area->setGeometry(0, barHeight, w, h);
    OnClientResized(w, h);
}

void CHistoryDlg::reject() {
    done(1);
}

bool CHistoryDlg::eventFilter(QObject* watched, QEvent* event) {
    // The arrows and Enter belong to the history, not to the list's own navigation.
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Left:
            m_rows.StepBack();
            Redraw();
            FillList();
            return true;
        case Qt::Key_Right:
            m_rows.StepForward();
            Redraw();
            FillList();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            OnEnter();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CHistoryDlg::OnMode(HistoryMode mode) {
    m_rows.SetMode(mode);
    UpdateChecks();
    Redraw();
    FillList();
}

void CHistoryDlg::OnKind(HistoryGraphKind kind) {
    m_kind = kind;
    UpdateChecks();
    Redraw();
}

void CHistoryDlg::OnEnter() {
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (selected.isEmpty() || m_rows.ShowsPlaceholder()) {
        return;
    }
    int row = selected.front().row();
    for (const QModelIndex& index : selected) {
        row = std::min(row, index.row());
    }
    const std::optional<HistoryEntry> workout = m_rows.DrillDown(static_cast<std::size_t>(row));
    if (!workout) {
        UpdateChecks();
        Redraw();
        FillList();
        return;
    }
    const std::string run = RunName(workout->stStart);
    if (m_openResult(TrackLogPath(m_strLogFolder, run), KmlPath(m_strLogFolder, run)) != 1) {
        m_messages.Show(tr("データが存在しません").toStdString(), tr("速度グラフ").toStdString(),
                        platform::MessageButtons::Ok, platform::MessageIcon::Information);
    }
}

void CHistoryDlg::OnClientResized(int w, int h) {
    if (w == m_nClientWidth && h == m_nClientHeight) {
        return;
    }
    m_nClientWidth = w;
    m_nClientHeight = h;
    const LayoutRect place = HistoryListPlace(w, h);
    m_list->setGeometry(place.x, place.y, std::max(place.width, 0), std::max(place.height, 0));
    m_rows.Rebuild();
    Redraw();
}

void CHistoryDlg::Redraw() {
    m_image = DrawHistoryImage(BuildHistoryGraph(m_rows, m_kind, m_nClientWidth, m_nClientHeight),
                               m_area->devicePixelRatioF());
    m_area->update();
}

void CHistoryDlg::FillList() {
    m_list->clear();
    const std::size_t count = m_rows.ShowsPlaceholder() ? 1 : m_rows.Rows().size();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const auto texts = m_rows.ListTexts(i);
        auto* item = new QTreeWidgetItem;
        for (int column = 0; column < 4; ++column) {
            item->setText(column, QString::fromStdString(texts[static_cast<std::size_t>(column)]));
            if (column > 0) {
                item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
            }
        }
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    for (int column = 0; column < 4; ++column) {
        m_list->resizeColumnToContents(column);
    }
}

void CHistoryDlg::UpdateChecks() {
    for (const auto& [mode, action] : m_modeActions) {
        action->setChecked(mode == m_rows.Mode());
    }
    for (const auto& [kind, action] : m_kindActions) {
        action->setChecked(kind == m_kind);
    }
}

void ShowHistory(const platform::DeviceRoot& root, std::string_view logFolder, platform::Shell& shell,
                 platform::MessageBox& messages, QWidget* parent) {
    // The result dialog of a past workout opens over the history dialog itself.
    QWidget* over = parent;
    CHistoryDlg dlg(
        root, logFolder, platform::SystemClock{}.LocalNow(), messages,
        [&root, &shell, &over](const std::string& trackLogPath, const std::string& kmlPath) {
            return ResultDialogOpener(root, shell, over)(trackLogPath, kmlPath);
        },
        parent);
    over = &dlg;
    dlg.exec();
}
