#include "form5.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplineSeries>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "printing.h"
#include "results/out_results.h"
#include "captions.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Dynamic properties of charts and axes: their titles as written (lines
// separated by '\n') and the designed pixel size of a chart's title.
const char* const kPlainTitle = "relanPlainTitle";
const char* const kTitlePixels = "relanTitlePixels";

// Fonts that render Cyrillic: the designed face where the system has it, else
// DejaVu Sans, which every Linux desktop of ours carries.
QFont FontOf(const QStringList& families, int pixels, bool bold = false) {
    QFont f;
    QStringList all = families;
    all << QStringLiteral("DejaVu Sans");
    f.setFamilies(all);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The table's font: "MS Sans Serif" of 17 pixels as designed; the narrower
// DejaVu Sans Condensed at 14 pixels in its place keeps the designed column
// widths readable (a column is widened where a text is still wider).
QFont GridFont() {
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif")});
    f.setPixelSize(17);
    if (QFontInfo(f).family() == QStringLiteral("MS Sans Serif")) return f;
    return FontOf({QStringLiteral("DejaVu Sans Condensed")}, 13);
}

QColor ColorOf(const rel::Rgb& c) { return QColor(c.r, c.g, c.b); }

// Transparency in percent (0 = opaque) as the colour's alpha.
QColor WithTransparency(QColor c, int transparency) {
    c.setAlphaF(std::clamp(100 - transparency, 0, 100) / 100.0);
    return c;
}

// Pale palette colours (lime, aqua, yellow) are darkened for lines on the white
// chart, so that every model line stays readable on screen and on paper.
QColor LineColor(const rel::Rgb& c) {
    const double luminance = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    QColor q = ColorOf(c);
    return luminance > 140.0 ? q.darker(150) : q;
}

// The border of a bar: a darker shade of its fill, grey for white ("Другие").
QColor BarBorder(const rel::Rgb& c) {
    QColor q = ColorOf(c);
    if (q.lightness() > 200) return QColor(110, 110, 110);
    return q.darker(160);
}

// The cross marks of Series18: a small green cross image.
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

QChartView* MakeChart(QWidget* parent, const char* name, const QString& title, bool boldTitle) {
    auto* chart = new QChart;
    chart->setBackgroundBrush(Qt::white);
    // Lines of the title break as rich text; the plain lines are kept for fitting.
    chart->setTitle(QString(title).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    chart->setProperty(kPlainTitle, title);
    chart->setProperty(kTitlePixels, boldTitle ? 15 : 13);
    chart->setTitleFont(FontOf({QStringLiteral("Segoe UI")}, boldTitle ? 15 : 13, boldTitle));
    chart->setTitleBrush(Qt::black);
    chart->setLocalizeNumbers(true);
    chart->setMargins(QMargins(4, 2, 4, 2));
    chart->legend()->setFont(FontOf({QStringLiteral("Segoe UI")}, 11));
    chart->legend()->setShowToolTips(true);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    return view;
}

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

}  // namespace

TForm5::TForm5(QWidget* mainWindow, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), mainWindow_(mainWindow), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Количественный анализ закона распределения отказов. Анализ надежности в "
                                  "эксплуатации.") +
                   VersionNotice());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    Sheet = new QWidget;
    Sheet->setObjectName(QStringLiteral("Form5Sheet"));
    Sheet->setWindowTitle(windowTitle());  // the document name when the sheet is printed
    Sheet->setBackgroundRole(QPalette::Button);
    Sheet->setAutoFillBackground(true);

    Chart3 = MakeChart(Sheet, "Chart3",
                       QStringLiteral("Отказы - факт и с коррекцией по выбыванию из гарантии, Ln количества\n"
                                      "Если поток снижается, параметры гарантийного срока завышены "),
                       false);
    Chart1 = MakeChart(Sheet, "Chart1", QStringLiteral("Изменение потока отказов в течение гарантийного периода"),
                       true);
    Chart2 = MakeChart(Sheet, "Chart2", QStringLiteral("Интегральные (накопленные) оценки потока отказов"), true);
    Chart1->chart()->legend()->setAlignment(Qt::AlignBottom);
    Chart2->chart()->legend()->hide();
    Chart3->chart()->legend()->hide();

    // Axes with their titles; the bottom axes show the interval end times.
    {
        QChart* c = Chart1->chart();
        axes1_.bottom = MakeCategoryAxis(c, QString());
        axes1_.left = MakeValueAxis(c, Qt::AlignLeft, QStringLiteral("Отказов за 100 час на 1 изделие"));
        axes1_.right = MakeValueAxis(c, Qt::AlignRight,
                                     QStringLiteral("Накопление отказов, уход из наблюдения (гарантии), %"));
    }
    {
        QChart* c = Chart2->chart();
        axes2_.bottom = MakeCategoryAxis(c, QString());
        axes2_.left = MakeValueAxis(c, Qt::AlignLeft, QStringLiteral("Отказов на 1 изделие"));
        axes2_.right = MakeValueAxis(c, Qt::AlignRight, QStringLiteral("Выбывание из гарантии, %"));
        axes2_.right->setRange(0.0, 100.0);
        axes2_.rightFixed = true;
    }
    {
        QChart* c = Chart3->chart();
        axes3_.bottom = MakeCategoryAxis(c, QStringLiteral("Время наработки, час"));
        axes3_.left = MakeValueAxis(c, Qt::AlignLeft, QStringLiteral("Отказов за 100 час. на изделие"));
        axes3_.right = MakeValueAxis(c, Qt::AlignRight, QStringLiteral("Ln числа отказов"));
        axes3_.top = MakeValueAxis(c, Qt::AlignTop, QStringLiteral("Ln времени наработки"));
    }

    Label10 = new QLabel(Sheet);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setFont(FontOf({QStringLiteral("Arial Black")}, 24, true));
    Label10->setMinimumWidth(200);
    Label10->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label10->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label10->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("Печать"), Sheet);
    Button1->setObjectName(QStringLiteral("Button1"));
    Prodolgenie = new QPushButton(QStringLiteral("Продолж."), Sheet);
    Prodolgenie->setObjectName(QStringLiteral("Prodolgenie"));
    for (QPushButton* b : {Button1, Prodolgenie}) b->setMinimumSize(97, 40);

    // Header row (the fixed row 0) plus 11 rows, 6 columns.
    Result_Grid = new QTableWidget(rel::kResRows - 1, rel::kResShownCols, Sheet);
    Result_Grid->setObjectName(QStringLiteral("Result_Grid"));
    Result_Grid->setFont(GridFont());
    Result_Grid->horizontalHeader()->setFont(GridFont());
    Result_Grid->verticalHeader()->hide();
    Result_Grid->horizontalHeader()->setDefaultSectionSize(237);
    Result_Grid->horizontalHeader()->setMinimumSectionSize(20);
    Result_Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Result_Grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Result_Grid->horizontalHeader()->setHighlightSections(false);
    Result_Grid->horizontalHeader()->setFixedHeight(28);
    Result_Grid->verticalHeader()->setDefaultSectionSize(28);
    Result_Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The table is as high as its rows; a vertical scroll bar appears only when
    // the user's font makes the rows higher than that.
    Result_Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Result_Grid->setWordWrap(false);
    Result_Grid->setTextElideMode(Qt::ElideNone);
    for (int c = 0; c < rel::kResShownCols; ++c) Result_Grid->setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    {
        const int rows = 28 * (rel::kResRows - 1) + 28;
        const int frame = 2 * Result_Grid->frameWidth();
        const int scroll = Result_Grid->horizontalScrollBar()->sizeHint().height();
        Result_Grid->setMinimumHeight(rows + frame + scroll + 2);
        Result_Grid->setMinimumWidth(640);
    }

    // Upper band: the Ln chart, then the title, the buttons and the table; lower
    // band: the failure flow and the accumulated failures. The stretch factors
    // keep the designed proportions.
    auto* head = new QHBoxLayout;
    head->setSpacing(8);
    head->addWidget(Label10, 1);
    head->addWidget(Button1);
    head->addWidget(Prodolgenie);
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addLayout(head);
    right->addWidget(Result_Grid, 1);
    auto* upper = new QHBoxLayout;
    upper->setSpacing(2);
    upper->addWidget(Chart3, 782);
    upper->addLayout(right, 1102);
    auto* lower = new QHBoxLayout;
    lower->setSpacing(2);
    lower->addWidget(Chart1, 1298);
    lower->addWidget(Chart2, 595);
    auto* all = new QVBoxLayout(Sheet);
    all->setContentsMargins(2, 2, 2, 2);
    all->setSpacing(2);
    all->addLayout(upper, 390);
    all->addLayout(lower, 716);

    // Below this size the window scrolls instead of squeezing the charts further.
    Chart3->setMinimumSize(340, 300);
    Chart1->setMinimumSize(640, 360);
    Chart2->setMinimumSize(380, 360);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Form5Scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(Sheet);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);

    labels1_ = {Chart1->chart(), axes1_.bottom, {}, 0};
    labels2_ = {Chart2->chart(), axes2_.bottom, {}, 0};
    labels3_ = {Chart3->chart(), axes3_.bottom, {}, 0};
    legend1_.chart = Chart1->chart();
    legend2_.chart = Chart2->chart();
    legend3_.chart = Chart3->chart();
    for (auto [labels, legend] : {std::pair{&labels1_, &legend1_}, std::pair{&labels2_, &legend2_},
                                  std::pair{&labels3_, &legend3_}}) {
        connect(labels->chart, &QChart::plotAreaChanged, this, [this, labels] {
            PlaceLabels(*labels);
            FitAxisTitles(labels->chart);
            PlaceMarks();
        });
        connect(legend->chart, &QGraphicsWidget::geometryChanged, this, [this, legend] {
            FitChartTitle(legend->chart);
            PlaceLegend(*legend);
        });
    }
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Prodolgenie, &QPushButton::clicked, this, [this] { ProdolgenieClick(); });
    resize(kForm5DesignWidth, kForm5DesignHeight);
}

