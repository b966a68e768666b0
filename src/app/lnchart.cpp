#include "lnchart.h"

#include <QChart>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "chart_tools.h"

namespace relan {

namespace {

// Above this many points a chart shows only what its pixels can tell apart.
constexpr std::size_t kAllPointsUpTo = 20000;
// Cells per axis of the grid the points are thinned on: finer than any screen or
// printed page shows the chart.
constexpr double kThinningCells = 4096.0;

QList<QPointF> ToList(const Points& pts) {
    QList<QPointF> out;
    if (pts.size() <= kAllPointsUpTo) {
        out.reserve(static_cast<qsizetype>(pts.size()));
        for (const auto& [x, y] : pts)
            if (std::isfinite(x) && std::isfinite(y)) out.append(QPointF(x, y));
        return out;
    }
    // A file of a million failures: a point is kept when it falls into another cell
    // of a fine grid over the points than the point kept before it. The points
    // climb in both directions, so a few thousand remain and the picture is the
    // same; drawing and holding every point would cost seconds and hundreds of
    // megabytes.
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool any = false;
    for (const auto& [x, y] : pts) {
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        if (!any) {
            x0 = x1 = x;
            y0 = y1 = y;
            any = true;
        }
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
    const double cx = x1 > x0 ? kThinningCells / (x1 - x0) : 0.0;
    const double cy = y1 > y0 ? kThinningCells / (y1 - y0) : 0.0;
    long long lastX = -1, lastY = -1;
    QPointF pending;
    bool hasPending = false;
    for (const auto& [x, y] : pts) {
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        const auto ix = static_cast<long long>((x - x0) * cx);
        const auto iy = static_cast<long long>((y - y0) * cy);
        if (ix != lastX || iy != lastY) {
            out.append(QPointF(x, y));
            lastX = ix;
            lastY = iy;
            hasPending = false;
        } else {
            pending = QPointF(x, y);
            hasPending = true;
        }
    }
    if (hasPending) out.append(pending);  // the last point always stays
    return out;
}

}  // namespace

LnChart::LnChart(bool large, QWidget* parent)
    : QChartView(parent),
      chart_(new QChart),
      series1_(new QLineSeries(chart_)),
      series2_(new QLineSeries(chart_)),
      axisX_(new QValueAxis(chart_)),
      axisY_(new QValueAxis(chart_)) {
    setObjectName(QStringLiteral("Chart2"));
    setRenderHint(QPainter::Antialiasing);
    chart_->setBackgroundBrush(Qt::white);
    chart_->setTitle(tr("Накопленние отказов по времени наблюдения"));
    QFont titleFont = font();
    titleFont.setBold(true);
    if (large) titleFont.setPixelSize(18);
    chart_->setTitleFont(titleFont);
    chart_->setTitleBrush(Qt::black);
    chart_->legend()->hide();

    series1_->setObjectName(QStringLiteral("Series1"));
    series2_->setObjectName(QStringLiteral("Series2"));
    // Names for the tooltips (the chart shows no legend).
    series1_->setName(tr("Отказы"));
    series2_->setName(tr("Прямая по методу наименьших квадратов"));
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

    // Both axes are linear: the values are logarithms already, and the axes show
    // them (with the locale's decimal separator) under their titles; dashed grid
    // lines.
    chart_->setLocalizeNumbers(true);
    QPen grid(QColor(160, 160, 160));
    grid.setStyle(Qt::DashLine);
    for (QValueAxis* a : {axisX_, axisY_}) {
        a->setLabelsVisible(true);
        a->setLabelFormat(QStringLiteral("%.1f"));
        a->setGridLinePen(grid);
        a->setLinePen(QPen(Qt::black));
        a->setMinorTickCount(0);
        a->setTickCount(6);
        QFont f = font();
        if (large) f.setPixelSize(14);
        a->setTitleFont(f);
        a->setTitleBrush(Qt::black);
        QFont lf = font();
        if (large) lf.setPixelSize(12);
        a->setLabelsFont(lf);
        a->setLabelsBrush(Qt::black);
        a->setTruncateLabels(false);
    }
    axisX_->setTitleText(tr("Log t (часов)"));
    axisY_->setTitleText(tr("Log N (отказов)"));
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
    explorer_ = new ChartExplorer(this);
    // What the logarithms stand for: the operating time and the failures counted by
    // then (on the straight line, the count it predicts).
    explorer_->SetPointNote([this](const QAbstractSeries* s, const QPointF& p) {
        const QLocale l;
        const QString n =
            s == series1_ ? l.toString(std::lround(std::exp(p.y()))) : l.toString(std::exp(p.y()), 'f', 1);
        return tr("t = %1 ч, N = %2").arg(l.toString(std::exp(p.x()), 'f', 1), n);
    });
}

void LnChart::SetPoints(const Points& failures, const Points& line) {
    // New points are shown whole, whatever part of the former ones was in view.
    chart_->zoomReset();
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
    axisX_->setTickCount(6);
    axisY_->setTickCount(6);
    if (!any) {
        axisX_->setRange(0.0, 1.0);
        axisY_->setRange(0.0, 1.0);
        return;
    }
    const double span = xmax - xmin;
    const double pad = span > 0.0 ? span * 0.04 : 0.5;
    // Round numbers at the ticks; the left axis still starts at 0.
    axisX_->setRange(xmin - pad, xmax + pad);
    axisX_->applyNiceNumbers();
    axisY_->setRange(0.0, ymax > 0.0 ? ymax * 1.04 : 1.0);
    axisY_->applyNiceNumbers();
}

void LnChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    emit Resized();
}

}  // namespace relan
