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
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QUrl>
#include <QLineEdit>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QWheelEvent>
#include <unistd.h>

#include <cmath>

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
    // And what they stand for: the time in hours and the failures counted by then.
    EXPECT_TRUE(tip.endsWith(QStringLiteral("\nt = %1 ч, N = %2")
                                 .arg(QLocale().toString(std::exp(p.x()), 'f', 1))
                                 .arg(QLocale().toString(std::lround(std::exp(p.y()))))))
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
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), view->viewport()->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
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
    // "Копировать изображение": the chart at twice its pixels on the clipboard.
    Trigger(chart->Explorer()->Menu(), "actCopyImage");
    EXPECT_EQ(QApplication::clipboard()->image().size(), chart->viewport()->size() * 2);
    // A file that cannot be written is said, with its name.
    r.w.dialogs.saveAnswer = Unique(r.out, "нет/папки/x.svg");
    Trigger(chart->Explorer()->Menu(), "actSaveSvg");
    ASSERT_EQ(r.w.dialogs.errors.size(), 1);
    EXPECT_TRUE(r.w.dialogs.errors[0].contains(QStringLiteral("x.svg"))) << r.w.dialogs.errors[0].toStdString();
}

// Splits tab-separated lines into cells.
std::vector<QStringList> Cells(const QString& text) {
    std::vector<QStringList> rows;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        rows.push_back(line.split(QLatin1Char('\t')));
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

// ---- the menu bar ----

QAction* Action(const QWidget& window, const char* name) { return Ctl<QAction>(window, name); }

TEST(MainMenu, ActionsCallTheButtonsHandlersUnderTheirShortcuts) {
    Window w;
    struct Item {
        const char* name;
        const char* text;
        QKeySequence keys;
    };
    const Item items[] = {
        {"actOpenData", "Открыть данные…", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"actOpenWarranty", "Открыть файл гарантии…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
        {"actSaveReport", "Сохранить отчет PDF…", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"actExit", "Выход", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"actRun", "Расчет", QKeySequence(Qt::Key_F5)},
        {"actGen", "Генетический алгоритм", QKeySequence(Qt::Key_F6)},
        {"actStop", "Стоп", QKeySequence(Qt::Key_Escape)},
        {"actShowResults", "Показать результаты", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"actFormats", "Формат файлов", QKeySequence(Qt::Key_F1)},
        {"actAbout", "О программе", QKeySequence()},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        EXPECT_EQ(Action(*w.form, item.name)->text(), QString::fromUtf8(item.text));
        EXPECT_EQ(Action(*w.form, item.name)->shortcut(), item.keys);
    }
    // "Открыть данные…" is "Путь": its dialog, its filter, its load.
    w.dialogs.openAnswers.push_back(Demo());
    Action(*w.form, "actOpenData")->trigger();
    ASSERT_EQ(w.dialogs.opens.size(), 1u);
    EXPECT_EQ(w.dialogs.opens[0].filter, QStringLiteral("Файлы данных (*.txt *.rel);;Все файлы (*)"));
    EXPECT_TRUE(w.form->State().FileLoaded);
    // "Открыть файл гарантии…" is "File"; "Расчет" without a model says what "Расчет" says.
    Action(*w.form, "actOpenWarranty")->trigger();
    ASSERT_EQ(w.dialogs.opens.size(), 2u);
    EXPECT_TRUE(w.dialogs.opens[1].filter.startsWith(QStringLiteral("Файл времен гарантии")));
    // Nothing to show or save before the first results.
    EXPECT_FALSE(Action(*w.form, "actShowResults")->isEnabled());
    EXPECT_FALSE(Action(*w.form, "actSaveReport")->isEnabled());
}

TEST(MainMenu, ResultsReopenWithoutARunAndSaveAsPdf) {
    DemoResults r;
    QAction* show = Action(*r.w.form, "actShowResults");
    ASSERT_TRUE(show->isEnabled());
    Ctl<QPushButton>(*r.form5, "Prodolgenie")->click();
    ASSERT_FALSE(r.form5->isVisible());
    const QString log = Ctl<QPlainTextEdit>(*r.w.form, "Memo2")->toPlainText();
    const QString cell = r.form5->CellText(1, 2);
    show->trigger();
    EXPECT_TRUE(r.form5->isVisible());
    EXPECT_EQ(Ctl<QPlainTextEdit>(*r.w.form, "Memo2")->toPlainText(), log) << "no new run";
    EXPECT_EQ(r.form5->CellText(1, 2), cell);

    r.w.dialogs.saveAnswer = Unique(r.out, "отчет");
    Action(*r.w.form, "actSaveReport")->trigger();
    QFile pdf(r.w.dialogs.saveAnswer + QStringLiteral(".pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << r.w.dialogs.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    ASSERT_FALSE(r.w.dialogs.messages.isEmpty());
    EXPECT_TRUE(r.w.dialogs.messages.last().contains(r.w.dialogs.saveAnswer + QStringLiteral(".pdf")));
}

TEST(MainMenu, RecentFilesSurviveARestartAndAMissingOneIsDropped) {
    Window w;
    QTemporaryDir data;
    const QString first = Unique(data, "первый.txt"), second = Unique(data, "второй.rel");
    ASSERT_TRUE(QFile::copy(Demo(), first));
    ASSERT_TRUE(QFile::copy(Fixture("app/tiny.txt"), second));
    ASSERT_TRUE(w.form->OpenDataFile(first));
    ASSERT_TRUE(w.form->OpenDataFile(second));
    ASSERT_TRUE(w.form->OpenDataFile(first));  // again: it moves to the top, once

    w.Open();  // a new start with the same settings file
    EXPECT_EQ(w.form->RecentFiles(), (QStringList{first, second}));
    QMenu* recent = Ctl<QMenu>(*w.form, "menuRecent");
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), QStringLiteral("&1 ") + QFileInfo(first).fileName());
    EXPECT_EQ(recent->actions()[1]->text(), QStringLiteral("&2 ") + QFileInfo(second).fileName());

    // Gone since: a message, nothing loaded, the file leaves the list (also after a restart).
    ASSERT_TRUE(QFile::remove(first));
    recent->actions()[0]->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages[0].contains(QFileInfo(first).fileName()))
        << w.dialogs.messages[0].toStdString();
    EXPECT_TRUE(w.dialogs.errors.isEmpty());
    EXPECT_FALSE(w.form->State().FileLoaded);
    w.Open();
    EXPECT_EQ(w.form->RecentFiles(), QStringList{second});
    Ctl<QMenu>(*w.form, "menuRecent")->actions()[0]->trigger();
    EXPECT_TRUE(w.form->State().FileLoaded);
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "FilePath")->text(), second);

    // No more than eight are kept.
    for (int i = 0; i < 10; ++i) {
        const QString f = Unique(data, QStringLiteral("n%1.txt").arg(i).toUtf8().constData());
        ASSERT_TRUE(QFile::copy(Fixture("app/tiny.txt"), f));
        ASSERT_TRUE(w.form->OpenDataFile(f));
    }
    EXPECT_EQ(w.form->RecentFiles().size(), 8);
    EXPECT_TRUE(w.form->RecentFiles().constFirst().endsWith(QStringLiteral("n9.txt")));
}

