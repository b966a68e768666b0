#include "chart_legend.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <algorithm>
#include <cmath>
#include <utility>

#include "chart_style.h"

namespace relan {

void WrapLegend::Show(std::vector<LegendEntry> entries, bool visible) {
    entries_ = std::move(entries);
    visible_ = visible;
    for (QGraphicsItem* item : items_) delete item;
    items_.clear();
    width_ = -1;
    if (visible_) {
        const QFont font = FontOf({QStringLiteral("Segoe UI")}, 11);
        for (const LegendEntry& e : entries_) {
            QGraphicsItem* symbol = nullptr;
            if (e.line) {
                auto* line = new QGraphicsLineItem(0, 0, 22, 0, chart_);
                QPen pen = e.pen;
                pen.setWidthF(std::min<qreal>(pen.widthF(), 3.0));
                line->setPen(pen);
                symbol = line;
            } else {
                auto* rect = new QGraphicsRectItem(0, 0, 12, 10, chart_);
                rect->setBrush(e.brush);
                rect->setPen(e.pen);
                symbol = rect;
            }
            auto* text = new QGraphicsSimpleTextItem(e.text, chart_);
            text->setFont(font);
            text->setBrush(Qt::black);
            symbol->setZValue(30);
            text->setZValue(30);
            items_.push_back(symbol);
            items_.push_back(text);
        }
    }
    Place();
}

void WrapLegend::Place() {
    const QRectF box = chart_->geometry();
    const int width = static_cast<int>(box.width());
    if (width == width_) return;
    width_ = width;
    if (items_.empty()) {
        chart_->setMargins(QMargins(4, 2, 4, 2));
        return;
    }
    // Entries left to right, a new row when the next one would pass the edge.
    const qreal left = 10.0, right = box.width() - 10.0, gap = 16.0, symbolW = 26.0;
    const qreal rowH = QFontMetricsF(static_cast<QGraphicsSimpleTextItem*>(items_[1])->font()).height() + 3.0;
    struct Spot {
        qreal x;
        int row;
    };
    std::vector<Spot> places;
    qreal x = left;
    int row = 0;
    for (std::size_t i = 0; i + 1 < items_.size(); i += 2) {
        auto* text = static_cast<QGraphicsSimpleTextItem*>(items_[i + 1]);
        const qreal w = symbolW + text->boundingRect().width();
        if (x > left && x + w > right) {
            x = left;
            ++row;
        }
        places.push_back({x, row});
        x += w + gap;
    }
    const int rows = row + 1;
    const qreal height = rows * rowH + 6.0;
    chart_->setMargins(QMargins(4, 2, 4, static_cast<int>(std::ceil(height)) + 2));
    const qreal top = box.height() - height;
    for (std::size_t i = 0; i + 1 < items_.size(); i += 2) {
        const Spot& p = places[i / 2];
        const qreal y = top + p.row * rowH;
        QGraphicsItem* symbol = items_[i];
        if (auto* line = dynamic_cast<QGraphicsLineItem*>(symbol))
            line->setPos(p.x, y + rowH / 2.0);
        else
            symbol->setPos(p.x + 5.0, y + (rowH - 10.0) / 2.0);
        items_[i + 1]->setPos(p.x + symbolW, y);
    }
}

}  // namespace relan
