// "Расчет" from the window: the run on its worker thread, the results window drawn
// from the results output (table, chart series in order, cause bars made anew),
// closing during a run, and the report written without a window.
#include <gtest/gtest.h>

#include <QAbstractBarSeries>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QAreaSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QScrollArea>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QValueAxis>
#include <QXYSeries>

#include "chart_tools.h"
#include "run_controller.h"
#include "fake_dialogs.h"
#include "fit/calc_run.h"
#include "form1.h"
#include "results_grid.h"
#include "form5.h"
#include "results/out_results.h"
#include "chart_style.h"
#include "ml_panel.h"
#include "results/ml_summary.h"
#include "version.h"
#include "wrap_button.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGraphicsSimpleTextItem>
#include <QProgressBar>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace relan::test {
namespace {

constexpr std::int64_t kVirtualRate = 4000;  // criterion evaluations per virtual second

// A main window with its results window, runs on the virtual clock.
struct RunWindow {
    Window w;
    std::unique_ptr<TForm5> form5;

    RunWindow() {
        form5 = std::make_unique<TForm5>(w.form.get(), w.dialogs);
        w.form->SetResultsWindow(form5.get());
        w.form->Runs().Clock.evaluationsPerSecond = kVirtualRate;
    }
    ~RunWindow() { form5.reset(); }
    TForm1& f() { return *w.form; }
    void Load(const char* fixture) {
        f().OpenDataFile(Fixture(fixture));
        ASSERT_TRUE(f().State().FileLoaded) << fixture;
    }
    void Models(bool spiral, bool newton, bool smirnov, bool ml = false) {
        Ctl<QCheckBox>(f(), "SpirSpusk")->setChecked(spiral);
        Ctl<QCheckBox>(f(), "BoxNewton")->setChecked(newton);
        Ctl<QCheckBox>(f(), "BoxSmirnow")->setChecked(smirnov);
        Ctl<QCheckBox>(f(), "BoxML")->setChecked(ml);
    }
    // "Расчет", then the window's events served until the run has delivered.
    void Run() {
        f().bbRaschetClick();
        f().Runs().WaitForEnd();
    }
};

// The run parameters the window takes from its fields, for a run without it.
rel::RunParams ParamsOf(TForm1& f) {
    rel::RunParams p;
    p.SredGar = f.State().SredGar;
    p.SKOGar = f.State().SKOGar;
    p.PeriodUchet = f.State().PeriodUchet;
    p.TPrirab = f.State().TPrirab;
    p.FitSred = Ctl<QCheckBox>(f, "Sred_flag")->isChecked();
    p.FitSKO = Ctl<QCheckBox>(f, "SKO_Flag")->isChecked();
    p.methods.clear();
    for (const auto& [box, id] : {std::pair{"SpirSpusk", "1.1"}, std::pair{"BoxNewton", "1.2"},
                                  std::pair{"BoxSmirnow", "2"}, std::pair{"BoxML", "3"}})
        if (Ctl<QCheckBox>(f, box)->isChecked()) p.methods.push_back(id);
    p.mlBootstrap = 200;
    p.mlSeed = 1;
    p.StepCoef11 = Ctl<QLineEdit>(f, "Edit1")->text().toStdString();
    p.StepCoef12 = Ctl<QLineEdit>(f, "Edit6")->text().toStdString();
    p.StepCoef2 = Ctl<QLineEdit>(f, "Edit5")->text().toStdString();
    p.item = f.RadioGroup1ItemIndex();
    p.decimalSep = ',';
    p.clock.evaluationsPerSecond = kVirtualRate;
    return p;
}

QAbstractSeries::SeriesType TypeOf(const rel::ChartSeries& s) {
    switch (s.Kind) {
        case rel::SeriesKind::Area:
        case rel::SeriesKind::Band:
            return QAbstractSeries::SeriesTypeArea;
        case rel::SeriesKind::Line:
            return QAbstractSeries::SeriesTypeLine;
        case rel::SeriesKind::SmoothLine:
            return QAbstractSeries::SeriesTypeSpline;
        case rel::SeriesKind::Bar:
            return s.Active ? QAbstractSeries::SeriesTypeBar : QAbstractSeries::SeriesTypeStackedBar;
    }
    return QAbstractSeries::SeriesTypeLine;
}

const QXYSeries* PointsOf(const QAbstractSeries* s) {
    if (auto* area = qobject_cast<const QAreaSeries*>(s)) return area->upperSeries();
    return qobject_cast<const QXYSeries*>(s);
}

// The chart holds exactly the series of the results content, in its order, of its
// kinds, on its axes, with its points (bars: one value per interval position).
void ExpectChartDraws(QChartView* view, const rel::ChartContent& content) {
    QChart* chart = view->chart();
    const QList<QAbstractSeries*> series = chart->series();
    ASSERT_EQ(series.size(), static_cast<qsizetype>(content.Series.size())) << view->objectName().toStdString();
    const int n = static_cast<int>(content.Labels.size());
    for (std::size_t i = 0; i < content.Series.size(); ++i) {
        const rel::ChartSeries& want = content.Series[i];
        QAbstractSeries* got = series[static_cast<qsizetype>(i)];
        SCOPED_TRACE(want.Name);
        EXPECT_EQ(got->objectName().toStdString(), want.Name);
        EXPECT_EQ(got->type(), TypeOf(want));
        EXPECT_EQ(got->isVisible(), want.Active);
        if (!want.Title.empty() && want.Kind != rel::SeriesKind::Bar) {
            EXPECT_EQ(got->name().toStdString(), want.Title);
        }
        bool onRight = false, onTop = false;
        for (QAbstractAxis* a : got->attachedAxes()) {
            onRight = onRight || a->alignment() == Qt::AlignRight;
            onTop = onTop || a->alignment() == Qt::AlignTop;
        }
        EXPECT_EQ(onRight, want.Vertical == rel::VAxis::Right);
        EXPECT_EQ(onTop, want.Horizontal == rel::HAxis::Top);
        if (want.Kind == rel::SeriesKind::Bar) {
            auto* bars = qobject_cast<QAbstractBarSeries*>(got);
            ASSERT_NE(bars, nullptr);
            if (!want.Active) {
                EXPECT_EQ(bars->count(), 0);
                continue;
            }
            ASSERT_EQ(bars->count(), 1);
            QBarSet* set = bars->barSets().front();
            EXPECT_EQ(set->label().toStdString(), want.Title);
            const rel::Rgb c = want.Color;
            EXPECT_EQ(set->color().rgb(), QColor(c.r, c.g, c.b).rgb());
            ASSERT_EQ(set->count(), n);
            std::vector<double> values(static_cast<std::size_t>(n), 0.0);
            for (const rel::ChartPoint& p : want.Points) values[static_cast<std::size_t>(p.x)] = p.y;
            for (int k = 0; k < n; ++k) EXPECT_EQ(set->at(k), values[static_cast<std::size_t>(k)]) << k;
        } else {
            const QXYSeries* xy = PointsOf(got);
            ASSERT_NE(xy, nullptr);
            // A step series rises at each point after the first: the previous value
            // first, then its own, at the point's position.
            auto expect = [&](const QXYSeries* drawn, bool low) {
                std::vector<QPointF> points;
                for (std::size_t k = 0; k < want.Points.size(); ++k) {
                    const rel::ChartPoint& p = want.Points[k];
                    if (want.Step && k > 0) {
                        const rel::ChartPoint& q = want.Points[k - 1];
                        points.emplace_back(p.x, low ? q.low : q.y);
                    }
                    points.emplace_back(p.x, low ? p.low : p.y);
                }
                ASSERT_EQ(drawn->count(), static_cast<qsizetype>(points.size()));
                for (qsizetype k = 0; k < drawn->count(); ++k)
                    EXPECT_EQ(drawn->at(k), points[std::size_t(k)]) << k;
            };
            expect(xy, false);
            if (want.Kind == rel::SeriesKind::Band) {
                auto* band = qobject_cast<QAreaSeries*>(got);
                ASSERT_NE(band->lowerSeries(), nullptr);
                expect(band->lowerSeries(), true);
            }
        }
    }
}

int PointCount(QChartView* view, const char* name) {
    for (QAbstractSeries* s : view->chart()->series())
        if (s->objectName() == QLatin1String(name)) {
            const QXYSeries* xy = PointsOf(s);
            return xy ? static_cast<int>(xy->count()) : -1;
        }
    return -1;
}

std::array<qsizetype, 3> SeriesCounts(const TForm5& f5) {
    return {Ctl<QChartView>(f5, "Chart1")->chart()->series().size(),
            Ctl<QChartView>(f5, "Chart2")->chart()->series().size(),
            Ctl<QChartView>(f5, "Chart3")->chart()->series().size()};
}

TEST(CalculationRun, WindowRunEqualsTheSynchronousRunAndFillsTheResults) {
    RunWindow rw;
    rw.Load("app/causes5.txt");
    rw.Models(true, true, true);
    TForm1& f = rw.f();
    ASSERT_TRUE(f.ReadRunParams());

    // The same run without the window, on a copy of the loaded state.
    rel::AnalysisState sync = f.State();
    const rel::RunResult expected = rel::CalculationRun(sync, ParamsOf(f));
    ASSERT_TRUE(expected.ok) << expected.error;

    f.bbRaschetClick();
    // While the run lasts nothing else can be started and the fields are locked.
    EXPECT_TRUE(f.Runs().Running());
    for (QWidget* input : std::initializer_list<QWidget*>{
             Ctl<QPushButton>(f, "OpenFileStart"), Ctl<QToolButton>(f, "SpeedButton1"),
             Ctl<QPushButton>(f, "bbRaschet"), Ctl<WrapButton>(f, "ToolBRunGenOptim"), Ctl<QLineEdit>(f, "meSred"),
             Ctl<QLineEdit>(f, "LabeledEdit3"), Ctl<QLineEdit>(f, "Edit1"), Ctl<QPushButton>(f, "Button2")})
        EXPECT_FALSE(input->isEnabled()) << input->objectName().toStdString();
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    f.bbRaschetClick();  // a second press would start nothing
    f.Button2Click();    // nor would "Expand", which reads the state the run writes
    EXPECT_EQ(f.ExpandedView(), nullptr);
    f.Runs().WaitForEnd();

    EXPECT_FALSE(f.Runs().Running());
    for (QWidget* input : std::initializer_list<QWidget*>{
             Ctl<QPushButton>(f, "OpenFileStart"), Ctl<QToolButton>(f, "SpeedButton1"),
             Ctl<QPushButton>(f, "bbRaschet"), Ctl<WrapButton>(f, "ToolBRunGenOptim"), Ctl<QLineEdit>(f, "meSred"),
             Ctl<QLineEdit>(f, "LabeledEdit3"), Ctl<QLineEdit>(f, "Edit1"), Ctl<QPushButton>(f, "Button2")})
        EXPECT_TRUE(input->isEnabled()) << input->objectName().toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(rw.w.dialogs.errors.isEmpty()) << rw.w.dialogs.errors.join('\n').toStdString();

    // The memo: its first line, then every line of the run once, in order, the
    // elapsed times in the window's form "0:00:10 (ч:мин:с)".
    QStringList memo = Ctl<QPlainTextEdit>(f, "Memo2")->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(memo.size(), static_cast<qsizetype>(expected.memo.size()) + 1);
    EXPECT_EQ(memo[0], QStringLiteral("Ход решения"));
    for (std::size_t i = 0; i < expected.memo.size(); ++i)
        EXPECT_EQ(memo[static_cast<qsizetype>(i) + 1],
                  ShownProgressLine(QString::fromStdString(expected.memo[i])));
    EXPECT_TRUE(memo.join('\n').contains(QStringLiteral("выполнен за 0:00:05 (ч:мин:с)")));
    // The models are those of the synchronous run, to the last bit.
    const rel::AnalysisState& st = f.State();
    for (auto [got, want] : {std::pair{&st.ModSpir, &sync.ModSpir}, std::pair{&st.ModNewton, &sync.ModNewton},
                             std::pair{&st.ModSmirn, &sync.ModSmirn}}) {
        EXPECT_TRUE(got->Executed);
        EXPECT_EQ(got->A, want->A);
        EXPECT_EQ(got->B, want->B);
        EXPECT_EQ(got->K_powtor, want->K_powtor);
        EXPECT_EQ(got->Kol_F_priv, want->Kol_F_priv);
    }

    // The results window shows the output of the run's state.
    TForm5& f5 = *rw.form5;
    EXPECT_TRUE(f5.isVisible());
    rel::AnalysisState again = f.State();
    const rel::ResultsContent content = rel::OutResults(again, "300", ',');
    EXPECT_EQ(Ctl<QLabel>(f5, "Label10")->text().toStdString(), content.Label10);
    EXPECT_EQ(Ctl<QLabel>(f5, "Label10")->text(), QStringLiteral("Парк пяти причин отказов (50 шт.)"));

    // Captions in their columns: models 1.2, 1.1, 2, then the data.
    const QString captions[] = {QStringLiteral("Результаты для моделей:"), QStringLiteral("Пирсона/Ньютона"),
                                QStringLiteral("Пирсона/спир.спуск"),      QStringLiteral("Критерий Смирнова"),
                                QStringLiteral("Данные эксплуатации"),     QString()};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(f5.CellText(c, 0), captions[c]) << c;
    EXPECT_EQ(f5.CellText(0, 1), QStringLiteral("Распр. Вейбулла(A,B как в Excel)"));
    EXPECT_EQ(f5.CellText(0, 11), QStringLiteral("Отказов/изд. за 2000/4000 ч"));

    // Every cell is the core's text, padded with the fewest blanks that reach its
    // width in the grid's font.
    const QFontMetrics fm(Ctl<QTableWidget>(f5, "Result_Grid")->font());
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 6; ++c) {
            const rel::ResultCell& cell = content.Table.Cell(c, r);
            const QString got = f5.CellText(c, r);
            const QString text = QString::fromStdString(cell.text);
            SCOPED_TRACE(testing::Message()
                         << "cell " << c << "," << r << ": [" << got.toStdString() << "] [" << cell.text << "]");
            ASSERT_EQ(got.left(text.size()), text);
            EXPECT_TRUE(got.mid(text.size()).trimmed().isEmpty());
            const int padTo = relan::ResultsCellPadTo(content.Table, c);
            if (cell.padded && got.size() > text.size()) {
                EXPECT_GE(fm.horizontalAdvance(got), padTo);
                EXPECT_LT(fm.horizontalAdvance(got.chopped(1)), padTo);
            } else if (!cell.padded) {
                EXPECT_EQ(got, text);
            }
        }
    }
    // Column widths as designed for the kind of each column (the labels 240, a
    // model 145, column 1 and the data column 155, the padding 7 less), or wider
    // where a text needs it.
    for (int c = 0; c < 6; ++c) {
        const int want = relan::ResultsColumnWidth(content.Table, c);
        EXPECT_EQ(want, std::vector<int>({240, 155, 145, 145, 155, 0})[static_cast<std::size_t>(c)]) << c;
        if (c == 2) {
            EXPECT_EQ(relan::ResultsCellPadTo(content.Table, c), 138);
        }
        if (c == 4) {
            EXPECT_EQ(relan::ResultsCellPadTo(content.Table, c), 148);
        }
        if (want > 0) {
            EXPECT_GE(Ctl<QTableWidget>(f5, "Result_Grid")->columnWidth(c), want) << c;
        }
    }
    EXPECT_EQ(Ctl<QTableWidget>(f5, "Result_Grid")->columnWidth(2), 145);

    ExpectChartDraws(Ctl<QChartView>(f5, "Chart1"), content.Chart1);
    ExpectChartDraws(Ctl<QChartView>(f5, "Chart2"), content.Chart2);
    ExpectChartDraws(Ctl<QChartView>(f5, "Chart3"), content.Chart3);
}

