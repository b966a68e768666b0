#include "ml_panel.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QLabel>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "chart_style.h"
#include "chart_tools.h"
#include "results/ml_summary.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLabel* Text(QWidget* parent, const QString& name, const QFont& font, bool wrap) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFont(font);
    l->setWordWrap(wrap);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// A table's rows of the previous output go.
void ClearGrid(QGridLayout* grid) {
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

// A chart's series and axes of the previous output go.
void ClearChart(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes()) {
        chart->removeAxis(a);
        delete a;
    }
}

// The text of a table's body cell (row 0 is the first under the heads).
QString BodyCell(const QGridLayout* grid, int row, int column) {
    QLayoutItem* item = grid->itemAtPosition(row + 1, column);
    auto* l = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    return l ? l->text() : QString();
}

}  // namespace

MlPanel::MlPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("MlPanel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 6, 8, 6);
    outer->setSpacing(6);
    title_ = Text(this, QStringLiteral("MlTitle"), FontOf({QStringLiteral("Segoe UI")}, 14, true), true);
    outer->addWidget(title_);
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(3);
    outer->addLayout(grid_);
    verdict_ = Text(this, QStringLiteral("MlVerdict"), FontOf({QStringLiteral("Segoe UI")}, 12, true), true);
    outer->addWidget(verdict_);
    notes_ = Text(this, QStringLiteral("MlNotes"), FontOf({QStringLiteral("Segoe UI")}, 12), true);
    notes_->setStyleSheet(QStringLiteral("color: #8b0000;"));
    outer->addWidget(notes_);
    // A fleet in service: the forecast below the estimates.
    forecastTitle_ =
        Text(this, QStringLiteral("ForecastTitle"), FontOf({QStringLiteral("Segoe UI")}, 13, true), true);
    outer->addWidget(forecastTitle_);
    forecastRemaining_ =
        Text(this, QStringLiteral("ForecastRemaining"), FontOf({QStringLiteral("Segoe UI")}, 12, true), true);
    outer->addWidget(forecastRemaining_);
    forecastGrid_ = new QGridLayout;
    forecastGrid_->setHorizontalSpacing(8);
    forecastGrid_->setVerticalSpacing(1);
    outer->addLayout(forecastGrid_);
    auto* chart = new QChart;
    chart->setObjectName(QStringLiteral("ForecastChartScene"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(2, 2, 2, 2));
    forecastView_ = new QChartView(chart, this);
    forecastView_->setObjectName(QStringLiteral("ForecastChart"));
    forecastView_->setRenderHint(QPainter::Antialiasing);
    forecastView_->setMinimumSize(200, 260);
    outer->addWidget(forecastView_);
    forecastExplorer_ = new ChartExplorer(forecastView_);
    for (QWidget* w : std::initializer_list<QWidget*>{forecastTitle_, forecastRemaining_, forecastView_})
        w->hide();
    // Model 3 per cause below.
    causesTitle_ = Text(this, QStringLiteral("CausesTitle"), FontOf({QStringLiteral("Segoe UI")}, 13, true), true);
    outer->addWidget(causesTitle_);
    causesGrid_ = new QGridLayout;
    causesGrid_->setHorizontalSpacing(8);
    causesGrid_->setVerticalSpacing(2);
    outer->addLayout(causesGrid_);
    causesVerdict_ =
        Text(this, QStringLiteral("CausesVerdict"), FontOf({QStringLiteral("Segoe UI")}, 12, true), true);
    outer->addWidget(causesVerdict_);
    causesNotes_ = Text(this, QStringLiteral("CausesNotes"), FontOf({QStringLiteral("Segoe UI")}, 11), true);
    causesNotes_->setStyleSheet(QStringLiteral("color: #8b0000;"));
    outer->addWidget(causesNotes_);
    auto* causesChart = new QChart;
    causesChart->setObjectName(QStringLiteral("CausesChartScene"));
    causesChart->legend()->hide();
    causesChart->setMargins(QMargins(2, 2, 2, 2));
    causesView_ = new QChartView(causesChart, this);
    causesView_->setObjectName(QStringLiteral("CausesChart"));
    causesView_->setRenderHint(QPainter::Antialiasing);
    causesView_->setMinimumSize(200, 240);
    outer->addWidget(causesView_);
    causesExplorer_ = new ChartExplorer(causesView_);
    for (QWidget* w : std::initializer_list<QWidget*>{causesTitle_, causesVerdict_, causesNotes_, causesView_})
        w->hide();
    outer->addStretch(1);
    // No fixed minimum: the panel is never narrower than its figures and the
    // interval column need (a fixed one would let the layout cut them off).
    hide();
}

void MlPanel::Show(const std::optional<rel::MlSummary>& summary) {
    // The rows of the previous output go.
    ClearGrid(grid_);
    rows_ = 0;
    if (!summary) {
        hide();
        return;
    }
    // The heading on two lines, the model's name above what the panel holds.
    QString title = Q(summary->title);
    const qsizetype colon = title.indexOf(QStringLiteral(": "));
    if (colon > 0) title = title.left(colon + 1) + QLatin1Char('\n') + title.mid(colon + 2);
    title_->setText(title);
    const QFont body = FontOf({QStringLiteral("Segoe UI")}, 12);
    QFont head = body;
    head.setBold(true);
    const QString heads[] = {tr("Показатель"), tr("Оценка"), tr("95% интервал")};
    for (int c = 0; c < 3; ++c) grid_->addWidget(Text(this, QStringLiteral("MlHead%1").arg(c), head, false), 0, c);
    for (int c = 0; c < 3; ++c) static_cast<QLabel*>(grid_->itemAtPosition(0, c)->widget())->setText(heads[c]);
    for (const rel::MlSummaryRow& r : summary->rows) {
        const int row = ++rows_;
        const QString texts[] = {Q(r.label), Q(r.estimate), Q(r.interval)};
        for (int c = 0; c < 3; ++c) {
            QLabel* l = Text(this, QStringLiteral("MlRow%1_%2").arg(row - 1).arg(c), body, c == 0);
            l->setText(texts[c]);
            if (c > 0) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid_->addWidget(l, row, c);
        }
    }
    grid_->setColumnStretch(0, 1);
    verdict_->setText(Q(summary->verdict));
    verdict_->setVisible(!summary->verdict.empty());
    QStringList notes;
    for (const std::string& n : summary->notes) notes << Q(n);
    notes_->setText(notes.join(QLatin1Char('\n')));
    notes_->setVisible(!notes.isEmpty());
    ShowForecast(summary->forecast);
    ShowCauses(summary->causes);
    show();
}

void MlPanel::ShowCauses(const std::optional<rel::CausesSummary>& causes) {
    ClearGrid(causesGrid_);
    causesRows_ = 0;
    QChart* chart = causesView_->chart();
    ClearChart(chart);
    const bool shown = causes.has_value();
    for (QWidget* w : std::initializer_list<QWidget*>{causesTitle_, causesView_}) w->setVisible(shown);
    causesVerdict_->setVisible(shown && !causes->verdict.empty());
    causesNotes_->setVisible(shown && !causes->notes.empty());
    if (!shown) return;
    causesTitle_->setText(Q(causes->title));
    causesVerdict_->setText(Q(causes->verdict));
    QStringList notes;
    for (const std::string& n : causes->notes) notes << Q(n);
    causesNotes_->setText(notes.join(QLatin1Char('\n')));

    // Four columns, as narrow as the panel: the cause with its failures, the shape, the
    // failures per product by 4000 h, the claims within warranty with the cause's share;
    // a row's tooltip holds all its figures.
    const QFont body = FontOf({QStringLiteral("Segoe UI")}, 11);
    QFont head = body;
    head.setBold(true);
    const auto& cols = causes->columns;
    const QString heads[4] = {Q(cols[0]) + QStringLiteral(" (") + Q(cols[1]).toLower() + QLatin1Char(')'),
                              Q(cols[2]), Q(cols[5]), Q(cols[6]) + QLatin1Char('\n') + Q(cols[7])};
    for (int c = 0; c < 4; ++c) {
        QLabel* l = Text(this, QStringLiteral("CausesHead%1").arg(c), head, true);
        l->setText(heads[c]);
        l->setAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignBottom);
        causesGrid_->addWidget(l, 0, c);
    }
    for (const auto& row : causes->rows) {
        const int r = ++causesRows_;
        const QString texts[4] = {Q(row[0]) + QStringLiteral(" (") + Q(row[1]) + QLatin1Char(')'), Q(row[2]),
                                  Q(row[5]), Q(row[6]) + QLatin1Char('\n') + Q(row[7]) + QStringLiteral(" %")};
        QStringList tip;
        for (std::size_t c = 0; c < cols.size(); ++c) tip << Q(cols[c]) + QStringLiteral(": ") + Q(row[c]);
        for (int c = 0; c < 4; ++c) {
            QLabel* l = Text(this, QStringLiteral("CausesRow%1_%2").arg(r - 1).arg(c), body, c == 0);
            l->setText(texts[c]);
            l->setToolTip(tip.join(QLatin1Char('\n')));
            l->setAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            causesGrid_->addWidget(l, r, c);
        }
    }
    causesGrid_->setColumnStretch(0, 1);

    // The expected claims per product within warranty by cause: a bar each, the largest
    // at the top, with its 95 % interval as a whisker.
    std::vector<std::size_t> order;
    const auto& fits = causes->figures.causes;
    for (std::size_t i = 0; i < fits.size(); ++i)
        if (std::isfinite(fits[i].Claims.est)) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return fits[a].Claims.est > fits[b].Claims.est; });
    chart->setTitle(Q(causes->chartTitle));
    auto* y = new QCategoryAxis;
    y->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    y->setGridLineVisible(false);
    const int n = static_cast<int>(order.size());
    y->setRange(-0.5, std::max(0.5, n - 0.5));
    y->setStartValue(-0.5);
    auto* x = new QValueAxis;
    x->setTitleText(Q(causes->chartAxis));
    double top = 0;
    for (int k = 0; k < n; ++k) {
        const rel::MlCauseFit& f = fits[order[static_cast<std::size_t>(k)]];
        const double at = n - 1 - k;  // the largest at the top
        auto* upper = new QLineSeries;
        auto* lower = new QLineSeries;
        upper->append({QPointF(0, at + 0.3), QPointF(f.Claims.est, at + 0.3)});
        lower->append({QPointF(0, at - 0.3), QPointF(f.Claims.est, at - 0.3)});
        auto* bar = new QAreaSeries(upper, lower);
        upper->setParent(bar);
        lower->setParent(bar);
        bar->setName(Q(causes->rows[order[static_cast<std::size_t>(k)]][0]));
        bar->setObjectName(QStringLiteral("CauseBar%1").arg(k));
        bar->setColor(QColor(70, 130, 180, 170));
        bar->setBorderColor(QColor(40, 80, 130));
        chart->addSeries(bar);
        top = std::max(top, f.Claims.est);
        if (std::isfinite(f.Claims.lo) && std::isfinite(f.Claims.hi)) {
            auto* whisker = new QLineSeries;
            whisker->setName(bar->name() + QStringLiteral(" [95%]"));
            whisker->setObjectName(QStringLiteral("CauseInterval%1").arg(k));
            whisker->append({QPointF(f.Claims.lo, at), QPointF(f.Claims.hi, at)});
            QPen pen(QColor(20, 20, 20));
            pen.setWidthF(2);
            whisker->setPen(pen);
            chart->addSeries(whisker);
            top = std::max(top, f.Claims.hi);
        }
    }
    // The axis takes its categories from the bottom up; it keeps distinct labels only.
    for (int k = n - 1; k >= 0; --k) {
        QString label = Q(causes->rows[order[static_cast<std::size_t>(k)]][0]);
        while (y->categoriesLabels().contains(label)) label += QChar(0x200B);
        y->append(label, n - 1 - k);
    }
    x->setRange(0, top > 0 ? top * 1.05 : 1);
    x->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