TEST(MainMenu, DroppedDataFileIsLoadedAndARefusedOneChangesNothing) {
    Window w;
    auto drop = [&](const QString& file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        // The window takes the drag as it enters, then the drop.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &event);
    };
    drop(Demo());
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "FilePath")->text(), Demo());
    const QString kolOtk = Ctl<QLineEdit>(*w.form, "meKolOtk")->text();
    drop(QDir(QStringLiteral(RELAN_EXAMPLES)).filePath(QStringLiteral("нет-такого.txt")));
    EXPECT_EQ(w.dialogs.errors.size(), 1);
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "FilePath")->text(), Demo());
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "meKolOtk")->text(), kolOtk);

    // A warranty end-time file is told from a data file, by its name or by its lines
    // of single numbers, and loaded as the warranty file beside the data.
    const QString gar = QDir(QStringLiteral(RELAN_EXAMPLES)).filePath(QStringLiteral("gar-demo.txt"));
    QTemporaryDir dir;
    const QString renamed = dir.filePath(QStringLiteral("ends.txt"));
    ASSERT_TRUE(QFile::copy(gar, renamed));
    for (const QString& file : {gar, renamed}) {
        SCOPED_TRACE(file.toStdString());
        w.dialogs.errors.clear();
        drop(Demo());
        ASSERT_TRUE(w.form->State().ArrGar.empty());
        drop(file);
        EXPECT_TRUE(w.dialogs.errors.isEmpty()) << w.dialogs.errors.join('\n').toStdString();
        EXPECT_EQ(w.form->State().ArrGar.size(), 420u);
        EXPECT_EQ(Ctl<QLineEdit>(*w.form, "FilePath")->text(), Demo()) << "the data file stays";
    }
}

TEST(MainMenu, LanguageAboutAndFileFormats) {
    Window w;
    EXPECT_TRUE(Action(*w.form, "actLangRu")->isChecked());
    Action(*w.form, "actLangEn")->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages[0], QStringLiteral("Язык интерфейса изменится при следующем запуске программы."));
    EXPECT_EQ(QSettings(w.Env().SettingsFile, QSettings::IniFormat).value(QStringLiteral("Language")).toString(),
              QStringLiteral("en"));
    w.Open();
    EXPECT_TRUE(Action(*w.form, "actLangEn")->isChecked());
    EXPECT_FALSE(Action(*w.form, "actLangRu")->isChecked());

    Action(*w.form, "actAbout")->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 2);
    for (const char* want :
         {"Версия " RELAN_VERSION, "Qt ", "LGPL v3", "Boost Software License 1.0", "Mozilla Public License 2.0",
          "libxlsxwriter — BSD 2-Clause", "nlohmann-json — MIT", "CLI11 — BSD 3-Clause"})
        EXPECT_TRUE(w.dialogs.messages[1].contains(QString::fromUtf8(want))) << want;

    // The input files' formats in the interface's language, read-only, in a window
    // that does not block: in Russian here (the English interface shows the README's
    // section, as the README says it now).
    w.form->show();
    Action(*w.form, "actFormats")->trigger();
    auto* text = Ctl<QTextBrowser>(*w.form, "FormatsText");
    EXPECT_TRUE(text->isVisible());
    EXPECT_TRUE(text->isReadOnly());
    for (const char* want : {"Файл данных об отказах", "Файл времен окончания гарантии", "никогда не загружаются"})
        EXPECT_TRUE(text->toPlainText().contains(QString::fromUtf8(want))) << want;
    QFile readme(QDir(QStringLiteral(RELAN_EXAMPLES)).filePath(QStringLiteral("../README.md")));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString all = QString::fromUtf8(readme.readAll());
    const qsizetype from = all.indexOf(QStringLiteral("## Input files"));
    const qsizetype to = all.indexOf(QStringLiteral("## The command-line tool"));
    ASSERT_GT(to, from);
    QFile english(QStringLiteral(":/help/file-formats.md"));
    ASSERT_TRUE(english.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(english.readAll()), all.mid(from, to - from));
}

}  // namespace
}  // namespace relan::test