TEST(CalculationRun, ProgressShowsWhileTheRunLasts) {
    RunWindow rw;
    rw.Load("app/causes2.txt");
    rw.Models(true, false, false);
    QProgressBar* bar = Ctl<QProgressBar>(rw.f(), "ProgressBar1");
    EXPECT_NE(bar->maximum(), 0);
    rw.f().bbRaschetClick();
    // Busy while it runs, with the elapsed time in hours, minutes and seconds.
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_EQ(Ctl<QLabel>(rw.f(), "LabelElapsed")->text(), QStringLiteral("0:00:00 (ч:мин:с)"));
    rw.f().Runs().WaitForEnd();
    EXPECT_NE(bar->maximum(), 0);
    EXPECT_TRUE(Ctl<QLabel>(rw.f(), "LabelElapsed")->text().endsWith(QStringLiteral(" (ч:мин:с)")));
    // Long progress lines wrap instead of running past the right edge.
    EXPECT_EQ(Ctl<QPlainTextEdit>(rw.f(), "Memo2")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

TEST(CalculationRun, CauseBarsAreMadeAnewAtEveryOutput) {
    RunWindow rw;
    rw.Models(true, false, false);
    rw.Load("app/causes5.txt");
    rw.Run();
    EXPECT_EQ(SeriesCounts(*rw.form5), (std::array<qsizetype, 3>{15, 17, 13}));
    rw.Load("app/causes2.txt");
    rw.Run();
    EXPECT_EQ(SeriesCounts(*rw.form5), (std::array<qsizetype, 3>{12, 14, 7}));
    // The fixed series keep their places; the bars of the new causes follow them.
    const QList<QAbstractSeries*> s1 = Ctl<QChartView>(*rw.form5, "Chart1")->chart()->series();
    EXPECT_EQ(s1[0]->objectName(), QStringLiteral("Series1"));
    EXPECT_EQ(s1[9]->objectName(), QStringLiteral("Series14"));
    EXPECT_EQ(s1[10]->objectName(), QStringLiteral("Chart1 cause 2"));
    EXPECT_EQ(s1[11]->objectName(), QStringLiteral("Chart1 cause 3"));
    auto* bars = qobject_cast<QAbstractBarSeries*>(s1[10]);
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets().front()->label(), QStringLiteral("Двигатель 4 раз (13,3% /машину"));
    const QList<QAbstractSeries*> s3 = Ctl<QChartView>(*rw.form5, "Chart3")->chart()->series();
    EXPECT_EQ(s3[6]->objectName(), QStringLiteral("Chart3 cause 3 corrected"));
}

TEST(CalculationRun, ModelSeriesFollowTheExecutedFlags) {
    RunWindow rw;
    rw.Load("app/causes2.txt");
    TForm5& f5 = *rw.form5;
    struct Group {
        const char* chart1[2];
        const char* chart2[2];
    };
    const Group spir{{"Series3", "Series2"}, {"Series8", "Series9"}};
    const Group newton{{"Series20", "Series21"}, {"Series22", "Series23"}};
    const Group smirn{{"Series4", nullptr}, {"Series10", nullptr}};
    const Group gen{{"Series6", "Series5"}, {"Series11", "Series12"}};
    auto expectPoints = [&](const Group& g, int n, const char* what) {
        for (const char* name : g.chart1)
            if (name) {
                EXPECT_EQ(PointCount(Ctl<QChartView>(f5, "Chart1"), name), n) << what << " " << name;
            }
        for (const char* name : g.chart2)
            if (name) {
                EXPECT_EQ(PointCount(Ctl<QChartView>(f5, "Chart2"), name), n) << what << " " << name;
            }
    };

    rw.Models(true, false, false);
    rw.Run();
    const int n = PointCount(Ctl<QChartView>(f5, "Chart1"), "Series17");  // one point per interval with failures
    ASSERT_GT(n, 2);
    EXPECT_EQ(PointCount(Ctl<QChartView>(f5, "Chart2"), "Series15"), n);
    expectPoints(spir, n, "1.1 run");
    expectPoints(newton, 0, "1.2 not run");
    expectPoints(smirn, 0, "2 not run");
    expectPoints(gen, 0, "optimiser not run");
    EXPECT_EQ(rw.form5->CellText(2, 0), QStringLiteral("Данные эксплуатации"));

    // Model 1.1 unticked: its record keeps its result and stays in the output.
    rw.Models(false, true, true);
    rw.Run();
    expectPoints(spir, n, "1.1 kept");
    expectPoints(newton, n, "1.2 run");
    expectPoints(smirn, n, "2 run");
    expectPoints(gen, 0, "optimiser not run");
    EXPECT_EQ(rw.form5->CellText(4, 0), QStringLiteral("Данные эксплуатации"));
    // The Ln chart: one point per failure with positive time, the line's two ends.
    EXPECT_EQ(PointCount(Ctl<QChartView>(f5, "Chart3"), "Series18"), 8);
    EXPECT_EQ(PointCount(Ctl<QChartView>(f5, "Chart3"), "Series19"), 2);
}

// The texts of the legend the chart draws.
QStringList LegendTexts(QChartView* view) {
    QStringList texts;
    for (QGraphicsItem* item : view->chart()->childItems())
        if (auto* t = dynamic_cast<QGraphicsSimpleTextItem*>(item)) texts << t->text();
    return texts;
}

TEST(ModelThree, TheBoxDrivesTheRunAndItsResultsAppearOnlyWhenItRan) {
    RunWindow rw;
    rw.Load("app/causes5.txt");
    TForm1& f = rw.f();
    TForm5& f5 = *rw.form5;
    const QString caption = QStringLiteral("Макс. правдоподобия");
    const QString title = QStringLiteral("Модель 3 (макс. правдоподобия)");
    auto shown = [&](bool want, const char* when) {
        SCOPED_TRACE(when);
        bool column = false;
        for (int c = 0; c < Ctl<QTableWidget>(f5, "Result_Grid")->columnCount(); ++c)
            column = column || f5.CellText(c, 0) == caption;
        EXPECT_EQ(column, want);
        const int n = PointCount(Ctl<QChartView>(f5, "Chart1"), "Series17");
        for (const char* name : {"Series24", "Series25"})
            EXPECT_EQ(PointCount(Ctl<QChartView>(f5, "Chart1"), name), want ? n : -1) << name;
        for (const char* name : {"Series26", "Series27"})
            EXPECT_EQ(PointCount(Ctl<QChartView>(f5, "Chart2"), name), want ? n : -1) << name;
        EXPECT_EQ(LegendTexts(Ctl<QChartView>(f5, "Chart1")).contains(title), want);
        EXPECT_EQ(LegendTexts(Ctl<QChartView>(f5, "Chart1")).contains(title + QStringLiteral(" ценз.")), want);
        EXPECT_EQ(Ctl<MlPanel>(f5, "MlPanel")->isVisibleTo(&f5), want);
    };

    // Unticked: nothing of model 3.
    rw.Models(true, false, false, false);
    rw.Run();
    EXPECT_FALSE(f.State().ModML.Executed);
    EXPECT_FALSE(f.LastML().has_value());
    shown(false, "model 3 not ticked");

    // Ticked alone: its column, its four curves and its intervals.
    rw.Models(false, false, false, true);
    rw.Run();
    ASSERT_TRUE(rw.w.dialogs.errors.isEmpty()) << rw.w.dialogs.errors.join('\n').toStdString();
    ASSERT_TRUE(f.LastML().has_value());
    ASSERT_TRUE(f.LastML()->ok);
    EXPECT_TRUE(f.State().ModML.Executed);
    EXPECT_EQ(f.LastML()->GofReplicates > 0, true);  // the bootstrap ran
    EXPECT_TRUE(Ctl<QPlainTextEdit>(f, "Memo2")
                    ->toPlainText()
                    .contains(QStringLiteral("Модель 3 (максимум правдоподобия)")));
    shown(true, "model 3 ran");
    const rel::MlSummary want = rel::SummarizeML(*f.LastML(), ',');
    const MlPanel* panel = Ctl<MlPanel>(f5, "MlPanel");
    EXPECT_EQ(Ctl<QLabel>(f5, "MlTitle")->text().replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString(),
              want.title);
    EXPECT_TRUE(Ctl<QLabel>(f5, "MlTitle")->text().contains(QStringLiteral("95% доверительные интервалы")));
    ASSERT_EQ(panel->RowCount(), static_cast<int>(want.rows.size()));
    for (int r = 0; r < panel->RowCount(); ++r) {
        const rel::MlSummaryRow& row = want.rows[static_cast<std::size_t>(r)];
        EXPECT_EQ(panel->Cell(r, 0).toStdString(), row.label);
        EXPECT_EQ(panel->Cell(r, 1).toStdString(), row.estimate);
        EXPECT_EQ(panel->Cell(r, 2).toStdString(), row.interval);
    }
    EXPECT_EQ(Ctl<QLabel>(f5, "MlVerdict")->text().toStdString(), want.verdict);
    QStringList notes;
    for (const std::string& n : want.notes) notes << QString::fromStdString(n);
    EXPECT_EQ(Ctl<QLabel>(f5, "MlNotes")->text(), notes.join(QLatin1Char('\n')));

    // Another model fitted: model 3 keeps its result, as the others do.
    rw.Models(true, false, false, false);
    rw.Run();
    shown(true, "model 3 kept");

    // A warranty file clears every model's result, model 3's intervals too.
    rw.w.dialogs.openAnswers.push_back(Fixture("app/gar-tiny.txt"));
    f.SpeedButton1Click();
    ASSERT_TRUE(rw.w.dialogs.errors.isEmpty());
    EXPECT_FALSE(f.LastML().has_value());
    rw.Run();
    shown(false, "after a warranty file");
}

// The results table of the results window, row by row.
QStringList Grid(const TForm5& f5) {
    QStringList cells;
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 6; ++col) cells << f5.CellText(col, row);
    return cells;
}

