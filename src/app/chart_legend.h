// The legend of a results chart: it wraps into as many rows as its entries need
// and is drawn below the plot inside the chart (the toolkit's own legend keeps to
// one row and cuts the texts short).
#pragma once

#include <QBrush>
#include <QPen>
#include <QString>
#include <vector>

class QChart;
class QGraphicsItem;

namespace relan {

struct LegendEntry {
    QString text;
    QPen pen;
    QBrush brush;
    bool line = false;  // drawn as a short line, else as a filled box
};

class WrapLegend {
public:
    explicit WrapLegend(QChart* chart) : chart_(chart) {}
    WrapLegend(const WrapLegend&) = delete;
    WrapLegend& operator=(const WrapLegend&) = delete;

    // The entries of an output, shown when `visible`; they replace the previous ones.
    void Show(std::vector<LegendEntry> entries, bool visible);
    // Lays the entries out for the chart's width (nothing when it has not changed)
    // and keeps the room they need below the plot.
    void Place();

private:
    QChart* chart_;
    bool visible_ = false;
    std::vector<LegendEntry> entries_;
    std::vector<QGraphicsItem*> items_;  // symbol and text of each entry
    int width_ = -1;                     // chart width the entries were laid out for
};

}  // namespace relan
