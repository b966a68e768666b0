#include "chart_style.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

namespace relan {

QFont FontOf(const QStringList& families, int pixels, bool bold) {
    QFont f;
    QStringList all = families;
    all << QStringLiteral("DejaVu Sans");
    f.setFamilies(all);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QColor ColorOf(const rel::Rgb& c) { return QColor(c.r, c.g, c.b); }

QColor WithTransparency(QColor c, int transparency) {
    c.setAlphaF(std::clamp(100 - transparency, 0, 100) / 100.0);
    return c;
}

QColor LineColor(const rel::Rgb& c) {
    const double luminance = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    QColor q = ColorOf(c);
    return luminance > 140.0 ? q.darker(150) : q;
}

QColor BarBorder(const rel::Rgb& c) {
    QColor q = ColorOf(c);
    if (q.lightness() > 200) return QColor(110, 110, 110);
    return q.darker(160);
}

QImage CrossImage(const QColor& color, int half) {
    const int size = 2 * half + 1;
    QImage img(size * 2, size * 2, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 2.0));
    p.drawLine(QPointF(1, 1), QPointF(img.width() - 1, img.height() - 1));
    p.drawLine(QPointF(1, img.height() - 1), QPointF(img.width() - 1, 1));
    return img;
}

}  // namespace relan