// One fleet after another: a warranty file and results of the fleet before must not
// reach the next one. The window gives the figures of a fresh start on the second
// file.
TEST(CalculationRun, ANewDataFileStartsAFreshAnalysis) {
    const QString demo = QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt");
    const QString pump = QStringLiteral(RELAN_EXAMPLES "/repeat-fleet.txt");

    RunWindow fresh;
    ASSERT_TRUE(fresh.f().OpenDataFile(pump));
    fresh.Models(true, false, false, true);
    fresh.Run();
    ASSERT_TRUE(fresh.f().LastML().has_value());
    const QStringList want = Grid(*fresh.form5);

    RunWindow rw;
    TForm1& f = rw.f();
    ASSERT_TRUE(f.OpenDataFile(demo));
    rw.w.dialogs.openAnswers.push_back(QStringLiteral(RELAN_EXAMPLES "/gar-demo.txt"));
    f.SpeedButton1Click();
    ASSERT_FALSE(f.State().ArrGar.empty());
    rw.Models(true, false, false, true);
    rw.Run();
    ASSERT_TRUE(rw.form5->isVisible());

    ASSERT_TRUE(f.OpenDataFile(pump));
    EXPECT_TRUE(f.State().ArrGar.empty());
    EXPECT_FALSE(f.LastML().has_value());
    EXPECT_FALSE(f.State().ModSpir.Executed);
    EXPECT_FALSE(f.State().ModML.Executed);
    EXPECT_FALSE(rw.form5->isVisible()) << "the results of the fleet before are put away";
    for (const char* field : {"MaskEdit1", "MaskEditSrednee", "MaskEditSKO"})
        EXPECT_TRUE(Ctl<QLineEdit>(f, field)->text().isEmpty()) << field;
    EXPECT_EQ(Ctl<QPlainTextEdit>(f, "Memo2")->toPlainText(), QStringLiteral("Ход решения"));

    rw.Run();
    EXPECT_EQ(Grid(*rw.form5), want);
    EXPECT_EQ(f.LastML()->A, fresh.f().LastML()->A);
    EXPECT_EQ(f.LastML()->N4000.est, fresh.f().LastML()->N4000.est);
}

