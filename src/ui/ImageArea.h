#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <functional>

// The client area of a review dialog below its menu bar: it tells its size to whoever draws the
// picture and paints that picture with one copy, erasing nothing.
class ImageArea final : public QWidget {
public:
    ImageArea(QWidget* parent, const QImage& image, std::function<void(int, int)> resized)
        : QWidget(parent), m_image(image), m_resized(std::move(resized)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        m_resized(width(), height());
    }
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    const QImage& m_image;
    std::function<void(int, int)> m_resized;
};