TForm5::~TForm5() = default;

void TForm5::ShowResults(const rel::ResultsContent& content) {
    Fill(content);
    if (!placed_) {
        placed_ = true;
        PlaceOnScreen();
    }
    show();
    raise();
    activateWindow();
}

void TForm5::PlaceOnScreen() {
    // Aligned to the top of the work area at its full width, as high as designed
    // or as the work area allows.
    QScreen* s = mainWindow_ ? mainWindow_->screen() : screen();
    if (!s) return;
    const QRect avail = s->availableGeometry();
    const int h = std::min(avail.height(), kForm5DesignHeight);
    setGeometry(avail.x(), avail.y(), avail.width(), h);
}

void TForm5::Fill(const rel::ResultsContent& content) {
    // Charts first, then the title and the table, as the output computed them.
    for (Marks& m : marks_)
        for (auto& item : m.items) delete item.second;
    marks_.clear();
    DrawChart(Chart1, axes1_, labels1_, legend1_, content.Chart1);
    DrawChart(Chart2, axes2_, labels2_, legend2_, content.Chart2);
    DrawChart(Chart3, axes3_, labels3_, legend3_, content.Chart3);
    title_ = Q(content.Label10);
    Label10->setToolTip(title_);
    FitTitle();
    DrawTable(content.Table);
    PlaceMarks();
}

