#include "view/MyAmbuloView.h"

#include "engine/MyAmbuloDoc.h"
#include "view/MainPainter.h"
#include "view/Pictures.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

// The one-second tick of the screen.
constexpr int kTickMs = 1000;

} // namespace

CPictureButton::CPictureButton(std::function<int()> picture, QWidget* parent)
    : QAbstractButton(parent), m_picture(std::move(picture)) {
    setFocusPolicy(Qt::NoFocus); // the keys belong to the screen, not to a button
}

void CPictureButton::paintEvent(QPaintEvent* /*event*/) {
    // The picture fills the button; pressed and focused look the same.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), Picture(m_picture()));
}

CMyAmbuloView::CMyAmbuloView(CMyAmbuloDoc& doc, DialogSeam& dialogs, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_dialogs(dialogs), m_screen(doc, *this),
      m_btnStart(new CPictureButton([this] { return m_screen.StartPicture(); }, this)),
      m_btnRest(new CPictureButton([this] { return m_screen.RestPicture(); }, this)),
      m_btnBluetooth(new CPictureButton([this] { return m_screen.BluetoothPicture(); }, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent); // the back buffer covers everything: no erasing, no flicker
    setFocusPolicy(Qt::StrongFocus);
    m_btnStart->setObjectName(QStringLiteral("button_1000"));
    m_btnRest->setObjectName(QStringLiteral("button_1001"));
    m_btnBluetooth->setObjectName(QStringLiteral("button_1042"));
    m_btnStart->setText(QString::fromStdString(m_screen.m_strStartText));
    m_btnRest->setText(tr("休憩"));
    m_btnBluetooth->setText(QStringLiteral("BT"));
    m_btnRest->setEnabled(false);
    connect(m_btnStart, &QAbstractButton::clicked, this, [this] {
        m_screen.OnStartButton();
        InvalidateView();
    });
    connect(m_btnRest, &QAbstractButton::clicked, this, [this] {
        m_screen.OnRestButton();
        InvalidateView();
    });
    connect(m_btnBluetooth, &QAbstractButton::clicked, this, [this] { m_screen.OnBluetoothButton(); });
    // Enter and the cursor keys work wherever the focus is in the window, before anything else sees them.
    qApp->installEventFilter(this);
}

bool CMyAmbuloView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && QApplication::activePopupWidget() == nullptr &&
        QApplication::activeModalWidget() == nullptr && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == window()) {
        return HandleKey(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

void CMyAmbuloView::OnInitialUpdate() {
    m_screen.OnInitialUpdate();
    InvalidateView();
}

bool CMyAmbuloView::HandleKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_screen.OnStartButton();
        break;
    case Qt::Key_Up:
        m_screen.ZoomIn();
        break;
    case Qt::Key_Down:
        m_screen.ZoomOut();
        break;
    default:
        return false;
    }
    InvalidateView();
    return true;
}

void CMyAmbuloView::resizeEvent(QResizeEvent* /*event*/) {
    Relayout();
}

void CMyAmbuloView::Relayout() {
    const int cx = width();
    const int cy = height();
    const qreal dpr = devicePixelRatioF();
    if (cx == m_cxClient && cy == m_cyClient && dpr == m_dblPixelRatio) {
        return;
    }
    m_cxClient = cx;
    m_cyClient = cy;
    m_dblPixelRatio = dpr;
    m_layout = MainLayout::For(cx, cy);
    // Nothing to draw on a client that has no pixels. The buffer has the screen's own pixels, so a
    // scaled desktop gets sharp text and lines rather than a stretched half-size picture.
    m_back = cx > 0 && cy > 0 ? QImage(qRound(cx * dpr), qRound(cy * dpr), QImage::Format_RGB32) : QImage();
    if (!m_back.isNull()) {
        m_back.setDevicePixelRatio(dpr);
    }
    m_screen.m_rcMap = m_layout.rcMapFrame;
    const auto place = [](QWidget* button, const LayoutRect& r) {
        button->setGeometry(r.x, r.y, r.width, r.height);
    };
    place(m_btnStart, m_layout.rcStart);
    place(m_btnRest, m_layout.rcRest);
    place(m_btnBluetooth, m_layout.rcBluetooth);
}

const QImage& CMyAmbuloView::Render() {
    if (!m_back.isNull()) {
        PaintMainScreen(m_back, m_screen, m_doc, m_canvas, m_layout);
    }
    return m_back;
}

void CMyAmbuloView::paintEvent(QPaintEvent* /*event*/) {
    Relayout(); // moved to a screen of another density: the back buffer follows
    Render();
    QPainter painter(this);
    if (m_back.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(rect(), m_back);
}

void CMyAmbuloView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_screen.OnTap(event->position().toPoint().x(), event->position().toPoint().y());
    }
    QWidget::mouseReleaseEvent(event);
}

void CMyAmbuloView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_screen.OnTimer();
}

void CMyAmbuloView::ResetMapCanvas() {
    m_canvas.DeleteMapCanvas();
    // As many canvas pixels as the screen has device pixels: the route is drawn, not stretched.
    m_canvas.CreateMapCanvas(qCeil(devicePixelRatioF()));
    m_screen.m_ptMapPosition = CanvasPoint{500, 500};
}

void CMyAmbuloView::PlotRoute() {
    m_canvas.PlotRoute(m_doc, m_layout, m_screen.m_nZoomPercent, m_screen.m_ptMapPosition);
}

void CMyAmbuloView::InvalidateStartButton() {
    m_btnStart->setText(QString::fromStdString(m_screen.m_strStartText));
    m_btnRest->setEnabled(m_screen.m_bRestEnabled);
    m_btnStart->update();
    m_btnRest->update();
}

void CMyAmbuloView::InvalidateBluetoothButton() {
    m_btnBluetooth->update();
}

void CMyAmbuloView::InvalidateView() {
    m_btnStart->setText(QString::fromStdString(m_screen.m_strStartText));
    m_btnRest->setEnabled(m_screen.m_bRestEnabled);
    m_btnBluetooth->setVisible(m_screen.m_bBluetoothVisible);
    update();
}

void CMyAmbuloView::StopTick() {
    m_timer.stop();
}

void CMyAmbuloView::StartTick() {
    m_timer.start(kTickMs, this);
}

void CMyAmbuloView::ShowResult(const ResultFigures& figures) {
    m_dialogs.ShowResult(figures);
}

void CMyAmbuloView::RunDialog(int commandId) {
    m_dialogs.RunDialog(commandId);
}

void CMyAmbuloView::DeleteDrawingBuffers() {
    m_back = QImage();
    m_canvas.DeleteMapCanvas();
}

void CMyAmbuloView::RequestQuit() {
    emit quitRequested();
}
