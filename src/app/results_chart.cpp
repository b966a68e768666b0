#include "results_chart.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QSplineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart_legend.h"
#include "chart_tools.h"
#include "chart_style.h"
#include "results/out_results.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A dynamic property of the axes: their titles as written.
const char* const kPlainTitle = "relanPlainTitle";

QValueAxis* MakeValueAxis(QChart* chart, Qt::Alignment where, const QString& title) {
    auto* a = new QValueAxis;
    a->setTitleText(title);
    a->setProperty(kPlainTitle, title);
    a->setTitleFont(FontOf({QStringLiteral("Segoe UI")}, 12));
    a->setLabelsFont(FontOf({QStringLiteral("Segoe UI")}, 11));
    a->setLabelFormat(QStringLiteral("%.4g"));
    // The chart sizes its axes at the first output; later outputs may bring longer
    // labels, which must not be cut to "0...".
    a->setTruncateLabels(false);
    chart->addAxis(a, where);
    return a;
}

// The bottom axis: a value axis whose labels stand at the ordinal positions of
// the intervals, so that lines and bars of one interval share one position.
QCategoryAxis* MakeCategoryAxis(QChart* chart, const QString& title) {
    auto* a = new QCategoryAxis;
    a->setTitleText(title);
    a->setProperty(kPlainTitle, title);
    a->setTitleFont(FontOf({QStringLiteral("Segoe UI")}, 12));
    a->setLabelsFont(FontOf({QStringLiteral("Segoe UI")}, 11));
    a->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    a->setGridLineVisible(false);
    a->setRange(-0.5, 0.5);
    a->setStartValue(-0.5);
    chart->addAxis(a, Qt::AlignBottom);
    return a;
}

// Range of a value axis over what its series show; `withZero` keeps 0 in view
// (bars and filled areas stand on it).
void FitRange(QValueAxis* axis, double lo, double hi, bool withZero) {
    if (withZero) {
        lo = std::min(lo, 0.0);
        hi = std::max(hi, 0.0);
    }
    if (!(lo <= hi)) {  // no point at all
        lo = 0.0;
        hi = 1.0;
    }
    if (hi - lo < 1e-12 * std::max(1.0, std::fabs(hi))) {
        const double pad = hi == 0.0 ? 1.0 : std::fabs(hi) * 0.1;
        hi += pad;
        if (!withZero || lo != 0.0) lo -= pad;
    } else if (!withZero) {
        const double pad = (hi - lo) * 0.04;
        lo -= pad;
        hi += pad;
    }
    axis->setRange(lo, hi);
    axis->applyNiceNumbers();
}

// A text split into two lines at the blank nearest its middle (rich text break).
QString TwoLines(const QString& text) {
    const qsizetype mid = text.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char(' ') && (best < 0 || std::abs(i - mid) < std::abs(best - mid))) best = i;
    if (best <= 0) return text;
    return text.left(best) + QStringLiteral("<br>") + text.mid(best + 1);
}

// The points of a series as drawn: a step series holds each value from its position
// to the next one, where it rises (or falls) to the next value.
QList<QPointF> DrawnPoints(const rel::ChartSeries& s, bool lowEdge = false) {
    QList<QPointF> out;
    const rel::ChartPoint* prev = nullptr;
    for (const rel::ChartPoint& p : s.Points) {
        const double y = lowEdge ? p.low : p.y;
        if (s.Step && prev) out.append(QPointF(p.x, lowEdge ? prev->low : prev->y));
        out.append(QPointF(p.x, y));
        prev = &p;
    }
    return out;
}

}  // namespace