void TForm5::DrawTable(const rel::ResultsTable& table) {
    QTableWidget* g = Result_Grid;
    const QFontMetrics fm(g->font());
    g->setUpdatesEnabled(false);
    // A column more when a fifth model ran.
    const int columns = table.ShownColumns();
    for (int c = g->columnCount(); c < columns; ++c) {
        g->setColumnCount(c + 1);
        g->setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    }
    if (g->columnCount() > columns) g->setColumnCount(columns);
    for (int c = 0; c < columns; ++c)
        if (table.ColWidths[static_cast<std::size_t>(c)] > 0)
            g->setColumnWidth(c, table.ColWidths[static_cast<std::size_t>(c)]);
    for (int row = 0; row < rel::kResRows; ++row) {
        for (int col = 0; col < columns; ++col) {
            const rel::ResultCell& cell = table.Cell(col, row);
            QString s = Q(cell.text);
            // SetResCell: blanks appended while the text is narrower than the
            // column less its margin (a wider text stays as it is).
            if (cell.padTo > 0) {
                for (int guard = 0; guard < 4096 && fm.horizontalAdvance(s) < cell.padTo; ++guard)
                    s += QLatin1Char(' ');
            }
            if (row == 0) {
                g->horizontalHeaderItem(col)->setText(s);
            } else {
                QTableWidgetItem* item = g->item(row - 1, col);
                if (!item) {
                    item = new QTableWidgetItem;
                    g->setItem(row - 1, col, item);
                }
                item->setText(s);
            }
        }
    }
    // A column stays at least as wide as its widest text, so that no figure is
    // cut short where this system's font is wider than the designed one.
    for (int col = 0; col < columns; ++col) {
        int need = 0;
        for (int row = 0; row < rel::kResRows; ++row) {
            const QString t = CellText(col, row);
            qsizetype end = t.size();
            while (end > 0 && t[end - 1] == QLatin1Char(' ')) --end;
            if (end > 0) need = std::max(need, fm.horizontalAdvance(t.left(end)) + 12);
        }
        if (need > g->columnWidth(col)) g->setColumnWidth(col, need);
    }
    // The filled columns stay in view: the table takes the room it needs from the
    // Ln chart beside it (the blank columns after the data may scroll).
    int used = 2 * g->frameWidth() + 2;
    for (int col = 0; col <= std::min(table.ColRes, columns - 1); ++col) used += g->columnWidth(col);
    g->setMinimumWidth(std::max(640, used));
    g->setUpdatesEnabled(true);
}

