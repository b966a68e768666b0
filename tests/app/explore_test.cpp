// Working with the results: tooltips, zoom and export of the charts; selection,
// copy and export of the tables, on the demo fleet.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QChart>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QWheelEvent>
#include <unistd.h>

#include "chart_tools.h"
#include "fake_dialogs.h"
#include "form1.h"
#include "form5.h"
#include "lnchart.h"
#include "results_chart.h"
#include "results_grid.h"
#include "table_tools.h"

namespace relan::test {
namespace {

QString Demo() { return QDir(QStringLiteral(RELAN_EXAMPLES)).filePath(QStringLiteral("demo-fleet.txt")); }

// A file name of this test process in `dir`.
QString Unique(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(QStringLiteral("%1-%2").arg(getpid()).arg(QString::fromUtf8(name)));
}

QString ReadText(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

void Trigger(const QMenu* menu, const char* action) {
    QAction* a = menu->findChild<QAction*>(QString::fromUtf8(action));
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
}

// The demo fleet loaded and model 1.1 run on the virtual clock; the results window
// drawn at its designed size.
struct DemoResults {
    Window w;
    std::unique_ptr<TForm5> form5;
    QTemporaryDir out;

    DemoResults() {
        form5 = std::make_unique<TForm5>(w.form.get(), w.dialogs);
        w.form->SetResultsWindow(form5.get());
        w.form->Runs().Clock.evaluationsPerSecond = 4000;
        w.form->show();
        w.form->OpenDataFile(Demo());
        Ctl<QCheckBox>(*w.form, "SpirSpusk")->setChecked(true);
        w.form->bbRaschetClick();
        w.form->Runs().WaitForEnd();
        form5->resize(kForm5DesignWidth, kForm5DesignHeight);
        QApplication::processEvents();
    }
    ~DemoResults() { form5.reset(); }
    ResultsGrid* Grid() { return Ctl<ResultsGrid>(*form5, "Result_Grid"); }
};

// Where a point of a series is drawn, in its view's coordinates.
QPoint ViewPos(QChartView* view, const QPointF& value, QAbstractSeries* series) {
    QChart* c = view->chart();
    return view->mapFromScene(c->mapToScene(c->mapToPosition(value, series)));
}

TEST(ChartExplorer, TooltipZoomMoveAndResetOnTheLogLogChart) {
    Window w;
    w.form->show();
    ASSERT_TRUE(w.form->OpenDataFile(Demo()));
    QApplication::processEvents();
    LnChart* view = Ctl<LnChart>(*w.form, "Chart2");
    ChartExplorer* ex = view->Explorer();
    const QList<QPointF> pts = view->Series1()->points();
    ASSERT_GT(pts.size(), 100);
    const QPointF p = pts[pts.size() / 2];
    const QPoint at = ViewPos(view, p, view->Series1());

    // The series' name and the point's values under the axes' titles.
    const QString tip = ex->TipAt(at);
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Отказы\n"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Log t (часов): ") + QLocale().toString(p.x(), 'g', 6)))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Log N (отказов): ") + QLocale().toString(p.y(), 'g', 6)))
        << tip.toStdString();
    // Nothing above the plot.
    EXPECT_TRUE(ex->TipAt(QPoint(view->width() / 2, 2)).isEmpty());

    // The wheel zooms in around the pointer: the range narrows, the point stays.
    const double x0 = view->AxisBottom()->min(), x1 = view->AxisBottom()->max();
    const double y0 = view->AxisLeft()->min(), y1 = view->AxisLeft()->max();
    QWheelEvent wheel(QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    const double zoomedWidth = view->AxisBottom()->max() - view->AxisBottom()->min();
    EXPECT_NEAR(zoomedWidth, (x1 - x0) / 1.5625, (x1 - x0) * 1e-3);
    const QPoint still = ViewPos(view, p, view->Series1());
    EXPECT_LE((still - at).manhattanLength(), 4);  // whole pixels before and after

    // A drag moves the range by the distance dragged, its width kept.
    const double before = view->AxisBottom()->min();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), view->viewport()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    const QPoint to = at + QPoint(40, 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view->viewport()->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(to), view->viewport()->mapToGlobal(QPointF(to)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &release);
    EXPECT_LT(view->AxisBottom()->min(), before);
    EXPECT_NEAR(view->AxisBottom()->max() - view->AxisBottom()->min(), zoomedWidth, zoomedWidth * 1e-6);

    // A double click shows the whole chart again; so does the menu's "Исходный масштаб".
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), view->viewport()->mapToGlobal(QPointF(at)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &dbl);
    EXPECT_DOUBLE_EQ(view->AxisBottom()->min(), x0);
    EXPECT_DOUBLE_EQ(view->AxisBottom()->max(), x1);
    EXPECT_DOUBLE_EQ(view->AxisLeft()->min(), y0);
    EXPECT_DOUBLE_EQ(view->AxisLeft()->max(), y1);
    ex->ZoomAt(at, 3.0);
    Trigger(ex->Menu(), "actResetZoom");
    EXPECT_DOUBLE_EQ(view->AxisBottom()->min(), x0);
    EXPECT_DOUBLE_EQ(view->AxisBottom()->max(), x1);
}

