#include "review/ResultDlg.h"

#include "ui/ImageArea.h"

#include "logs/LogPaths.h"
#include "platform/File.h"
#include "review/ResultRecord.h"
#include "ui/DialogFit.h"
#include "ui/ScreenText.h"

#include <QMenuBar>
#include <QPainter>
#include <QPolygon>
#include <QVBoxLayout>

#include <vector>

namespace {

// The handheld's VGA client below the caption and menu bar.
constexpr int kInitialWidth = 480;
constexpr int kInitialHeight = 536;
// The table's ten texts come first among the placed texts, then the graph's four axis labels and
// the grid labels.
constexpr std::size_t kTableTexts = 10;
constexpr std::size_t kAxisTexts = 4;

// A horizontal or vertical line up to, but not including, its end point.
void DrawLineTo(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) {
        return;
    }
    p.drawLine(x1, y1, x2 - ((x2 > x1) - (x2 < x1)), y2 - ((y2 > y1) - (y2 < y1)));
}

void DrawTable(QPainter& p, const std::vector<PlacedText>& texts, const ResultLayout& l) {
    p.setPen(Qt::white);
    for (std::size_t i = 0; i < kTableTexts; ++i) {
        DrawPlacedText(p, texts[i], true);
    }
    p.setPen(QPen(Qt::white, 1));
    DrawLineTo(p, 0, l.y2, l.W, l.y2);
    DrawLineTo(p, 0, l.y3, l.T, l.y3);
    DrawLineTo(p, 0, l.y4, l.T, l.y4);
    DrawLineTo(p, 0, l.y2, 0, l.y4);
    DrawLineTo(p, l.xSplit, l.y2, l.xSplit, l.y4);
    DrawLineTo(p, l.T, l.y2, l.T, l.y4);
}

void DrawSpeedGraph(QPainter& p, const ResultFigures& f, const platform::DeviceRoot& root,
                    const SpeedGraphLayout& g, const std::vector<PlacedText>& texts) {
    const int Tp = g.rcGraph.top;
    const int R = g.rcGraph.right;
    p.setPen(Qt::white);
    for (std::size_t i = kTableTexts; i < kTableTexts + kAxisTexts; ++i) {
        DrawPlacedText(p, texts[i], true);
    }

    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPoint frame[] = {{g.Lp, Tp}, {g.Lp, g.Bp}, {R, g.Bp}, {R, Tp}};
    p.drawPolyline(frame, 4);

    p.setPen(QPen(QColor(128, 128, 128), 1));
    for (int i = 0; i < g.scale.nGridLines; ++i) {
        const int y = g.GridY(g.scale.grid[static_cast<std::size_t>(i)].nSpeed10);
        DrawLineTo(p, g.Lp, y, R, y);
    }
    for (std::size_t i = kTableTexts + kAxisTexts; i < texts.size(); ++i) {
        DrawPlacedText(p, texts[i], true);
    }

    // A track log that is gone leaves the graph without its trace.
    const auto samples = ReadSpeedTrace(root, f.m_strTrackLogPath, f.m_nTotalSeconds);
    if (!samples || samples->empty() || f.m_nTotalSeconds <= 0) {
        return;
    }
    std::vector<QPoint> trace;
    trace.reserve(samples->size() + 1);
    trace.emplace_back(g.Lp, g.Bp); // the trace starts at the origin
    for (const SpeedSample& sample : *samples) {
        const GraphPoint point = g.PointFor(sample);
        trace.emplace_back(point.x, point.y);
    }
    p.save();
    p.setClipRect(QRect(QPoint(g.Lp, Tp), QPoint(R - 1, g.Bp - 1)));
    p.setPen(QPen(QColor(0, 255, 0), 2));
    p.drawPolyline(trace.data(), static_cast<int>(trace.size()));
    p.restore();
}

} // namespace

QImage DrawResultImage(const ResultFigures& figures, const platform::DeviceRoot& root, int W, int H,
                       qreal dpr) {
    if (W <= 0 || H <= 0) {
        return {};
    }
    QImage image(qRound(W * dpr), qRound(H * dpr), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::black);
    QPainter p(&image);
    const ResultLayout layout = ResultLayout::For(W, H);
    const SpeedGraphLayout graph =
        SpeedGraphLayout::For(layout.rcGraph, H, figures.m_nMaxSpeed10, figures.m_nTotalSeconds);
    const std::vector<PlacedText> texts = PlaceResultTexts(QtTextMeasure{}, layout, graph, figures);
    DrawTable(p, texts, layout);
    DrawSpeedGraph(p, figures, root, graph, texts);
    return image;
}

CResultDlg::CResultDlg(const platform::DeviceRoot& root, platform::Shell& shell, QWidget* parent)
    : QDialog(parent), m_root(root), m_shell(shell) {
    setWindowTitle(tr("おつかれさまでした"));
    m_menuBar = new QMenuBar(this);
    m_actClose = m_menuBar->addAction(tr("閉じる"));
    m_actMap = m_menuBar->addAction(tr("Google Mapで見る"));
    m_actGpx = m_menuBar->addAction(tr("GPXファイルを開く"));
    connect(m_actClose, &QAction::triggered, this, &CResultDlg::OnClose);
    connect(m_actMap, &QAction::triggered, this, &CResultDlg::OnViewMap);
    connect(m_actGpx, &QAction::triggered, this, [this] { m_shell.Open(GpxPathForKml(m_strKmlPath)); });
    // The KML file may come or go while the dialog is open; the entry is checked again whenever the
    // pointer moves over the menu bar.
    connect(m_menuBar, &QMenuBar::hovered, this, &CResultDlg::UpdateCommands);
    m_area = new ImageArea(this, m_image, [this](int w, int h) { OnClientResized(w, h); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_area);
    SetClientSize(kInitialWidth, kInitialHeight);
    FitWindowToScreen(*this);
    UpdateCommands();
}

CResultDlg::~CResultDlg() = default;

int CResultDlg::LoadRecord() {
    return LoadResultRecord(m_root, *this);
}

void CResultDlg::SetFigures(const ResultFigures& figures) {
    static_cast<ResultFigures&>(*this) = figures;
    UpdateCommands();
}

void CResultDlg::SetClientSize(int W, int H) {
    const int bar = m_menuBar->heightForWidth(W);
    resize(W, H + (bar > 0 ? bar : m_menuBar->sizeHint().height()));
}

void CResultDlg::UpdateCommands() {
    m_actMap->setEnabled(!m_strKmlPath.empty() && platform::FileExists(m_root, m_strKmlPath));
    const std::string gpx = GpxPathForKml(m_strKmlPath);
    m_actGpx->setEnabled(!gpx.empty() && platform::FileExists(m_root, gpx));
}

void CResultDlg::reject() {
    OnClose();
}

void CResultDlg::showEvent(QShowEvent* event) {
    UpdateCommands();
    QDialog::showEvent(event);
}

void CResultDlg::OnClientResized(int W, int H) {
    // Drawing reads the whole track log, so it happens only when the size really changes.
    if (W == m_nImageWidth && H == m_nImageHeight) {
        return;
    }
    m_nImageWidth = W;
    m_nImageHeight = H;
    m_image = DrawResultImage(*this, m_root, W, H, m_area->devicePixelRatioF());
    m_area->update();
}

void CResultDlg::OnClose() {
    m_image = QImage();
    done(1);
}

void CResultDlg::OnViewMap() {
    m_shell.Open(m_strKmlPath);
}
