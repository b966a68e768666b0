#include "lnchart.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace relan {

namespace {

const QString kTitle = QStringLiteral("Накопленние отказов по времени наблюдения");
const QString kBottomTitle = QStringLiteral("Log t (часов)");
const QString kLeftTitle = QStringLiteral("Log N (отказов)");

QList<QPointF> ToList(const Points& pts) {
    QList<QPointF> out;
    out.reserve(static_cast<qsizetype>(pts.size()));
    for (const auto& [x, y] : pts)
        if (std::isfinite(x) && std::isfinite(y)) out.append(QPointF(x, y));
    return out;
}

}  // namespace

LnChart::LnChart(bool large, QWidget* parent)
    : QChartView(parent),
      chart_(new QChart),
      series1_(new QLineSeries(chart_)),
      series2_(new QLineSeries(chart_)),
      axisX_(new QValueAxis(chart_)),
      axisY_(new QValueAxis(chart_)),
      bottomTitle_(nullptr),
      leftTitle_(nullptr) {
    setObjectName(QStringLiteral("Chart2"));
    setRenderHint(QPainter::Antialiasing);
    chart_->setBackgroundBrush(Qt::white);
    chart_->setTitle(kTitle);
    QFont titleFont = font();
    titleFont.setBold(true);
    if (large) titleFont.setPixelSize(18);
    chart_->setTitleFont(titleFont);
    chart_->setTitleBrush(Qt::black);
    chart_->legend()->hide();

    series1_->setObjectName(QStringLiteral("Series1"));
    series2_->setObjectName(QStringLiteral("Series2"));
    const QColor green(0, 128, 0);
    QPen p1(green);
    p1.setWidth(1);
    series1_->setPen(p1);
    series1_->setPointsVisible(true);
    series1_->setMarkerSize(large ? 6.0 : 5.0);
    series1_->setBrush(green);
    QPen p2(Qt::red);
    p2.setWidth(2);
    series2_->setPen(p2);
    chart_->addSeries(series1_);
    chart_->addSeries(series2_);

    // Both axes are linear: the values are logarithms already. No value labels;
    // dashed grid lines.
    QPen grid(QColor(160, 160, 160));
    grid.setStyle(Qt::DashLine);
    for (QValueAxis* a : {axisX_, axisY_}) {
        a->setLabelsVisible(false);
        a->setGridLinePen(grid);
        a->setLinePen(QPen(Qt::black));
        a->setMinorTickCount(0);
        a->setTickCount(6);
        QFont f = font();
        if (large) f.setPixelSize(14);
        a->setTitleFont(f);
        a->setTitleBrush(Qt::black);
    }
    axisX_->setTitleText(kBottomTitle);
    axisY_->setTitleText(kLeftTitle);
    // Without value labels the chart leaves its axis titles no room (the left one
    // shrinks to an ellipsis), and it cannot put the bottom title at the start of
    // the axis: the axes keep their title texts and two text items show them.
    axisX_->setTitleVisible(false);
    axisY_->setTitleVisible(false);
    axisX_->setRange(0.0, 1.0);
    axisY_->setRange(0.0, 1.0);
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    for (QLineSeries* s : {series1_, series2_}) {
        s->attachAxis(axisX_);
        s->attachAxis(axisY_);
    }

    // The view releases the chart it made for itself without deleting it.
    QChart* own = chart();
    setChart(chart_);
    delete own;
    bottomTitle_ = new QGraphicsSimpleTextItem(kBottomTitle, chart_);
    leftTitle_ = new QGraphicsSimpleTextItem(kLeftTitle, chart_);
    for (QGraphicsSimpleTextItem* t : {bottomTitle_, leftTitle_}) {
        t->setFont(axisX_->titleFont());
        t->setBrush(Qt::black);
    }
    leftTitle_->setRotation(-90.0);
    const int room = static_cast<int>(bottomTitle_->boundingRect().height()) + 4;
    const QMargins m = chart_->margins();
    chart_->setMargins(QMargins(m.left() + room, m.top(), m.right(), m.bottom() + room));
    connect(chart_, &QChart::plotAreaChanged, this, [this] { PlaceAxisTitles(); });
}

void LnChart::PlaceAxisTitles() {
    const QRectF area = chart_->plotArea();
    bottomTitle_->setPos(area.left(), area.bottom() + 4.0);
    // Rotated a quarter turn: its width runs upwards from the position.
    const QRectF box = leftTitle_->boundingRect();
    leftTitle_->setPos(area.left() - box.height() - 6.0, area.center().y() + box.width() / 2.0);
}

void LnChart::SetPoints(const Points& failures, const Points& line) {
    series1_->replace(ToList(failures));
    series2_->replace(ToList(line));

    double xmin = 0.0, xmax = 0.0, ymax = 0.0;
    bool any = false;
    for (const Points* pts : {&failures, &line}) {
        for (const auto& [x, y] : *pts) {
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            if (!any) {
                xmin = xmax = x;
                any = true;
            }
            xmin = std::min(xmin, x);
            xmax = std::max(xmax, x);
            ymax = std::max(ymax, y);
        }
    }
    if (!any) {
        axisX_->setRange(0.0, 1.0);
        axisY_->setRange(0.0, 1.0);
        return;
    }
    const double span = xmax - xmin;
    const double pad = span > 0.0 ? span * 0.04 : 0.5;
    axisX_->setRange(xmin - pad, xmax + pad);
    axisY_->setRange(0.0, ymax > 0.0 ? ymax * 1.04 : 1.0);
}

void LnChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    PlaceAxisTitles();
    emit Resized();
}

}  // namespace relan
