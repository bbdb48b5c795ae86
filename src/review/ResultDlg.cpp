#include "review/ResultDlg.h"

#include "review/ImageArea.h"

#include "logs/LogPaths.h"
#include "platform/File.h"
#include "review/ResultRecord.h"

#include <QFont>
#include <QFontMetrics>
#include <QMenuBar>
#include <QPainter>
#include <QPolygon>
#include <QVBoxLayout>

#include <vector>

namespace {

// The face of every drawn text; the application maps it to a Japanese gothic the machine has.
constexpr const char* kFace = "MS Gothic";
// The handheld's VGA client below the caption and menu bar.
constexpr int kInitialWidth = 480;
constexpr int kInitialHeight = 536;

QFont DrawFont(int pixelHeight, QFont::Weight weight) {
    QFont font(QString::fromLatin1(kFace));
    font.setPixelSize(pixelHeight);
    font.setWeight(weight);
    return font;
}

enum class Align { LeftTop, RightTop, RightBaseline };

// Text on an opaque black cell, placed by its top-left, top-right or right-baseline point.
void DrawText(QPainter& p, int x, int y, const std::string& utf8, Align align) {
    const QFontMetrics metrics(p.font());
    const QString text = QString::fromStdString(utf8);
    const int advance = metrics.horizontalAdvance(text);
    const int left = align == Align::LeftTop ? x : x - advance;
    const int baseline = align == Align::RightBaseline ? y : y + metrics.ascent();
    p.fillRect(QRect(left, baseline - metrics.ascent(), advance, metrics.height()), Qt::black);
    p.drawText(QPoint(left, baseline), text);
}

// A horizontal or vertical line up to, but not including, its end point.
void DrawLineTo(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) {
        return;
    }
    p.drawLine(x1, y1, x2 - ((x2 > x1) - (x2 < x1)), y2 - ((y2 > y1) - (y2 < y1)));
}

void DrawTable(QPainter& p, const ResultFigures& f, const ResultLayout& l) {
    p.setPen(Qt::white);
    if (l.nLabelFont > 0) {
        p.setFont(DrawFont(l.nLabelFont, QFont::Normal));
        DrawText(p, l.x0, 0, "タイトル", Align::LeftTop);
        DrawText(p, l.x0, l.y1, f.m_strTitle, Align::LeftTop);
        DrawText(p, l.x0, l.y2, "距離 (m)", Align::LeftTop);
        DrawText(p, l.x1, l.y2, "時間", Align::LeftTop);
        DrawText(p, l.x0, l.y3, "平均速度 (km/h)", Align::LeftTop);
        DrawText(p, l.x1, l.y3, "カロリー (kcal)", Align::LeftTop);
    }
    if (l.nValueFont > 0) {
        p.setFont(DrawFont(l.nValueFont, QFont::Bold));
        DrawText(p, l.xSplit - 5, l.yv2, f.m_strDistanceText, Align::RightTop);
        DrawText(p, l.T - 5, l.yv2, f.m_strTimeText, Align::RightTop);
        DrawText(p, l.xSplit - 5, l.yv3, f.m_strAvgSpeedText, Align::RightTop);
        DrawText(p, l.T - 5, l.yv3, f.m_strKcalText, Align::RightTop);
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
                    const SpeedGraphLayout& g) {
    const int Tp = g.rcGraph.top;
    const int R = g.rcGraph.right;
    if (g.nFont > 0) {
        p.setFont(DrawFont(g.nFont, QFont::Normal));
        p.setPen(Qt::white);
        DrawText(p, g.Lp, g.Bp, "0", Align::RightTop);
        DrawText(p, g.Lp + (R - g.Lp) / 2, g.Bp, "時間", Align::RightTop);
        DrawText(p, g.Lp - 2, Tp, "速度", Align::RightTop);
        DrawText(p, R, g.Bp, TotalTimeLabel(f.m_nTotalSeconds), Align::RightTop);
    }

    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPoint frame[] = {{g.Lp, Tp}, {g.Lp, g.Bp}, {R, g.Bp}, {R, Tp}};
    p.drawPolyline(frame, 4);

    p.setPen(QPen(QColor(128, 128, 128), 1));
    for (int i = 0; i < g.scale.nGridLines; ++i) {
        const SpeedGridLine& line = g.scale.grid[static_cast<std::size_t>(i)];
        const int y = g.GridY(line.nSpeed10);
        DrawLineTo(p, g.Lp, y, R, y);
        if (g.nFont > 0) {
            DrawText(p, g.Lp - 2, y, line.pszLabel, Align::RightBaseline);
        }
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

QImage DrawResultImage(const ResultFigures& figures, const platform::DeviceRoot& root, int W, int H) {
    if (W <= 0 || H <= 0) {
        return {};
    }
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    const ResultLayout layout = ResultLayout::For(W, H);
    DrawTable(p, figures, layout);
    DrawSpeedGraph(p, figures, root,
                   SpeedGraphLayout::For(layout.rcGraph, H, figures.m_nMaxSpeed10, figures.m_nTotalSeconds));
    return image;
}

CResultDlg::CResultDlg(const platform::DeviceRoot& root, platform::Shell& shell, QWidget* parent)
    : QDialog(parent), m_root(root), m_shell(shell) {
    setWindowTitle(QStringLiteral("おつかれさまでした"));
    m_menuBar = new QMenuBar(this);
    m_actClose = m_menuBar->addAction(QStringLiteral("閉じる"));
    m_actMap = m_menuBar->addAction(QStringLiteral("Google Mapで見る"));
    m_actGpx = m_menuBar->addAction(QStringLiteral("GPXファイルを開く"));
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
    m_image = DrawResultImage(*this, m_root, W, H);
    m_area->update();
}

void CResultDlg::OnClose() {
    m_image = QImage();
    done(1);
}

void CResultDlg::OnViewMap() {
    m_shell.Open(m_strKmlPath);
}