TEST(ChartExplorer, ResultsChartsNameTheirPointsAndSaveAsSvgAndPng) {
    DemoResults r;
    auto* chart = Ctl<ResultsChart>(*r.form5, "Chart2");
    // A point of a visible model curve: its name, the interval's end time and the value.
    QXYSeries* curve = nullptr;
    for (QAbstractSeries* s : chart->chart()->series()) {
        auto* xy = qobject_cast<QXYSeries*>(s);
        if (xy && xy->isVisible() && !xy->name().isEmpty() && xy->count() > 5) {
            curve = xy;
            break;
        }
    }
    ASSERT_NE(curve, nullptr);
    const QPointF p = curve->at(curve->count() / 2);
    const QString tip = chart->Explorer()->TipAt(ViewPos(chart, p, curve));
    const QStringList lines = tip.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << tip.toStdString();
    EXPECT_EQ(lines[0], curve->name());
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Время наработки, час: "))) << tip.toStdString();
    EXPECT_GT(lines[1].section(QStringLiteral(": "), 1).toInt(), 0) << tip.toStdString();
    EXPECT_TRUE(lines[2].endsWith(QLocale().toString(p.y(), 'g', 6))) << tip.toStdString();

    // "Сохранить как SVG…": the title and the axes as texts; the extension is added.
    r.w.dialogs.saveAnswer = Unique(r.out, "накопленные");
    Trigger(chart->Explorer()->Menu(), "actSaveSvg");
    const QString svg = ReadText(r.w.dialogs.saveAnswer + QStringLiteral(".svg"));
    ASSERT_FALSE(svg.isEmpty());
    EXPECT_TRUE(svg.contains(QStringLiteral("<svg")));
    for (const char* want : {"Интегральные (накопленные) оценки потока отказов", "Отказов на 1 изделие"})
        EXPECT_TRUE(svg.contains(QString::fromUtf8(want))) << want;
    r.w.dialogs.saveAnswer = Unique(r.out, "поток.png");
    Trigger(Ctl<ResultsChart>(*r.form5, "Chart1")->Explorer()->Menu(), "actSavePng");
    const QImage png(r.w.dialogs.saveAnswer);
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), Ctl<ResultsChart>(*r.form5, "Chart1")->viewport()->size() * 2);
    // A file that cannot be written is said, with its name.
    r.w.dialogs.saveAnswer = Unique(r.out, "нет/папки/x.svg");
    Trigger(chart->Explorer()->Menu(), "actSaveSvg");
    ASSERT_EQ(r.w.dialogs.errors.size(), 1);
    EXPECT_TRUE(r.w.dialogs.errors[0].contains(QStringLiteral("x.svg"))) << r.w.dialogs.errors[0].toStdString();
}

// Splits tab-separated lines into cells.
std::vector<QStringList> Cells(const QString& text) {
    std::vector<QStringList> rows;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) rows.push_back(line.split(QLatin1Char('\t')));
    return rows;
}