ResultsChart::ResultsChart(const char* name, const QString& title, bool boldTitle, const AxisTitles& axes,
                           QWidget* parent)
    : QChartView(parent), plainTitle_(title), titlePixels_(boldTitle ? 15 : 13) {
    auto* chart = new QChart;
    chart->setBackgroundBrush(Qt::white);
    // Lines of the title break as rich text; the plain lines are kept for fitting.
    chart->setTitle(QString(title).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    chart->setTitleFont(FontOf({QStringLiteral("Segoe UI")}, boldTitle ? 15 : 13, boldTitle));
    chart->setTitleBrush(Qt::black);
    chart->setLocalizeNumbers(true);
    chart->setMargins(QMargins(4, 2, 4, 2));
    chart->legend()->setFont(FontOf({QStringLiteral("Segoe UI")}, 11));
    chart->legend()->setShowToolTips(true);
    // The view releases the chart it made for itself without deleting it.
    QChart* own = this->chart();
    setChart(chart);
    delete own;
    setObjectName(QLatin1String(name));
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);

    // Axes with their titles; the bottom axis shows the interval end times.
    bottom_ = MakeCategoryAxis(chart, axes.bottom);
    left_ = MakeValueAxis(chart, Qt::AlignLeft, axes.left);
    right_ = MakeValueAxis(chart, Qt::AlignRight, axes.right);
    if (axes.rightFixed) {
        right_->setRange(0.0, 100.0);
        rightFixed_ = true;
    }
    if (!axes.top.isEmpty()) top_ = MakeValueAxis(chart, Qt::AlignTop, axes.top);

    legend_ = std::make_unique<WrapLegend>(chart);
    // A point's position on the bottom axis reads as the end time of its interval.
    explorer_ = new ChartExplorer(this, [this](double x) {
        const long i = std::lround(x);
        if (i < 0 || i >= labels_.size()) return QLocale().toString(x, 'g', 6);
        return QString(labels_[i]).remove(QChar(0x200B));
    });
    // A band's tooltip shows its upper edge on the axis and its lower edge beneath.
    explorer_->SetPointNote([](const QAbstractSeries* series, const QPointF& point) -> QString {
        const auto* band = qobject_cast<const QAreaSeries*>(series);
        if (!band || !band->lowerSeries() || !band->upperSeries()) return {};
        const QList<QPointF> upper = band->upperSeries()->points();
        const QList<QPointF> lower = band->lowerSeries()->points();
        for (qsizetype i = 0; i < upper.size() && i < lower.size(); ++i)
            if (upper[i] == point) return tr("Нижняя граница: %1").arg(QLocale().toString(lower[i].y(), 'g', 6));
        return {};
    });
    // The interval labels and the value marks follow the chart when it is zoomed or moved.
    connect(explorer_, &ChartExplorer::ViewChanged, this, [this] {
        PlaceLabels();
        PlaceMarks();
    });
    connect(chart, &QChart::plotAreaChanged, this, [this] {
        PlaceLabels();
        FitAxisTitles();
        PlaceMarks();
    });
    connect(chart, &QGraphicsWidget::geometryChanged, this, [this] {
        FitTitle();
        legend_->Place();
    });
}

ResultsChart::~ResultsChart() = default;