QString TForm5::CellText(int col, int row) const {
    if (col < 0 || col >= Result_Grid->columnCount() || row < 0 || row >= rel::kResRows) return {};
    if (row == 0) return Result_Grid->horizontalHeaderItem(col)->text();
    const QTableWidgetItem* item = Result_Grid->item(row - 1, col);
    return item ? item->text() : QString();
}

void TForm5::DrawChart(QChartView* view, Axes& axes, Labels& axisLabels, Legend& legend,
                       const rel::ChartContent& content) {
    QChart* chart = view->chart();
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
    axisLabels.texts = labels;
    axisLabels.step = 0;
    axes.bottom->setRange(-0.5, std::max(0.5, n - 0.5));

    const double inf = std::numeric_limits<double>::infinity();
    double loL = inf, hiL = -inf, loR = inf, hiR = -inf, loT = inf, hiT = -inf;
    auto extend = [](double& lo, double& hi, double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    };

    legend.entries.clear();
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
            case rel::SeriesKind::Line:
                xy = new QLineSeries;
                break;
            case rel::SeriesKind::SmoothLine:
                xy = new QSplineSeries;
                break;
        }
        if (xy) {
            for (const rel::ChartPoint& p : s.Points) xy->append(p.x, p.y);
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

        QValueAxis* vertical = s.Vertical == rel::VAxis::Right ? axes.right : axes.left;
        QAbstractAxis* horizontal = axes.bottom;
        if (s.Horizontal == rel::HAxis::Top && axes.top) horizontal = axes.top;
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
            } else {
                e.brush = WithTransparency(color, s.Transparency);
                e.pen = QPen(BarBorder(s.Color));
            }
            if (!e.line) {
                e.pen.setStyle(Qt::SolidLine);
                e.pen.setWidthF(1.0);
            }
            legend.entries.push_back(std::move(e));
        }

        if (s.Active) {
            for (const rel::ChartPoint& p : s.Points) {
                if (vertical == axes.left)
                    extend(loL, hiL, p.y);
                else
                    extend(loR, hiR, p.y);
                if (horizontal == axes.top) extend(loT, hiT, p.x);
            }
        }
        if (s.Marks && xy) {
            Marks m;
            m.chart = chart;
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

    FitRange(axes.left, loL, hiL, true);
    if (axes.rightFixed)
        axes.right->setRange(0.0, 100.0);
    else
        FitRange(axes.right, loR, hiR, axes.top == nullptr);
    if (axes.top) FitRange(axes.top, loT, hiT, false);

    // The toolkit's legend markers say which series have an entry; the entries
    // are drawn by the chart's own wrapping legend.
    chart->legend()->setVisible(false);
    legend.visible = content.LegendVisible;
    BuildLegend(legend);
    PlaceLabels(axisLabels);
}

void TForm5::PlaceLabels(Labels& labels) {
    // Every label where they fit side by side, otherwise every k-th one.
    const int n = static_cast<int>(labels.texts.size());
    const QFontMetrics fm(labels.axis->labelsFont());
    int widest = 1;
    for (const QString& l : labels.texts) widest = std::max(widest, fm.horizontalAdvance(l));
    const double width = std::max(1.0, labels.chart->plotArea().width());
    const int step = n == 0 ? 1 : std::clamp(static_cast<int>(std::ceil((widest + 10.0) * n / width)), 1, n);
    if (step == labels.step) return;
    labels.step = step;
    for (const QString& l : labels.axis->categoriesLabels()) labels.axis->remove(l);
    for (int i = 0; i < n; i += step) labels.axis->append(labels.texts[i], i);
    labels.axis->setStartValue(-0.5);
}