QString MlPanel::CausesCell(int row, int column) const { return BodyCell(causesGrid_, row, column); }

QString MlPanel::CausesVerdict() const { return causesVerdict_->isHidden() ? QString() : causesVerdict_->text(); }

void MlPanel::ShowForecast(const std::optional<rel::ForecastSummary>& forecast) {
    ClearGrid(forecastGrid_);
    forecastRows_ = 0;
    QChart* chart = forecastView_->chart();
    ClearChart(chart);
    const bool shown = forecast.has_value();
    for (QWidget* w : std::initializer_list<QWidget*>{forecastTitle_, forecastRemaining_}) w->setVisible(shown);
    forecastView_->setVisible(shown && !forecast->rows.empty());
    if (!shown) return;
    forecastTitle_->setText(Q(forecast->title));
    forecastRemaining_->setText(Q(forecast->remaining));
    if (forecast->rows.empty()) return;

    // Three columns, so that the panel stays as narrow as the estimates above: the month,
    // the month's claims with their interval, and the claims from now to the month's end.
    const QFont body = FontOf({QStringLiteral("Segoe UI")}, 11);
    QFont head = body;
    head.setBold(true);
    const auto& cols = forecast->columns;
    const QString heads[3] = {Q(cols[0]), Q(cols[1]) + QLatin1Char('\n') + Q(cols[2]),
                              Q(cols[3]) + QLatin1Char('\n') + Q(cols[4])};
    for (int c = 0; c < 3; ++c) {
        QLabel* l = Text(this, QStringLiteral("ForecastHead%1").arg(c), head, true);
        l->setText(heads[c]);
        l->setAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignBottom);
        forecastGrid_->addWidget(l, 0, c);
    }
    for (const auto& row : forecast->rows) {
        const int r = ++forecastRows_;
        const QString texts[3] = {Q(row[0]), Q(row[1]) + QLatin1Char(' ') + Q(row[2]),
                                  Q(row[3]) + QLatin1Char(' ') + Q(row[4])};
        for (int c = 0; c < 3; ++c) {
            QLabel* l = Text(this, QStringLiteral("ForecastRow%1_%2").arg(r - 1).arg(c), body, false);
            l->setText(texts[c]);
            l->setAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            forecastGrid_->addWidget(l, r, c);
        }
    }

    // Claims a month: the expected count and the band of its predictive interval.
    const rel::MlForecast& f = forecast->figures;
    auto* expected = new QLineSeries;
    expected->setName(tr("Ожидается"));
    expected->setObjectName(QStringLiteral("ForecastExpected"));
    auto* lo = new QLineSeries;
    auto* hi = new QLineSeries;
    double top = 1;
    for (const rel::MlForecastMonth& m : f.Months) {
        expected->append(m.Month, m.Expected);
        lo->append(m.Month, std::isfinite(m.Lo) ? m.Lo : m.Expected);
        hi->append(m.Month, std::isfinite(m.Hi) ? m.Hi : m.Expected);
        top = std::max({top, m.Expected, std::isfinite(m.Hi) ? m.Hi : 0.0});
    }
    auto* band = new QAreaSeries(hi, lo);
    // The band owns its edges (the area series does not): they go when the chart drops it.
    hi->setParent(band);
    lo->setParent(band);
    band->setName(tr("95% прогнозный интервал"));
    band->setObjectName(QStringLiteral("ForecastBand"));
    band->setColor(QColor(70, 130, 180, 70));
    band->setBorderColor(QColor(70, 130, 180, 140));
    QPen pen(QColor(0, 70, 140));
    pen.setWidth(2);
    expected->setPen(pen);
    chart->addSeries(band);
    chart->addSeries(expected);
    chart->setTitle(tr("Прогноз отказов по месяцам"));
    auto* x = new QValueAxis;
    x->setTitleText(tr("Месяц"));
    x->setRange(1, std::max<double>(2, static_cast<double>(f.Months.size())));
    x->setLabelFormat(QStringLiteral("%d"));
    x->setTickCount(static_cast<int>(std::min<std::size_t>(f.Months.size(), 12)));
    auto* y = new QValueAxis;
    y->setTitleText(tr("Отказов в месяц"));
    y->setRange(0, top * 1.1);
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

QString MlPanel::ForecastCell(int row, int column) const { return BodyCell(forecastGrid_, row, column); }

QString MlPanel::Cell(int row, int column) const { return BodyCell(grid_, row, column); }

}  // namespace relan