TEST(TableExport, CopiedSelectionOfTheResultsTablePastesBackIntoTheSameCells) {
    DemoResults r;
    ResultsGrid* g = r.Grid();
    struct Case {
        int top, left, bottom, right;  // rows of the table below the header
    };
    const Case cases[] = {{0, 0, 10, 1}, {2, 1, 5, 2}, {0, 0, 10, g->columnCount() - 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.top << "," << c.left << " - " << c.bottom << "," << c.right);
        g->clearSelection();
        g->setRangeSelected(QTableWidgetSelectionRange(c.top, c.left, c.bottom, c.right), true);
        // Ctrl+C on the table puts the selection on the clipboard.
        QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
        QApplication::sendEvent(g, &copy);
        const std::vector<QStringList> rows = Cells(QApplication::clipboard()->text());
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.bottom - c.top + 2));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].size(), c.right - c.left + 1) << i;
            // The first line: the columns' headers; then the cells without their padding.
            const int row = i == 0 ? 0 : c.top + static_cast<int>(i);
            for (int col = c.left; col <= c.right; ++col)
                EXPECT_EQ(rows[i][col - c.left], g->CellText(col, row).trimmed()) << i << " " << col;
        }
    }
    // Rows whole from the menu: every column of the rows selected.
    g->clearSelection();
    g->setRangeSelected(QTableWidgetSelectionRange(1, 1, 1, 1), true);
    Trigger(g->Tools()->Menu(), "actSelectRows");
    const std::vector<QStringList> row = Cells(g->Tools()->SelectionText());
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(row[1].size(), g->columnCount());
    EXPECT_EQ(row[1][0], QStringLiteral("Коэффициент повторности"));
}

TEST(TableExport, CsvAndWorkbookOfTheDemoFleetReadBackWithTheTablesValues) {
    DemoResults r;
    ResultsGrid* g = r.Grid();

    // The results table as CSV: byte-order mark, semicolons, decimal commas, CR LF.
    r.w.dialogs.saveAnswer = Unique(r.out, "результаты.csv");
    Trigger(g->Tools()->Menu(), "actSaveCsv");
    QFile f(r.w.dialogs.saveAnswer);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12);
    for (int row = 0; row < 12; ++row) {
        const QStringList cells = lines[row].split(QLatin1Char(';'));
        ASSERT_EQ(cells.size(), g->columnCount()) << lines[row].toStdString();
        for (int col = 0; col < g->columnCount(); ++col) EXPECT_EQ(cells[col], g->CellText(col, row).trimmed());
    }
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Коэффициент повторности;0,748;"))) << lines[2].toStdString();

    // The failure list as CSV: a header and one line per failure, times with a comma.
    const QTableView* list = Ctl<QTableView>(*r.w.form, "Problems_Grid");
    TableTools* listTools = r.w.form->findChild<TableTools*>();
    ASSERT_NE(listTools, nullptr);
    const QString csv = QString::fromUtf8(listTools->Csv().mid(3));
    const QStringList listLines = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(listLines.size(), list->model()->rowCount() + 1);
    EXPECT_EQ(listLines[0].split(QLatin1Char(';')).size(), 4);
    EXPECT_TRUE(csv.contains(QStringLiteral("1823,6"))) << "a time of the file written with a point";

    // The workbook: the results sheet with the table's texts and the models' figures
    // as numbers, the failures, the histogram.
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty()) GTEST_SKIP() << "unzip is not installed";
    r.w.dialogs.saveAnswer = Unique(r.out, "анализ");
    Trigger(g->Tools()->Menu(), "actSaveExcel");
    const QString xlsx = r.w.dialogs.saveAnswer + QStringLiteral(".xlsx");
    ASSERT_TRUE(QFile::exists(xlsx)) << r.w.dialogs.errors.join(QLatin1Char('\n')).toStdString();
    auto sheet = [&](int n) {
        QProcess p;
        p.start(unzip, {QStringLiteral("-p"), xlsx, QStringLiteral("xl/worksheets/sheet%1.xml").arg(n)});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString results = sheet(1);
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 3; ++col) {
            const QString cell = g->CellText(col, row).trimmed().toHtmlEscaped();
            if (!cell.isEmpty()) {
                EXPECT_TRUE(results.contains(cell)) << cell.toStdString();
            }
        }
    EXPECT_TRUE(results.contains(QStringLiteral("<v>%1</v>").arg(r.w.form->State().ModSpir.A, 0, 'g', 17)) ||
                results.contains(QStringLiteral("<v>%1</v>").arg(r.w.form->State().ModSpir.A, 0, 'g', 16)))
        << "model 1.1's shape as a number";
    const QString failures = sheet(2);
    EXPECT_EQ(failures.count(QStringLiteral("<row ")), list->model()->rowCount() + 1);
    EXPECT_TRUE(failures.contains(QStringLiteral("<v>1823.6</v>")));
    EXPECT_FALSE(sheet(3).isEmpty());
    // The failure list's menu writes the same workbook.
    r.w.dialogs.saveAnswer = Unique(r.out, "отказы.xlsx");
    Trigger(listTools->Menu(), "actSaveExcel");
    EXPECT_TRUE(QFile::exists(r.w.dialogs.saveAnswer));
}

}  // namespace
}  // namespace relan::test
