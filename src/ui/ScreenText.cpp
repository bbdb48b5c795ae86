#include "ui/ScreenText.h"

#include <QPainter>
#include <QString>

namespace {

// The screens' face; the application substitutes a gothic the machine has.
constexpr const char* kFace = "MS Gothic";

} // namespace

QFont ScreenFont(int nPixelSize, bool bBold) {
    QFont font(QString::fromLatin1(kFace));
    font.setPixelSize(nPixelSize > 0 ? nPixelSize : 1);
    font.setWeight(bBold ? QFont::Bold : QFont::Normal);
    return font;
}

TextExtent QtTextMeasure::Measure(std::string_view utf8, int nPixelSize, bool bBold) const {
    const int key = bBold ? -nPixelSize : nPixelSize;
    auto found = m_metrics.find(key);
    if (found == m_metrics.end()) {
        found = m_metrics.emplace(key, QFontMetrics(ScreenFont(nPixelSize, bBold))).first;
    }
    const QFontMetrics& metrics = found->second;
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return {metrics.horizontalAdvance(text), metrics.ascent(), metrics.height()};
}

void DrawPlacedText(QPainter& p, const PlacedText& text, bool bOpaque) {
    if (text.nPixelSize <= 0) {
        return;
    }
    const QFont font = ScreenFont(text.nPixelSize, text.bBold);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const LayoutRect& r = text.rcText;
    if (bOpaque) {
        p.fillRect(QRect(r.x, r.y, r.width, r.height), Qt::black);
    }
    p.drawText(QPoint(r.x, r.y + metrics.ascent()), QString::fromStdString(text.strText));
}