void ResultsChart::Draw(const rel::ChartContent& content) {
    QChart* const chart = this->chart();
    // A new output is shown whole, whatever part of the previous one was in view.
    chart->zoomReset();
    for (Marks& m : marks_)
        for (auto& item : m.items) delete item.second;
    marks_.clear();
    // Every series of the previous output goes, cause bars included (an area's
    // line goes with it: the area owns it).
    chart->removeAllSeries();

    // Bottom axis: one position per interval with failures, labelled with its end
    // time. Equal labels (two intervals ending within the same hour) get invisible
    // distinct endings, since the axis keeps one label per distinct text.
    QStringList labels;
    for (const std::string& l : content.Labels) {
        QString t = Q(l);
        while (labels.contains(t)) t += QChar(0x200B);
        labels << t;
    }
    const int n = static_cast<int>(labels.size());
    labels_ = labels;
    labelStep_ = 0;
    bottom_->setRange(-0.5, std::max(0.5, n - 0.5));

    const double inf = std::numeric_limits<double>::infinity();
    double loL = inf, hiL = -inf, loR = inf, hiR = -inf, loT = inf, hiT = -inf;
    auto extend = [](double& lo, double& hi, double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    };

    std::vector<LegendEntry> entries;
    // Several bar series share a category side by side; each bar fills its share,
    // so the empty share of the inactive bar series parts the groups.
    for (const rel::ChartSeries& s : content.Series) {
        const QString title = Q(s.Title);
        const QColor color = ColorOf(s.Color);
        QAbstractSeries* made = nullptr;
        QXYSeries* xy = nullptr;
        switch (s.Kind) {
            case rel::SeriesKind::Bar: {
                QAbstractBarSeries* bars = nullptr;
                if (s.Active) {
                    bars = new QBarSeries;
                } else {
                    bars = new QStackedBarSeries;  // the design-time bars, stacked and never drawn
                }
                bars->setBarWidth(1.0);
                if (s.Active) {
                    auto* set = new QBarSet(title);
                    QList<qreal> values(n, 0.0);
                    for (const rel::ChartPoint& p : s.Points) {
                        const int i = static_cast<int>(p.x);
                        if (i >= 0 && i < n) values[i] = p.y;
                    }
                    set->append(values);
                    set->setColor(WithTransparency(color, s.Transparency));
                    set->setBorderColor(WithTransparency(BarBorder(s.Color), s.Transparency));
                    bars->append(set);
                }
                bars->setLabelsVisible(s.Marks);
                made = bars;
                break;
            }
            case rel::SeriesKind::Area: {
                auto* area = new QAreaSeries;
                auto* line = new QLineSeries(area);  // owned by the area
                for (const rel::ChartPoint& p : s.Points) line->append(p.x, p.y);
                area->setUpperSeries(line);
                // A light fill under the curve, the curve in the series' colour.
                QColor fill = color;
                fill = QColor::fromRgbF(1.0 - (1.0 - fill.redF()) * 0.35, 1.0 - (1.0 - fill.greenF()) * 0.35,
                                        1.0 - (1.0 - fill.blueF()) * 0.35);
                area->setBrush(WithTransparency(fill, s.Transparency));
                QPen border(LineColor(s.Color));
                border.setWidthF(1.5);
                area->setPen(border);
                made = area;
                break;
            }
            case rel::SeriesKind::Band: {
                // Filled between the lower and upper edges, without border lines.
                auto* band = new QAreaSeries;
                auto* upper = new QLineSeries(band);
                auto* lower = new QLineSeries(band);
                upper->append(DrawnPoints(s));
                lower->append(DrawnPoints(s, true));
                band->setUpperSeries(upper);
                band->setLowerSeries(lower);
                band->setBrush(WithTransparency(color, s.Transparency));
                band->setPen(Qt::NoPen);
                made = band;
                break;
            }
            case rel::SeriesKind::Line:
                xy = new QLineSeries;
                break;
            case rel::SeriesKind::SmoothLine:
                xy = new QSplineSeries;
                break;
        }
        if (xy) {
            xy->append(DrawnPoints(s));
            QPen pen(WithTransparency(LineColor(s.Color), s.Transparency));
            pen.setWidthF(s.LineWidth > 0 ? s.LineWidth : 2.0);
            if (s.Dashed) pen.setStyle(Qt::DashLine);
            if (s.CrossMarkSize > 0) {
                pen.setWidthF(1.0);
                const int half = s.CrossMarkSize + 1;
                xy->setLightMarker(CrossImage(color, half));
                xy->setMarkerSize(2 * half + 2);
                xy->setPointsVisible(true);
            }
            xy->setPen(pen);
            made = xy;
        }
        made->setObjectName(Q(s.Name));
        if (!title.isEmpty()) made->setName(title);
        chart->addSeries(made);

        QValueAxis* vertical = s.Vertical == rel::VAxis::Right ? right_ : left_;
        QAbstractAxis* horizontal = bottom_;
        if (s.Horizontal == rel::HAxis::Top && top_) horizontal = top_;
        made->attachAxis(horizontal);
        made->attachAxis(vertical);
        made->setVisible(s.Active);
        for (QLegendMarker* m : chart->legend()->markers(made)) m->setVisible(s.Active && s.InLegend);
        if (s.Active && s.InLegend) {
            LegendEntry e;
            e.text = title;
            if (xy) {
                e.pen = xy->pen();
                e.line = content.ContinuousLegendSymbols;
                e.brush = e.pen.color();
            } else if (auto* area = qobject_cast<QAreaSeries*>(made)) {
                e.pen = area->pen();
                e.brush = area->brush();
                if (s.Kind == rel::SeriesKind::Band) e.pen = QPen(WithTransparency(color, s.Transparency));
            } else {
                e.brush = WithTransparency(color, s.Transparency);
                e.pen = QPen(BarBorder(s.Color));
            }
            if (!e.line) {
                e.pen.setStyle(Qt::SolidLine);
                e.pen.setWidthF(1.0);
            }
            entries.push_back(std::move(e));
        }

        if (s.Active) {
            for (const rel::ChartPoint& p : s.Points) {
                const double low = s.Kind == rel::SeriesKind::Band ? p.low : p.y;
                if (vertical == left_) {
                    extend(loL, hiL, p.y);
                    extend(loL, hiL, low);
                } else {
                    extend(loR, hiR, p.y);
                    extend(loR, hiR, low);
                }
                if (horizontal == top_) extend(loT, hiT, p.x);
            }
        }
        if (s.Marks && xy) {
            Marks m;
            m.series = xy;
            const QFont markFont = FontOf({QStringLiteral("Segoe UI")}, 10);
            for (const rel::ChartPoint& p : s.Points) {
                auto* item = new QGraphicsSimpleTextItem(Q(p.mark), chart);
                item->setFont(markFont);
                item->setBrush(QColor(40, 40, 40));
                item->setZValue(20);
                m.items.emplace_back(QPointF(p.x, p.y), item);
            }
            marks_.push_back(std::move(m));
        }
    }

    FitRange(left_, loL, hiL, true);
    if (rightFixed_)
        right_->setRange(0.0, 100.0);
    else
        FitRange(right_, loR, hiR, top_ == nullptr);
    if (top_) FitRange(top_, loT, hiT, false);

    // The toolkit's legend markers say which series have an entry; the entries
    // are drawn by the chart's own wrapping legend.
    chart->legend()->setVisible(false);
    legend_->Show(std::move(entries), content.LegendVisible);
    PlaceLabels();
    PlaceMarks();
}