// A file whose tabs an editor turned into spaces loads without a message and gives
// the figures of the tabbed file.
TEST(CalculationRun, AFileWhoseTabsBecameSpacesGivesTheSameFigures) {
    const QString demo = QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt");
    QFile in(demo);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    bytes.replace('\t', "   ");
    QTemporaryDir dir;
    const QString spaced = dir.filePath(QStringLiteral("spaced.txt"));
    QFile out(spaced);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    RunWindow tabbed;
    ASSERT_TRUE(tabbed.f().OpenDataFile(demo));
    tabbed.Models(true, false, false, false);
    tabbed.Run();
    RunWindow rw;
    ASSERT_TRUE(rw.f().OpenDataFile(spaced));
    EXPECT_TRUE(rw.w.dialogs.errors.isEmpty());
    EXPECT_TRUE(rw.w.dialogs.questions.isEmpty());
    EXPECT_EQ(rw.f().State().ArrProblems.Times(), tabbed.f().State().ArrProblems.Times());
    EXPECT_EQ(rw.f().State().KolOtkNez, tabbed.f().State().KolOtkNez);
    rw.Models(true, false, false, false);
    rw.Run();
    EXPECT_EQ(Grid(*rw.form5), Grid(*tabbed.form5));
}

// Figures the program's own checks reject are marked where they are shown: the
// rejected model's column tinted, notes under the table (also on the printed page),
// and a repetition coefficient the data cannot fix said to be so.
TEST(ResultsWindow, RejectedModelsAndUndeterminedKAreMarked) {
    RunWindow rw;
    ASSERT_TRUE(rw.f().OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt")));
    rw.Models(true, false, false, true);
    rw.Run();
    const TForm5& f5 = *rw.form5;
    ASSERT_EQ(f5.CellText(1, 0).trimmed(), QStringLiteral("Пирсона/спир.спуск"));
    for (int row = 1; row < 12; ++row) EXPECT_TRUE(Ctl<ResultsGrid>(f5, "Result_Grid")->CellTinted(1, row)) << row;
    EXPECT_FALSE(Ctl<ResultsGrid>(f5, "Result_Grid")->CellTinted(3, 5)) << "the data column";
    QLabel* notes = Ctl<QLabel>(f5, "ResultNotes");
    EXPECT_TRUE(notes->isVisibleTo(&f5));
    EXPECT_TRUE(
        notes->text().contains(QStringLiteral("Критерий Колмогорова отвергает модели: Пирсона/спир.спуск")))
        << notes->text().toStdString();
    EXPECT_TRUE(notes->text().contains(QStringLiteral("K и B не разделимы (модель 3)")))
        << notes->text().toStdString();
}

// On a 1366×768 screen the whole results window is in view: the charts shrink and
// nothing needs scrolling, with every model's column and model 3's panel shown.
TEST(ResultsWindow, FitsASmallScreenWithoutScrolling) {
    RunWindow rw;
    ASSERT_TRUE(rw.f().OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt")));
    rw.Models(true, true, true, true);
    rw.Run();
    TForm5& f5 = *rw.form5;
    // The work area of such a screen: its height less a panel and the title bar.
    f5.resize(1366, 700);
    QApplication::processEvents();
    f5.grab();  // lays everything out as drawn
    auto* scroll = Ctl<QScrollArea>(f5, "Form5Scroll");
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
    for (const char* chart : {"Chart1", "Chart2", "Chart3"}) {
        QWidget* c = Ctl<QWidget>(f5, chart);
        EXPECT_TRUE(
            scroll->viewport()->rect().contains(QRect(c->mapTo(scroll->viewport(), QPoint(0, 0)), c->size())))
            << chart;
    }
    if (const QByteArray shot = qgetenv("RELAN_SHOT"); !shot.isEmpty())
        f5.grab().save(QString::fromLocal8Bit(shot));
}

TEST(ModelThree, PanelShowsTheNoteWhenBAndKCannotBeToldApart) {
    FakeDialogs dialogs;
    TForm5 form5(nullptr, dialogs);
    rel::MlResult r;
    r.ok = true;
    r.A = 1.2;
    r.B = 1e9;
    r.K_powtor = 50;
    r.Separable = false;
    rel::ResultsContent content;
    content.ML = rel::SummarizeML(r, ',');
    form5.Fill(content);
    EXPECT_TRUE(Ctl<MlPanel>(form5, "MlPanel")->isVisibleTo(&form5));
    EXPECT_EQ(Ctl<QLabel>(form5, "MlNotes")->text(),
              QStringLiteral("K и B по данным не разделимы: надежны только N(t) и гамма-ресурсы"));
    EXPECT_EQ(Ctl<MlPanel>(form5, "MlPanel")->Cell(1, 1), QStringLiteral("—"));  // no scale to give
    content.ML.reset();
    form5.Fill(content);
    EXPECT_FALSE(Ctl<MlPanel>(form5, "MlPanel")->isVisibleTo(&form5));
}

// Model 3 per cause on the demo fleet: a row a cause with its figures, the test's
// verdict in words, a bar with its interval a cause (largest first), and the sum of the
// causes' curves on the accumulation chart.
TEST(ModelThree, PanelShowsEachCauseWithItsBarsAndTheTest) {
    RunWindow rw;
    ASSERT_TRUE(rw.f().OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt")));
    rw.Models(false, false, false, true);
    rw.Run();
    TForm5& f5 = *rw.form5;
    auto* panel = Ctl<MlPanel>(f5, "MlPanel");
    ASSERT_EQ(panel->CausesRowCount(), 6);
    EXPECT_EQ(panel->CausesCell(0, 0), QStringLiteral("Другие (40)"));
    EXPECT_TRUE(panel->CausesCell(1, 1).startsWith(QStringLiteral("1,340 [")));
    EXPECT_TRUE(panel->CausesCell(0, 3).endsWith(QStringLiteral("\n13,2 %")))
        << panel->CausesCell(0, 3).toStdString();
    EXPECT_TRUE(panel->CausesVerdict().endsWith(QStringLiteral("законы отказов по причинам не различаются")))
        << panel->CausesVerdict().toStdString();
    const QList<QAbstractSeries*> bars = panel->CausesChart()->chart()->series();
    ASSERT_EQ(bars.size(), 12);                               // a bar and a whisker a cause
    EXPECT_EQ(bars[0]->name(), QStringLiteral("Электрика"));  // the most claims
    const QList<QAbstractSeries*> chart2 = Ctl<QChartView>(f5, "Chart2")->chart()->series();
    EXPECT_TRUE(std::any_of(chart2.begin(), chart2.end(),
                            [](QAbstractSeries* s) { return s->objectName() == QLatin1String("Series30"); }));
    if (const QByteArray shot = qgetenv("RELAN_SHOT_CAUSES"); !shot.isEmpty()) {
        panel->resize(420, panel->sizeHint().height());
        panel->grab().save(QString::fromLocal8Bit(shot));
    }
}

TEST(CalculationRun, BadCoefficientIsReportedAndShowsNoResults) {
    RunWindow rw;
    rw.Load("app/causes2.txt");
    rw.Models(true, true, false);
    TForm1& f = rw.f();
    Ctl<QLineEdit>(f, "Edit6")->setText(QStringLiteral("1.0x"));
    rw.Run();
    ASSERT_EQ(rw.w.dialogs.errors.size(), 1);
    EXPECT_TRUE(rw.w.dialogs.errors[0].contains(QStringLiteral("\"1.0x\"")))
        << rw.w.dialogs.errors[0].toStdString();
    EXPECT_TRUE(rw.w.dialogs.errors[0].contains(QStringLiteral("модели 1.2")));
    EXPECT_FALSE(rw.form5->isVisible());
    EXPECT_TRUE(Ctl<QPushButton>(f, "bbRaschet")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Model 1.1, fitted before the refusal, keeps its new result.
    EXPECT_TRUE(f.State().ModSpir.Executed);
    EXPECT_FALSE(f.State().ModNewton.Executed);
}

TEST(CalculationRun, ContinueHidesTheResultsAndTheNextOutputShowsThemAgain) {
    RunWindow rw;
    rw.Load("app/causes2.txt");
    rw.f().show();
    rw.Run();
    TForm5& f5 = *rw.form5;
    ASSERT_TRUE(f5.isVisible());
    f5.ProdolgenieClick();
    EXPECT_FALSE(f5.isVisible());
    EXPECT_TRUE(rw.f().isVisible());
    rw.Run();
    EXPECT_TRUE(f5.isVisible());
    f5.close();
    EXPECT_FALSE(f5.isVisible());
    EXPECT_TRUE(rw.f().isVisible());
}

TEST(CalculationRun, PrintWithoutPrinterOffersThePdfOfTheWholeSheet) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    RunWindow rw;
    rw.Load("app/causes2.txt");
    rw.Run();
    QTemporaryDir dir;
    rw.w.dialogs.askAnswer = false;
    rw.form5->Button1Click();
    EXPECT_EQ(rw.w.dialogs.questions.size(), 1);
    EXPECT_EQ(rw.w.dialogs.saveCalls, 0);
    rw.w.dialogs.askAnswer = true;
    rw.w.dialogs.saveAnswer = dir.filePath(QStringLiteral("результаты.pdf"));
    // The user's selection in the table is not printed.
    Ctl<QTableWidget>(*rw.form5, "Result_Grid")->selectAll();
    rw.form5->Button1Click();
    QFile pdf(rw.w.dialogs.saveAnswer);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    // Where it went is said.
    ASSERT_EQ(rw.w.dialogs.messages.size(), 1);
    EXPECT_TRUE(rw.w.dialogs.messages[0].contains(rw.w.dialogs.saveAnswer))
        << rw.w.dialogs.messages[0].toStdString();

    // The page is the results drawn as vectors: its texts can be searched, under
    // the header line, and no picture on it is larger than a chart's point mark.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    if (pdftotext.isEmpty() || pdfimages.isEmpty()) GTEST_SKIP() << "poppler-utils are not installed";
    QProcess text;
    text.start(pdftotext, {rw.w.dialogs.saveAnswer, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString t = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* want : {"Критерий Колмогорова", "Данные эксплуатации", "Файл данных: causes2.txt",
                             "relan " RELAN_VERSION, "модели: 1.1", "приработка 300 ч"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(want))) << want << "\n" << t.toStdString();
    EXPECT_FALSE(t.contains(QStringLiteral("Продолж."))) << "the window's buttons are not on the page";
    QProcess images;
    images.start(pdfimages, {QStringLiteral("-list"), rw.w.dialogs.saveAnswer});
    ASSERT_TRUE(images.waitForFinished(60000));
    const QStringList rows =
        QString::fromUtf8(images.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const int mark = CrossImage(Qt::black, 3).width();  // Series18's crosses, the largest marks
    for (qsizetype i = 2; i < rows.size(); ++i) {       // after the two heading lines
        const QStringList c = rows[i].simplified().split(QLatin1Char(' '));
        ASSERT_GE(c.size(), 5) << rows[i].toStdString();
        EXPECT_LE(c[3].toInt(), mark) << rows[i].toStdString();
        EXPECT_LE(c[4].toInt(), mark) << rows[i].toStdString();
    }
}

TEST(CalculationRun, ClosingDuringARunWaitsForItAndDropsTheOutput) {
    RunWindow rw;
    rw.Load("app/causes2.txt");
    rw.Models(true, true, true);
    rw.f().show();
    rw.f().bbRaschetClick();
    ASSERT_TRUE(rw.f().Runs().Running());
    rw.f().close();
    EXPECT_FALSE(rw.f().Runs().Running());
    EXPECT_TRUE(rw.f().State().ModSmirn.Executed);  // the run went to its end
    EXPECT_FALSE(rw.form5->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(rw.w.dialogs.errors.isEmpty());
}

TEST(CalculationRun, ClosingEndsModelThreeBetweenItsSteps) {
    RunWindow rw;
    rw.Load("app/causes5.txt");
    rw.Models(true, false, false, true);
    rw.f().show();
    // The run is held at its first progress line (model 1.1, before model 3) until
    // its end is asked for.
    std::atomic<bool> held{false};
    RunController& runs = rw.f().Runs();
    runs.SetWorkerTap([&held, &runs](const RunEvent&) {
        held = true;
        while (!runs.EndRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
    std::optional<rel::RunResult> ended;
    QObject::connect(&runs, &RunController::CalculationDone,
                     [&ended](const rel::RunResult& r, const rel::AnalysisState&) { ended = r; });
    rw.f().bbRaschetClick();
    while (!held) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_TRUE(rw.f().close());
    ASSERT_TRUE(ended.has_value());
    ASSERT_TRUE(ended->ml.has_value());
    EXPECT_FALSE(ended->ml->ok);  // stopped before its fit
    EXPECT_TRUE(rw.f().State().ModSpir.Executed);
    EXPECT_FALSE(rw.f().State().ModML.Executed);
    EXPECT_FALSE(rw.form5->isVisible());
    EXPECT_TRUE(rw.w.dialogs.errors.isEmpty());
    EXPECT_TRUE(rw.w.dialogs.questions.isEmpty());  // "Расчет" is not asked about
}

TEST(CalculationRun, WithoutLoadedFileNothingRuns) {
    RunWindow rw;
    Ctl<QLineEdit>(rw.f(), "meSred")->setText(QStringLiteral("2500"));
    Ctl<QLineEdit>(rw.f(), "meSKO")->setText(QStringLiteral("400"));
    Ctl<QLineEdit>(rw.f(), "LabeledEdit2")->setText(QStringLiteral("2500"));
    rw.f().bbRaschetClick();
    EXPECT_FALSE(rw.f().Runs().Running());
    EXPECT_TRUE(Ctl<QPushButton>(rw.f(), "bbRaschet")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(rw.form5->isVisible());
}

// ---- relan --report ----

struct Report {
    int exitCode = -1;
    QString out, err;
};

Report RunRelan(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1700000000"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(RELAN_APP), args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    Report r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(ReportPdf, WritesTheResultsPageWithoutADisplay) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("отчет.pdf"));
    const Report r =
        RunRelan({QStringLiteral("--report"), pdf, Fixture("app/causes5.txt"), QStringLiteral("--models"),
                  QStringLiteral("1.1,1.2,2"), QStringLiteral("--virtual-clock"), QStringLiteral("4000")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Ход решения\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Расчёт модели по Смирнову выполнен за ")));

    // The first page, as an image, is landscape and carries drawing on a good part
    // of it.
    QProcess conv;
    conv.start(pdftoppm,
               {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                QStringLiteral("-f"), QStringLiteral("1"), pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(conv.waitForFinished(60000));
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height());
    qint64 inked = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 200) ++inked;
    EXPECT_GT(inked, static_cast<qint64>(page.width()) * page.height() / 50) << inked;

    // Texts stay texts: the table and the chart titles can be searched.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (!pdftotext.isEmpty()) {
        QProcess text;
        text.start(pdftotext, {pdf, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(60000));
        const QString t = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* want : {"Парк пяти причин отказов (50 шт.)", "Данные эксплуатации", "Критерий Смирнова",
                                 "Изменение потока отказов в течение гарантийного периода",
                                 "Интегральные (накопленные) оценки потока отказов", "Ln времени наработки"})
            EXPECT_TRUE(t.contains(QString::fromUtf8(want))) << want;
        // The header line: files, the date of SOURCE_DATE_EPOCH, the version, the settings.
        EXPECT_TRUE(
            t.contains(QStringLiteral("Файл данных: causes5.txt; 14.11.2023 22:13:20 UTC; relan " RELAN_VERSION
                                      "; модели: 1.1, 1.2, 2; способ подбора: Стандарт; приработка 300 ч; "
                                      "виртуальные часы 4000 оценок/с")))
            << t.toStdString();
        EXPECT_FALSE(t.contains(QStringLiteral("95% доверительные интервалы")));
    }
}

TEST(ReportPdf, CarriesModelThreesIntervals) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("ml.pdf"));
    const Report r =
        RunRelan({QStringLiteral("--report"), pdf, Fixture("app/causes5.txt"), QStringLiteral("--warranty"),
                  Fixture("app/gar-tiny.txt"), QStringLiteral("--models"), QStringLiteral("1.1,3"),
                  QStringLiteral("--bootstrap"), QStringLiteral("20"), QStringLiteral("--seed"),
                  QStringLiteral("4"), QStringLiteral("--virtual-clock"), QStringLiteral("4000")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString t = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* want :
         {"95% доверительные интервалы", "Форма A", "Гамма 90%, ч", "Макс. правдоподобия",
          "Файл данных: causes5.txt; файл гарантии: gar-tiny.txt", "модели: 1.1, 3", "зерно 4; бутстреп 20"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(want))) << want << "\n" << t.toStdString();
}

TEST(ReportPdf, EnglishPageWithLangEn) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("en.pdf"));
    const Report r = RunRelan({QStringLiteral("--report"), pdf, QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt"),
                               QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--models"),
                               QStringLiteral("1.1,3"), QStringLiteral("--bootstrap"), QStringLiteral("0"),
                               QStringLiteral("--virtual-clock"), QStringLiteral("4000")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The progress lines in English too, the elapsed time as the window shows it.
    EXPECT_TRUE(r.out.contains(QStringLiteral("B = — h, K = —"))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("ч/мин/с"))) << r.out.toStdString();
    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString t = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* want : {"Results for the models:", "Field data", "Kolmogorov criterion",
                             "Data file: demo-fleet.txt", "K and B not separable", "Operating time, h"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(want))) << want << "\n" << t.toStdString();
    for (const char* russian : {"Результаты для моделей", "Данные эксплуатации", "Файл данных:"})
        EXPECT_FALSE(t.contains(QString::fromUtf8(russian))) << russian;
}

TEST(ReportPdf, BadInputEndsWithAMessageAndNonZeroStatus) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    const QString data = Fixture("app/causes2.txt");
    struct Case {
        QStringList args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{QStringLiteral("--report"), pdf}, 1, "не указан файл исходных данных"},
        {{QStringLiteral("--report"), pdf, data, QStringLiteral("--models"), QStringLiteral("1.3")}, 1, "1.3"},
        {{QStringLiteral("--report"), pdf, data, QStringLiteral("--burn-in"), QStringLiteral("abc")}, 1, "abc"},
        {{QStringLiteral("--report"), pdf, data, QStringLiteral("--item"), QStringLiteral("5")}, 1, "--item"},
        {{QStringLiteral("--report"), pdf, data, QStringLiteral("--virtual-clock"), QStringLiteral("0")},
         1,
         "--virtual-clock"},
        {{QStringLiteral("--report"), pdf, dir.filePath(QStringLiteral("none.txt"))}, 2, "none.txt"},
        {{QStringLiteral("--report"), pdf, data, QStringLiteral("--warranty"),
          dir.filePath(QStringLiteral("gar-none.txt"))},
         2,
         "Указанный файл не существует"},
        {{QStringLiteral("--report"), pdf, data, QStringLiteral("--step-coef-1.1"), QStringLiteral("1,x"),
          QStringLiteral("--virtual-clock"), QStringLiteral("4000")},
         1,
         "--step-coef-1.1: \"1,x\""},
        {{QStringLiteral("--report"), dir.filePath(QStringLiteral("no/such/folder/r.pdf")), data,
          QStringLiteral("--virtual-clock"), QStringLiteral("4000")},
         4,
         "r.pdf"},
        // Model 2 on the demo fleet's 313 failure rows: at most 638977 evaluations a second.
        {{QStringLiteral("--report"), pdf, QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt"),
          QStringLiteral("--models"), QStringLiteral("2"), QStringLiteral("--virtual-clock"),
          QStringLiteral("1000000")},
         1,
         "--virtual-clock: \"1000000\" вне допустимых пределов для модели 2 на 313 строках отказов (от 1 до "
         "638977)"},
    };
    for (const Case& c : cases) {
        const Report r = RunRelan(c.args);
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(ReportFiles, FormatFollowsTheExtensionAndAFailedWriteIsStatusFour) {
    QTemporaryDir dir;
    const QString data = Fixture("app/causes5.txt");
    const QString svg = dir.filePath(QStringLiteral("отчет.svg"));
    const QString png = dir.filePath(QStringLiteral("отчет.PNG"));
    struct Case {
        QString out;
        int exitCode;
        const char* says;  // in the error output; empty: nothing asked
    };
    const Case cases[] = {
        {svg, 0, ""},
        {png, 0, ""},
        {dir.filePath(QStringLiteral("отчет.docx")), 1, "отчет.docx"},
        // A device that takes nothing: the PDF is made, its writing fails.
        {QStringLiteral("/dev/full"), 4, "/dev/full"},
        {dir.filePath(QStringLiteral("нет/папки/отчет.svg")), 4, "отчет.svg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out.toStdString());
        const Report r = RunRelan(
            {QStringLiteral("--report"), c.out, data, QStringLiteral("--virtual-clock"), QStringLiteral("4000")});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        if (*c.says) {
            EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
        }
    }
    // The SVG keeps the page's texts as texts: chart titles, the table, the header.
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("<?xml")) || text.contains(QStringLiteral("<svg")));
    for (const char* want :
         {"Интегральные (накопленные) оценки потока отказов", "Критерий Колмогорова", "Файл данных: causes5.txt"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(want))) << want;
    // The PNG is the landscape page at 150 dots per inch, drawn on.
    const QImage page(png);
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 1754, 2);
    EXPECT_NEAR(page.height(), 1240, 2);
    qint64 inked = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2)
            if (qGray(page.pixel(x, y)) < 200) ++inked;
    EXPECT_GT(inked, static_cast<qint64>(page.width()) * page.height() / 4 / 50) << inked;
}

TEST(Usage, HelpAndVersionNeedNoDisplay) {
    const Report version = RunRelan({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("relan " RELAN_VERSION));
    const Report help = RunRelan({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    for (const char* want : {"relan --report", ".svg", ".png", "--version"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(want))) << want << "\n" << help.out.toStdString();
}

// A fleet in service: the ages file beside the data file, model 3 fitted on each
// product's window, and the forecast's table and chart in the results window.
TEST(FleetInService, AgesFileFitAndForecastInTheResultsWindow) {
    RunWindow rw;
    ASSERT_TRUE(rw.f().OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/service-fleet.txt")));
    // A file of another fleet's size is refused and changes nothing.
    EXPECT_FALSE(rw.f().LoadAgesFile(QStringLiteral(RELAN_EXAMPLES "/gar-demo.txt")));
    ASSERT_FALSE(rw.w.dialogs.errors.isEmpty());
    EXPECT_TRUE(rw.w.dialogs.errors.back().contains(QStringLiteral("Файл наработок парка не загружен")));
    EXPECT_FALSE(rw.f().State().Ages);
    ASSERT_TRUE(rw.f().LoadAgesFile(QStringLiteral(RELAN_EXAMPLES "/service-ages.txt")));
    ASSERT_TRUE(rw.f().State().Ages);
    EXPECT_TRUE(Ctl<QLabel>(rw.f(), "AgesInfo")->text().contains(QStringLiteral("Изделий: 900")));
    EXPECT_EQ(Ctl<QLineEdit>(rw.f(), "AgesPath")->text(), QStringLiteral("/..service-ages.txt"));
    // It is among the recent files now, and opens again from there.
    QAction* recent = rw.f().findChild<QAction*>(QStringLiteral("actRecentAges1"));
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->toolTip().endsWith(QStringLiteral("service-ages.txt")));
    recent->trigger();
    EXPECT_TRUE(rw.f().State().Ages);

    // A bad forecast setting stops the run before it starts.
    rw.Models(false, false, false, true);
    Ctl<QLineEdit>(rw.f(), "HorizonEdit")->setText(QStringLiteral("0"));
    const auto errors = rw.w.dialogs.errors.size();
    rw.f().bbRaschetClick();
    EXPECT_EQ(rw.w.dialogs.errors.size(), errors + 1);
    EXPECT_TRUE(rw.w.dialogs.errors.back().contains(QStringLiteral("Месяцев прогноза")));
    EXPECT_FALSE(rw.f().Runs().Running());

    Ctl<QLineEdit>(rw.f(), "HorizonEdit")->setText(QStringLiteral("6"));
    rw.Run();
    TForm5& f5 = *rw.form5;
    auto* panel = Ctl<MlPanel>(f5, "MlPanel");
    ASSERT_TRUE(panel->isVisibleTo(&f5));
    EXPECT_TRUE(Ctl<QLabel>(f5, "ForecastTitle")->isVisibleTo(&f5));
    EXPECT_TRUE(Ctl<QLabel>(f5, "ForecastRemaining")->text().contains(QStringLiteral("95% прогнозный интервал")));
    ASSERT_EQ(panel->ForecastRowCount(), 6);
    EXPECT_EQ(panel->ForecastCell(5, 0), QStringLiteral("6"));
    QChartView* chart = panel->ForecastChart();
    ASSERT_TRUE(chart->isVisibleTo(&f5));
    ASSERT_EQ(chart->chart()->series().size(), 2);
    EXPECT_EQ(chart->chart()->series()[0]->type(), QAbstractSeries::SeriesTypeArea);
    // The tooltip of the expected claims' first month names the series.
    f5.resize(1800, 1100);
    f5.show();
    QApplication::processEvents();
    auto* expected = qobject_cast<QLineSeries*>(chart->chart()->series()[1]);
    ASSERT_NE(expected, nullptr);
    const QPointF first = expected->at(0);
    QChart* c = chart->chart();
    const QPoint at = chart->mapFromScene(c->mapToScene(c->mapToPosition(first, expected)));
    EXPECT_TRUE(panel->ForecastExplorer()->TipAt(at).contains(expected->name())) << at.x() << " " << at.y();
    // The results say that the table's columns assume the complete record.
    EXPECT_TRUE(Ctl<QLabel>(f5, "ResultNotes")->text().contains(QStringLiteral("файл наработок парка")));
    f5.resize(1800, 1100);
    QApplication::processEvents();
    if (const QByteArray shot = qgetenv("RELAN_SHOT_SERVICE"); !shot.isEmpty())
        f5.grab().save(QString::fromLocal8Bit(shot));

    // A new data file is a new analysis: the ages go with the fleet before.
    ASSERT_TRUE(rw.f().OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt")));
    EXPECT_FALSE(rw.f().State().Ages);
    EXPECT_TRUE(Ctl<QLineEdit>(rw.f(), "AgesPath")->text().isEmpty());
}

}  // namespace
}  // namespace relan::test