void TForm5::BuildLegend(Legend& legend) {
    for (QGraphicsItem* item : legend.items) delete item;
    legend.items.clear();
    legend.width = -1;
    if (legend.visible) {
        const QFont font = FontOf({QStringLiteral("Segoe UI")}, 11);
        for (const LegendEntry& e : legend.entries) {
            QGraphicsItem* symbol = nullptr;
            if (e.line) {
                auto* line = new QGraphicsLineItem(0, 0, 22, 0, legend.chart);
                QPen pen = e.pen;
                pen.setWidthF(std::min<qreal>(pen.widthF(), 3.0));
                line->setPen(pen);
                symbol = line;
            } else {
                auto* rect = new QGraphicsRectItem(0, 0, 12, 10, legend.chart);
                rect->setBrush(e.brush);
                rect->setPen(e.pen);
                symbol = rect;
            }
            auto* text = new QGraphicsSimpleTextItem(e.text, legend.chart);
            text->setFont(font);
            text->setBrush(Qt::black);
            symbol->setZValue(30);
            text->setZValue(30);
            legend.items.push_back(symbol);
            legend.items.push_back(text);
        }
    }
    PlaceLegend(legend);
}

void TForm5::PlaceLegend(Legend& legend) {
    const QRectF box = legend.chart->geometry();
    const int width = static_cast<int>(box.width());
    if (width == legend.width) return;
    legend.width = width;
    if (legend.items.empty()) {
        legend.chart->setMargins(QMargins(4, 2, 4, 2));
        return;
    }
    // Entries left to right, a new row when the next one would pass the edge.
    const qreal left = 10.0, right = box.width() - 10.0, gap = 16.0, symbolW = 26.0;
    const qreal rowH = QFontMetricsF(static_cast<QGraphicsSimpleTextItem*>(legend.items[1])->font()).height() + 3.0;
    struct Place {
        qreal x;
        int row;
    };
    std::vector<Place> places;
    qreal x = left;
    int row = 0;
    for (std::size_t i = 0; i + 1 < legend.items.size(); i += 2) {
        auto* text = static_cast<QGraphicsSimpleTextItem*>(legend.items[i + 1]);
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
    legend.chart->setMargins(QMargins(4, 2, 4, static_cast<int>(std::ceil(height)) + 2));
    const qreal top = box.height() - height;
    for (std::size_t i = 0; i + 1 < legend.items.size(); i += 2) {
        const Place& p = places[i / 2];
        const qreal y = top + p.row * rowH;
        QGraphicsItem* symbol = legend.items[i];
        if (auto* line = dynamic_cast<QGraphicsLineItem*>(symbol))
            line->setPos(p.x, y + rowH / 2.0);
        else
            symbol->setPos(p.x + 5.0, y + (rowH - 10.0) / 2.0);
        legend.items[i + 1]->setPos(p.x + symbolW, y);
    }
}

void TForm5::PlaceMarks() {
    // Each mark above its point; a mark that would overlap the one shown before it
    // is left out until the chart is large enough for both.
    for (Marks& m : marks_) {
        const QRectF area = m.chart->plotArea();
        QRectF shown;
        for (auto& [point, item] : m.items) {
            const QPointF at = m.chart->mapToPosition(point, m.series);
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

namespace {

// A text split into two lines at the blank nearest its middle (rich text break).
QString TwoLines(const QString& text) {
    const qsizetype mid = text.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char(' ') && (best < 0 || std::abs(i - mid) < std::abs(best - mid))) best = i;
    if (best <= 0) return text;
    return text.left(best) + QStringLiteral("<br>") + text.mid(best + 1);
}

}  // namespace

void TForm5::FitChartTitle(QChart* chart) {
    // The chart's title in its designed size, smaller when a line would not fit
    // the chart's width (down to 10 pixels).
    const QStringList lines = chart->property(kPlainTitle).toString().split(QLatin1Char('\n'));
    const int designed = chart->property(kTitlePixels).toInt();
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

void TForm5::FitAxisTitles(QChart* chart) {
    // An axis title longer than its side of the plot goes on two lines.
    const QRectF plot = chart->plotArea();
    if (plot.width() < 50.0 || plot.height() < 50.0) return;
    for (QAbstractAxis* a : chart->axes()) {
        const QString plain = a->property(kPlainTitle).toString();
        if (plain.isEmpty()) continue;
        const qreal avail = (a->orientation() == Qt::Vertical ? plot.height() : plot.width()) - 8.0;
        const QString want = QFontMetricsF(a->titleFont()).horizontalAdvance(plain) > avail ? TwoLines(plain) : plain;
        if (a->titleText() != want) a->setTitleText(want);
    }
}

void TForm5::FitTitle() {
    // The title line in the designed face and size, smaller when it would not fit
    // beside the buttons; the whole text is in the tooltip too.
    QFont f = Label10->font();
    const int avail = std::max(100, Label10->width());
    int px = 24;
    f.setPixelSize(px);
    while (px > 12 && QFontMetrics(f).horizontalAdvance(title_) > avail) f.setPixelSize(--px);
    Label10->setFont(f);
    Label10->setText(title_);
}

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label10 && event->type() == QEvent::Resize) FitTitle();
    return QWidget::eventFilter(watched, event);
}

void TForm5::Button1Click() {
    // The whole sheet, also what is scrolled out of view. Nothing is printed when
    // the set-up dialog is cancelled.
    PrintWindow(Sheet, dialogs_, false, QStringLiteral("Результаты анализа.pdf"));
}

void TForm5::ProdolgenieClick() {
    hide();
    if (mainWindow_) mainWindow_->show();
}

void TForm5::closeEvent(QCloseEvent* event) {
    // Closed by the user: hidden, not destroyed; the main window comes back.
    if (mainWindow_) mainWindow_->show();
    event->accept();
}

void TForm5::PaintTable(QPainter& p, const QRect& rect) const {
    const QTableWidget* g = Result_Grid;
    p.save();
    p.setClipRect(rect);
    const QColor line(160, 160, 160);
    const QColor headBack(240, 240, 240);
    const int headH = g->horizontalHeader()->height();
    int x = rect.left();
    for (int c = 0; c < g->columnCount() && x < rect.right(); ++c) {
        const int w = g->columnWidth(c);
        int y = rect.top();
        const QRect head(x, y, w, headH);
        p.fillRect(head, headBack);
        p.setPen(line);
        p.drawRect(head.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.setFont(g->horizontalHeader()->font());
        p.drawText(head.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, CellText(c, 0));
        y += headH;
        p.setFont(g->font());
        for (int r = 1; r < rel::kResRows; ++r) {
            const int h = g->rowHeight(r - 1);
            const QRect cell(x, y, w, h);
            p.fillRect(cell, Qt::white);
            p.setPen(line);
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, CellText(c, r));
            y += h;
        }
        x += w;
    }
    p.restore();
}

void TForm5::PaintSheet(QPainter& p, const QRectF& target) const {
    const QSizeF size = Sheet->size();
    if (size.isEmpty()) return;
    const qreal s = std::min(target.width() / size.width(), target.height() / size.height());
    p.save();
    p.translate(target.left() + (target.width() - size.width() * s) / 2.0, target.top());
    p.scale(s, s);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto where = [this](const QWidget* w) { return QRect(w->mapTo(Sheet, QPoint(0, 0)), w->size()); };

    p.setFont(Label10->font());
    p.setPen(Qt::black);
    const QRect titleRect = where(Label10);
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, Label10->text());

    PaintTable(p, where(Result_Grid).adjusted(1, 1, -1, -1));
    for (QChartView* v : {Chart3, Chart1, Chart2}) {
        const QRect r = where(v);
        v->render(&p, QRectF(r), v->viewport()->rect(), Qt::IgnoreAspectRatio);
    }
    p.restore();
}

bool TForm5::WriteReportPdf(const QString& file, QString& why) const {
    // Screen resolution: the charts' and the table's pixel fonts keep the sizes
    // they have on the window, and the page holds the sheet scaled as a whole.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(96);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(kReportMarginMm, kReportMarginMm, kReportMarginMm, kReportMarginMm),
                           QPageLayout::Millimeter);
    printer.setDocName(windowTitle());
    printer.setCreator(AppTitle());
    QPainter painter;
    if (!painter.begin(&printer)) {
        why = QStringLiteral("Не удалось записать файл «%1».").arg(file);
        return false;
    }
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    PaintSheet(painter, page);
    if (!painter.end()) {
        why = QStringLiteral("Не удалось записать файл «%1».").arg(file);
        return false;
    }
    return true;
}

}  // namespace relan