void ResultsChart::PlaceLabels() {
    // Every label of the intervals in view where they fit side by side, otherwise
    // every k-th one; a zoomed chart labels the intervals it shows.
    const int n = static_cast<int>(labels_.size());
    const int first = std::clamp(static_cast<int>(std::ceil(bottom_->min() - 1e-9)), 0, std::max(0, n - 1));
    const int last = std::clamp(static_cast<int>(std::floor(bottom_->max() + 1e-9)), -1, n - 1);
    const int shown = std::max(0, last - first + 1);
    const QFontMetrics fm(bottom_->labelsFont());
    int widest = 1;
    for (const QString& l : labels_) widest = std::max(widest, fm.horizontalAdvance(l));
    const double width = std::max(1.0, chart()->plotArea().width());
    const int step =
        shown == 0 ? 1 : std::clamp(static_cast<int>(std::ceil((widest + 10.0) * shown / width)), 1, shown);
    if (step == labelStep_ && first == labelFirst_ && last == labelLast_) return;
    labelStep_ = step;
    labelFirst_ = first;
    labelLast_ = last;
    for (const QString& l : bottom_->categoriesLabels()) bottom_->remove(l);
    // The labels keep their places on the whole chart (every k-th from the first).
    for (int i = first + (step - first % step) % step; i <= last; i += step) bottom_->append(labels_[i], i);
    bottom_->setStartValue(-0.5);
}

void ResultsChart::PlaceMarks() {
    // Each mark above its point; a mark that would overlap the one shown before it
    // is left out until the chart is large enough for both.
    for (Marks& m : marks_) {
        const QRectF area = chart()->plotArea();
        QRectF shown;
        for (auto& [point, item] : m.items) {
            const QPointF at = chart()->mapToPosition(point, m.series);
            const QRectF r = item->boundingRect();
            item->setPos(at.x() - r.width() / 2.0, at.y() - r.height() - 5.0);
            const QRectF placed(item->pos(), r.size());
            const bool visible =
                area.adjusted(-1, -1, 1, 1).contains(at) && !placed.adjusted(-2, 0, 2, 0).intersects(shown);
            item->setVisible(visible);
            if (visible) shown = placed;
        }
    }
}

void ResultsChart::FitTitle() {
    QChart* const chart = this->chart();
    // The chart's title in its designed size, smaller when a line would not fit
    // the chart's width (down to 10 pixels).
    const QStringList lines = plainTitle_.split(QLatin1Char('\n'));
    const int designed = titlePixels_;
    const qreal avail = chart->size().width() - 24.0;
    if (avail < 50.0 || designed <= 0) return;
    QFont f = chart->titleFont();
    int px = designed;
    auto widest = [&](const QFont& font) {
        const QFontMetricsF fm(font);
        qreal w = 0;
        for (const QString& l : lines) w = std::max(w, fm.horizontalAdvance(l));
        return w;
    };
    f.setPixelSize(px);
    while (px > 10 && widest(f) > avail) f.setPixelSize(--px);
    if (f.pixelSize() != chart->titleFont().pixelSize()) chart->setTitleFont(f);
}

void ResultsChart::FitAxisTitles() {
    QChart* const chart = this->chart();
    // An axis title longer than its side of the plot goes on two lines.
    const QRectF plot = chart->plotArea();
    if (plot.width() < 50.0 || plot.height() < 50.0) return;
    for (QAbstractAxis* a : chart->axes()) {
        const QString plain = a->property(kPlainTitle).toString();
        if (plain.isEmpty()) continue;
        const qreal avail = (a->orientation() == Qt::Vertical ? plot.height() : plot.width()) - 8.0;
        const QString want =
            QFontMetricsF(a->titleFont()).horizontalAdvance(plain) > avail ? TwoLines(plain) : plain;
        if (a->titleText() != want) a->setTitleText(want);
    }
}

}  // namespace relan
