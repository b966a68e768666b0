// The main window: its controls, loading both kinds of file through the open
// dialog, the settings file, the pre-run check and the reading of typed numbers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QValueAxis>
#include <QChart>
#include <QLegend>
#include <cmath>

#include "analysis/load.h"
#include "data/failure_file.h"
#include "fake_dialogs.h"
#include "form1.h"
#include "form5.h"
#include "lnchart.h"
#include "wrap_button.h"
#include "numbers.h"
#include "open_dialog.h"
#include "captions.h"
#include "settings.h"

namespace relan::test {
namespace {

const QString kNoPath = QStringLiteral("Не указан путь к файлу исходных данных");

QString TextOf(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
    return QStringLiteral("<no text>");
}

TEST(MainWindow, ControlsCarryTheirNamesTextsAndDefaults) {
    Window w;
    TForm1& f = *w.form;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Анализ надежности в эксплуатации.") + VersionNotice());

    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"Label10", ""},
        {"Label15", ""},
        {"Label1", "Файл исходных данных:"},
        {"OpenFileStart", "Путь"},
        {"Label2", "Среднее количество объектов в гарантийный период"},
        {"meKolAll", ""},
        {"Label3", "Количество независимых отказов 2-3 групп сложности"},
        {"meKolOtk", ""},
        {"meSred", ""},
        {"meSredEditLabel", " Среднее время гарантии"},
        {"meSKO", ""},
        {"meSKOEditLabel", " СКО времени гарантии"},
        {"LabeledEdit2", ""},
        {"LabeledEdit2EditLabel", " Расчетный период учета отказов"},
        {"LabeledEdit3", "300"},
        {"LabeledEdit3EditLabel", " Расч. время приработки"},
        {"Label9", "Файл данных времен окончания гарантии"},
        {"SpeedButton1", "File"},
        {"Edit4", "c:\\"},
        {"Label14", "Результат расчета массива времен окончания гарантии"},
        {"Label11", "Количество объектов анализа"},
        {"MaskEdit1", ""},
        {"Label12", "Среднее время гарантии, ч."},
        {"MaskEditSrednee", ""},
        {"Label13", "СКО времени гарантии, ч."},
        {"MaskEditSKO", ""},
        {"Memo2", "Ход решения"},
        {"Button2", "Expand"},
        {"Label4", "Параметры оптимизации"},
        {"Label5", "Коэф-т уменьшения шага модели 1.1"},
        {"Edit1", "1,00025"},
        {"Label17", "Коэф-т уменьшения шага модели 1.2"},
        {"Edit6", "1,00025"},
        {"Label16", "Коэф-т уменьшения шага модели 2"},
        {"Edit5", "1,00025"},
        {"bbRaschet", "Расчет"},
        {"SpirSpusk", "Модель 1.1 по Пирсону, метод спирального спуска "},
        {"BoxNewton", "Модель 1.2 по Пирсону, метод Ньютона "},
        {"BoxSmirnow", "Модель 2 (по Смирнову)"},
        {"BoxML", "Модель 3 (макс. правдоподобия)"},
        {"FilePath", ""},
        {"LabelElapsed", ""},
        {"GenCounter", ""},
        {"Sred_flag", "Подбор СВН (мет.1)"},
        {"SKO_Flag", "Подбор СКО (мет.1)"},
        {"RadioGroup1", "Способ подбора параметров"},
        {"RadioGroup1Item0", "Специальный 1 "},
        {"RadioGroup1Item1", "Стандарт (default)"},
        {"RadioGroup1Item2", "Специальный 2"},
        {"Label19", "Отображение после основного расчета, для нового файла перегрузить!"},
        {"Edit2", "0,0000001"},
        {"Edit2EditLabel", "Точность подбора"},
        {"Edit3", "3000"},
        {"Edit3EditLabel", "Размер популяции"},
        {"NPokoleny", "1500"},
        {"NPokolenyEditLabel", "Число поколений"},
        {"LabeledEdit1", "50"},
        {"LabeledEdit1EditLabel", "шт."},
        {"btnCopyBest", "Скопировать лучших"},
        {"Label7", "Вероятность скрещивания"},
        {"Label8", "Вероятность мутаций"},
        {"ToolBRunGenOptim", "Подбор параметров генетическим алгоритмом"},
        {"StopBtn", "Стоп"},
        {"Label18", "Ход расчета"},
    };
    for (const Case& c : cases) {
        auto* widget = f.findChild<QWidget*>(QString::fromUtf8(c.name));
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(TextOf(widget), QString::fromUtf8(c.text)) << c.name;
    }

    EXPECT_TRUE(Ctl<QPushButton>(f, "OpenFileStart")->isDefault());
    EXPECT_EQ(Ctl<QPushButton>(f, "OpenFileStart")->toolTip(),
              QStringLiteral("Файл содержит строки комментария, среднего времени окончания гарантии, СКО "
                             "гарантии, парка, числа всех отказов и массив времен отказов"));
    EXPECT_EQ(f.findChild<QLabel*>(QStringLiteral("meSredEditLabel"))->toolTip(),
              QStringLiteral("Среднее время наблюдений"));
    EXPECT_EQ(f.findChild<QLabel*>(QStringLiteral("LabeledEdit2EditLabel"))->toolTip(),
              QStringLiteral("Среднее время наблюдений"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit1")->placeholderText(),
              QStringLiteral("Минимум попадпний в столбец гистограммы"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit6")->placeholderText(),
              QStringLiteral("Минимум попадпний в столбец гистограммы"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "LabeledEdit1")->placeholderText(),
              QStringLiteral("Скопировать из популяции лучшие варианты и убрать столько же худших"));
    EXPECT_EQ(Ctl<QTableView>(f, "Problems_Grid")->toolTip(),
              QStringLiteral("Данные из файла об отказах изделий"));

    EXPECT_TRUE(Ctl<QCheckBox>(f, "SpirSpusk")->isChecked());
    EXPECT_FALSE(Ctl<QCheckBox>(f, "BoxNewton")->isChecked());
    EXPECT_FALSE(Ctl<QCheckBox>(f, "BoxSmirnow")->isChecked());
    EXPECT_TRUE(Ctl<QCheckBox>(f, "BoxML")->isChecked());
    EXPECT_FALSE(Ctl<QCheckBox>(f, "Sred_flag")->isChecked());
    EXPECT_FALSE(Ctl<QCheckBox>(f, "SKO_Flag")->isChecked());
    EXPECT_EQ(f.RadioGroup1ItemIndex(), 1);

    for (auto [bar, pos] :
         {std::pair{Ctl<QSlider>(f, "TrackBar1"), 55}, std::pair{Ctl<QSlider>(f, "TrackBar2"), 15}}) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->tickInterval(), 5);
        EXPECT_EQ(bar->value(), pos);
    }
    EXPECT_EQ(Ctl<QProgressBar>(f, "ProgressBar2")->value(), 0);

    ASSERT_EQ(Ctl<QTabWidget>(f, "PageControl")->count(), 2);
    EXPECT_EQ(Ctl<QTabWidget>(f, "PageControl")->tabText(0),
              QStringLiteral("1. Основной подбор параметров распределения"));
    EXPECT_EQ(Ctl<QTabWidget>(f, "PageControl")->tabText(1), QStringLiteral("2. Генетический алгоритм"));
    EXPECT_TRUE(Ctl<QWidget>(f, "TabSheet1")->isAncestorOf(Ctl<QPushButton>(f, "bbRaschet")));
    EXPECT_TRUE(Ctl<QWidget>(f, "TabSheet2")->isAncestorOf(Ctl<WrapButton>(f, "ToolBRunGenOptim")));
    EXPECT_TRUE(Ctl<QFrame>(f, "Panel1")->isAncestorOf(Ctl<QLineEdit>(f, "meSred")));
    EXPECT_TRUE(Ctl<QFrame>(f, "Panel1")->isAncestorOf(Ctl<QLineEdit>(f, "MaskEditSKO")));

    EXPECT_EQ(Ctl<QTableView>(f, "Problems_Grid")->model()->columnCount(), 4);
    EXPECT_EQ(Ctl<QTableView>(f, "Problems_Grid")->model()->rowCount(), 24);  // 25 with the header row
    // The list's headers are there before any load.
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Ctl<QTableView>(f, "Problems_Grid")->model()->headerData(c, Qt::Horizontal).toString(),
                  QString::fromUtf8(rel::kGridHeader[c]));
    EXPECT_TRUE(Ctl<LnChart>(f, "Chart2")->isAncestorOf(Ctl<QPushButton>(f, "Button2")));
    EXPECT_EQ(Ctl<LnChart>(f, "Chart2")->Chart()->title(),
              QStringLiteral("Накопленние отказов по времени наблюдения"));
    EXPECT_EQ(Ctl<LnChart>(f, "Chart2")->AxisBottom()->titleText(), QStringLiteral("Log t (часов)"));
    EXPECT_EQ(Ctl<LnChart>(f, "Chart2")->AxisLeft()->titleText(), QStringLiteral("Log N (отказов)"));
    EXPECT_FALSE(Ctl<LnChart>(f, "Chart2")->Chart()->legend()->isVisible());
    EXPECT_EQ(Ctl<LnChart>(f, "Chart2")->Series1()->objectName(), QStringLiteral("Series1"));
    EXPECT_EQ(Ctl<LnChart>(f, "Chart2")->Series2()->objectName(), QStringLiteral("Series2"));
}

TEST(MainWindow, EnterThatNoControlTakesPressesPath) {
    Window w;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(Ctl<QLineEdit>(*w.form, "meSred"), &enter);
    EXPECT_EQ(w.dialogs.opens.size(), 1u);
    // The progress log keeps its Enter.
    QKeyEvent inMemo(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(Ctl<QPlainTextEdit>(*w.form, "Memo2"), &inMemo);
    EXPECT_EQ(w.dialogs.opens.size(), 1u);
}

TEST(ResultsWindow, ShellIsHiddenUntilShownAndContinueHidesIt) {
    FakeDialogs dialogs;
    QWidget mainWindow;
    TForm5 form5(&mainWindow, dialogs);
    EXPECT_FALSE(form5.isVisible());
    EXPECT_EQ(form5.windowTitle(), QStringLiteral("Количественный анализ закона распределения отказов. Анализ "
                                                  "надежности в эксплуатации.") +
                                       VersionNotice());
    EXPECT_EQ(Ctl<QTableWidget>(form5, "Result_Grid")->columnCount(), 6);
    EXPECT_EQ(Ctl<QTableWidget>(form5, "Result_Grid")->rowCount(), 11);  // 12 with the header row
    EXPECT_EQ(Ctl<QPushButton>(form5, "Button1")->text(), QStringLiteral("Печать"));
    EXPECT_EQ(Ctl<QPushButton>(form5, "Prodolgenie")->text(), QStringLiteral("Продолж."));
    for (const char* name : {"Chart1", "Chart2", "Chart3", "Label10"})
        EXPECT_NE(form5.findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    form5.show();
    form5.ProdolgenieClick();
    EXPECT_FALSE(form5.isVisible());
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST(MainWindow, LoadFillsTitleFieldsGridAndChart) {
    Window w;
    TForm1& f = *w.form;
    const QString file = Fixture("app/tiny.txt");
    w.Path(file);
    EXPECT_TRUE(w.dialogs.messages.isEmpty()) << w.dialogs.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Ctl<QLineEdit>(f, "FilePath")->text(), file);
    EXPECT_TRUE(f.State().FileLoaded);

    EXPECT_EQ(Ctl<QLabel>(f, "Label10")->text(), QStringLiteral("Парк проверки окна"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "meSred")->text(), QStringLiteral("2500"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "meSKO")->text(), QStringLiteral("400"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "meKolAll")->text(), QStringLiteral("10"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "meKolOtk")->text(), QStringLiteral("2"));  // 4 failures, 2 rejects below 1 h
    EXPECT_EQ(Ctl<QLineEdit>(f, "LabeledEdit2")->text(), QStringLiteral("2500"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit1")->text(), QStringLiteral("1,00025"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit6")->text(), QStringLiteral("1,00025"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit5")->text(), QStringLiteral("1,0005"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit2")->text(), QStringLiteral("0,0000002"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "NPokoleny")->text(), QStringLiteral("1500"));

    // The grid shows exactly the rows the reader makes of the file.
    rel::AnalysisState fresh;
    const rel::LoadResult r = rel::LoadFailureFile(fresh, NativePath(file), ',');
    ASSERT_TRUE(r.ok);
    const QTableView* g = Ctl<QTableView>(f, "Problems_Grid");
    const QAbstractItemModel* m = g->model();
    auto cell = [m](int row, int c) { return m->index(row, c).data().toString(); };
    ASSERT_EQ(m->rowCount(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(rel::kGridHeader[c]));
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" № отказа"));
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(cell(row, c), QString::fromStdString(rel::FailureGridRow(fresh, r.view.Marks, row, ',')[c]))
                << row << "," << c;
    EXPECT_EQ(cell(1, 1), QStringLiteral("0,5"));
    EXPECT_EQ(cell(3, 3), QStringLiteral("стук"));
    const int widths[] = {65, 85, 200, 1010};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(g->columnWidth(c), widths[c]);

    // Failures at 1 h or more: 10 h (third) and 100 h (fourth); the line from the
    // first failure with positive time (0.5 h) to the last.
    const QList<QPointF> pts = Ctl<LnChart>(f, "Chart2")->Series1()->points();
    ASSERT_EQ(pts.size(), 2);
    EXPECT_DOUBLE_EQ(pts[0].x(), std::log(10.00001));
    EXPECT_DOUBLE_EQ(pts[0].y(), std::log(3.0));
    EXPECT_DOUBLE_EQ(pts[1].x(), std::log(100.00001));
    EXPECT_DOUBLE_EQ(pts[1].y(), std::log(4.0));
    const QList<QPointF> line = Ctl<LnChart>(f, "Chart2")->Series2()->points();
    ASSERT_EQ(line.size(), 2);
    const double a = f.State().A_LN, b = f.State().B_LN;
    EXPECT_NEAR(a, (std::log(4.0) - std::log(3.0)) / (std::log(100.00001) - std::log(10.00001)), 1e-12);
    EXPECT_DOUBLE_EQ(line[0].x(), std::log(0.50001));
    EXPECT_DOUBLE_EQ(line[0].y(), a * std::log(0.50001) + b);
    EXPECT_DOUBLE_EQ(line[1].x(), std::log(100.00001));
    EXPECT_DOUBLE_EQ(line[1].y(), a * std::log(100.00001) + b);
    // The left axis starts at 0 and reaches the highest point.
    EXPECT_EQ(Ctl<LnChart>(f, "Chart2")->AxisLeft()->min(), 0.0);
    EXPECT_GE(Ctl<LnChart>(f, "Chart2")->AxisLeft()->max(), std::log(4.0));
}

// A large file is read on a worker thread: the window's timers and painting go on
// during the load (the run's bar shows it busy), and the file is loaded whole.
TEST(MainWindow, ALargeFileLoadsWhileTheWindowKeepsServingItsEvents) {
    Window w;
    TForm1& f = *w.form;
    const QString file = w.dir.filePath(QStringLiteral("big.txt"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        constexpr int kRows = 300000;
        std::string text = "Большой парк\n2500\n400\n200000\n" + std::to_string(kRows) + "\n1\nДвигатель\n";
        text.reserve(40 * kRows);
        for (int i = 0; i < kRows; ++i)
            text +=
                std::to_string(1 + (i * 7919LL) % 5000) + "\tДвигатель * стук номер " + std::to_string(i) + '\n';
        out.write(text.data(), static_cast<qint64>(text.size()));
    }
    int ticks = 0, busyTicks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        ++ticks;
        busyTicks += Ctl<QProgressBar>(f, "ProgressBar2")->maximum() == 0;
    });
    tick.start(1);
    ASSERT_TRUE(f.OpenDataFile(file));
    tick.stop();
    EXPECT_GT(busyTicks, 0) << ticks;  // events were served while the file was read
    EXPECT_EQ(Ctl<QProgressBar>(f, "ProgressBar2")->maximum(), 100);
    EXPECT_EQ(f.State().ArrProblems.size(), 300000u);
    EXPECT_EQ(Ctl<QLabel>(f, "Label10")->text(), QStringLiteral("Большой парк"));
}

TEST(MainWindow, BadRowsAreToldInOneQuestionAndLoadedOnlyWhenTheUserSaysSo) {
    Window w;
    const QString file = Fixture("app/bad-rows.txt");
    const QString before = Ctl<QLineEdit>(*w.form, "FilePath")->text();
    // "Нет": nothing of the file is loaded, and no box per row.
    w.dialogs.askAnswer = false;
    w.Path(file);
    ASSERT_EQ(w.dialogs.questions.size(), 1);
    const QString& q = w.dialogs.questions[0];
    EXPECT_TRUE(q.contains(QStringLiteral("Строк отказов с ошибками в файле «") + file +
                           QStringLiteral("»: 2 (всего строк отказов: 4)")))
        << q.toStdString();
    EXPECT_TRUE(q.contains(QStringLiteral("строка №9: «1o0» — наработка не является числом;")));
    EXPECT_TRUE(q.contains(QStringLiteral("строка №11: «xx» — наработка не является числом.")));
    EXPECT_TRUE(q.contains(QStringLiteral("Загрузить остальные строки отказов (2) без строк с ошибками?")));
    EXPECT_TRUE(w.dialogs.errors.isEmpty());
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "FilePath")->text(), before);
    EXPECT_FALSE(w.form->State().FileLoaded);
    // "Да": the good rows only; a misprinted time never becomes a reject at 0 h.
    w.dialogs.askAnswer = true;
    w.Path(file);
    EXPECT_TRUE(w.dialogs.errors.isEmpty());
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    const QAbstractItemModel* grid = Ctl<QTableView>(*w.form, "Problems_Grid")->model();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->index(0, 1).data().toString(), QStringLiteral("12"));
    EXPECT_EQ(grid->index(1, 1).data().toString(), QStringLiteral("250"));
}

TEST(MainWindow, DialogCancelledBeforeAnyChoiceChangesNothing) {
    Window w;
    const QString before = Ctl<QLineEdit>(*w.form, "FilePath")->text();
    w.Path(QString());
    ASSERT_EQ(w.dialogs.opens.size(), 1u);
    EXPECT_TRUE(w.dialogs.opens[0].file.isEmpty());
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    EXPECT_FALSE(w.form->State().FileLoaded);
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "FilePath")->text(), before);
    EXPECT_FALSE(QFile::exists(w.Env().SettingsFile));
}

// What the user sees and the settings file remembers.
struct Seen {
    QStringList fields;
    QString settings;
    int rows = 0;
    QStringList cells;
    bool operator==(const Seen&) const = default;
};

Seen SeenIn(Window& w) {
    Seen s;
    for (const char* name : {"FilePath", "meSred", "meSKO", "meKolAll", "meKolOtk", "LabeledEdit2", "Edit4",
                             "MaskEdit1", "MaskEditSrednee", "MaskEditSKO"})
        s.fields << Ctl<QLineEdit>(*w.form, name)->text();
    s.fields << Ctl<QLabel>(*w.form, "Label10")->text() << Ctl<QLabel>(*w.form, "Label15")->text()
             << w.form->windowTitle();
    QFile settings(w.Env().SettingsFile);
    if (settings.open(QIODevice::ReadOnly)) s.settings = QString::fromUtf8(settings.readAll());
    const QAbstractItemModel* m = Ctl<QTableView>(*w.form, "Problems_Grid")->model();
    s.rows = m->rowCount();
    for (int c = 0; c < 4; ++c)
        s.cells << m->headerData(c, Qt::Horizontal).toString() << m->index(0, c).data().toString();
    return s;
}

TEST(MainWindow, CancelInEitherDialogChangesNothing) {
    Window w;
    TForm1& f = *w.form;
    const QString data = Fixture("app/tiny.txt");
    const QString gar = Fixture("app/gar-tiny.txt");
    w.Path(data);
    w.dialogs.openAnswers.push_back(gar);
    f.SpeedButton1Click();
    ASSERT_TRUE(w.dialogs.messages.isEmpty() && w.dialogs.errors.isEmpty());
    // A figure typed by the user survives every cancel.
    Ctl<QLineEdit>(f, "meSKO")->setText(QStringLiteral("600"));
    const Seen before = SeenIn(w);
    const std::size_t failures = f.State().ArrProblems.size();

    w.Path(QString());  // "Путь", cancelled
    w.dialogs.openAnswers.push_back(QString());
    f.SpeedButton1Click();  // "File", cancelled
    w.Path(QString());      // "Путь" again, after "File"
    ASSERT_EQ(w.dialogs.opens.size(), 5u);
    EXPECT_TRUE(SeenIn(w) == before);
    EXPECT_EQ(Ctl<QLineEdit>(f, "meSKO")->text(), QStringLiteral("600"));
    EXPECT_EQ(f.State().ArrProblems.size(), failures);
    EXPECT_TRUE(w.dialogs.messages.isEmpty()) << w.dialogs.messages.join('\n').toStdString();
    EXPECT_TRUE(w.dialogs.errors.isEmpty()) << w.dialogs.errors.join('\n').toStdString();
    // Each dialog opens at the file it loaded last; the warranty dialog's first
    // time in the data file's folder, with no data file offered as a warranty file.
    EXPECT_EQ(w.dialogs.opens[1].folder, QFileInfo(data).absolutePath());
    EXPECT_TRUE(w.dialogs.opens[1].file.isEmpty());
    EXPECT_EQ(w.dialogs.opens[2].file, data);
    EXPECT_EQ(w.dialogs.opens[3].file, gar);
    EXPECT_EQ(w.dialogs.opens[4].file, data);
}

TEST(MainWindow, RefusedDataFileIsReportedAsAnErrorAndChangesNothingSeen) {
    Window w;
    const QString good = Fixture("app/tiny.txt");
    w.Path(good);
    const Seen before = SeenIn(w);
    // A file that is not there, and a text file that is not a data file (more than
    // 51 short lines read as cause names, no failure row).
    const QString missing = w.dir.filePath(QStringLiteral("нет-такого.txt"));
    const QString notData = w.dir.filePath(QStringLiteral("passwd"));
    {
        QFile f(notData);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 60; ++i) f.write(QStringLiteral("user%1:x:%1:%1:/\n").arg(i).toUtf8());
    }
    for (const QString& refused : {missing, notData}) {
        w.dialogs.errors.clear();
        w.Path(refused);
        ASSERT_EQ(w.dialogs.errors.size(), 1) << refused.toStdString();
        EXPECT_TRUE(w.dialogs.errors[0].contains(refused)) << w.dialogs.errors[0].toStdString();
        EXPECT_TRUE(w.dialogs.messages.isEmpty());
        EXPECT_TRUE(SeenIn(w) == before) << refused.toStdString();
        EXPECT_EQ(w.form->State().ArrProblems.size(), 4u);
        EXPECT_EQ(
            QSettings(w.Env().SettingsFile, QSettings::IniFormat).value(QStringLiteral("Path/ComStr")).toString(),
            good);
    }
    // The next start shows no path and nothing loaded, under the list's headers,
    // and "Путь" opens at the file that loaded.
    w.Open();
    EXPECT_TRUE(Ctl<QLineEdit>(*w.form, "FilePath")->text().isEmpty());
    EXPECT_EQ(Ctl<QTableView>(*w.form, "Problems_Grid")->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral(" № отказа"));
    w.Path(QString());
    EXPECT_EQ(w.dialogs.opens.back().folder, good);
}

TEST(Settings, RoundTripThroughRelTxt) {
    Window w;
    // First start without "rel.txt": no path, the dialog opens without a folder.
    EXPECT_TRUE(Ctl<QLineEdit>(*w.form, "FilePath")->text().isEmpty());
    const QString file = Fixture("app/tiny.txt");
    w.Path(file);

    QFile raw(w.Env().SettingsFile);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(raw.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[Path]"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ComStr="))) << text.toStdString();
    EXPECT_EQ(
        QSettings(w.Env().SettingsFile, QSettings::IniFormat).value(QStringLiteral("Path/ComStr")).toString(),
        file);

    // The next start loads nothing and shows no path; "Путь" opens its dialog at
    // the remembered file.
    w.Open();
    EXPECT_TRUE(Ctl<QLineEdit>(*w.form, "FilePath")->text().isEmpty());
    EXPECT_FALSE(w.form->State().FileLoaded);
    w.Path(QString());
    ASSERT_FALSE(w.dialogs.opens.empty());
    EXPECT_EQ(w.dialogs.opens.back().folder, file);
}

TEST(Settings, SettingsFileWithoutTheKeyFallsBackSilently) {
    Window w;
    {
        QFile f(w.Env().SettingsFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Other]\nComStr=/nowhere\n[path]\ncomstr=/wrong/case\n");
    }
    w.Open();
    EXPECT_TRUE(Ctl<QLineEdit>(*w.form, "FilePath")->text().isEmpty());
    w.Path(QString());
    EXPECT_TRUE(w.dialogs.opens.back().folder.isEmpty());
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
}

TEST(Settings, UnwritableSettingsFileDoesNotStopTheLoad) {
    FakeDialogs dialogs;
    QTemporaryDir dir;
    AppEnv env;
    // A folder that cannot exist: its parent is a plain file.
    {
        QFile plain(dir.filePath(QStringLiteral("plain")));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }
    env.ExeDir = dir.filePath(QStringLiteral("plain/folder")) + QLatin1Char('/');
    env.SettingsFile = env.ExeDir + QStringLiteral("rel.txt");
    env.dialogs = &dialogs;
    TForm1 f(env);
    dialogs.openAnswers.push_back(Fixture("app/tiny.txt"));
    f.OpenFileStartClick();
    // Loaded all the same; the user is told once that the settings were not kept.
    EXPECT_EQ(Ctl<QTableView>(f, "Problems_Grid")->model()->rowCount(), 4);
    EXPECT_FALSE(QFile::exists(env.SettingsFile));
    ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(dialogs.messages[0].contains(env.SettingsFile)) << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("не является папкой")))
        << dialogs.messages[0].toStdString();
    dialogs.openAnswers.push_back(Fixture("app/causes2.txt"));
    f.OpenFileStartClick();
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST(Settings, KeptInTheConfigurationFolderWhenTheExecutablesCannotBeWritten) {
    QTemporaryDir exe, config;
    const QString exeDir = exe.path() + QLatin1Char('/');
    QString readOnly;
    // A writable folder of the executable holds the file, and nothing else is read.
    EXPECT_TRUE(SettingsFolderWritable(exeDir));
    EXPECT_EQ(SettingsFileFor(exeDir, true, config.path(), &readOnly), exeDir + QStringLiteral("rel.txt"));
    EXPECT_TRUE(readOnly.isEmpty());
    // Otherwise the user's configuration folder (made when first written), with the
    // file beside the executable read after it.
    const QString configDir = config.filePath(QStringLiteral("relan"));
    const QString file = SettingsFileFor(exeDir, false, configDir, &readOnly);
    EXPECT_EQ(file, configDir + QStringLiteral("/rel.txt"));
    EXPECT_EQ(readOnly, exeDir + QStringLiteral("rel.txt"));
    EXPECT_FALSE(SettingsFolderWritable(exe.filePath(QStringLiteral("none"))));
    // An installed program keeps its settings in the user's folder, run as root or not.
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/opt/relan/bin/", "/bin/"})
        EXPECT_TRUE(IsSystemFolder(QString::fromLatin1(dir))) << dir;
    for (const char* dir : {"/home/user/relan/", "/tmp/build/src/app/", "/usrx/"})
        EXPECT_FALSE(IsSystemFolder(QString::fromLatin1(dir))) << dir;

    QSettings(readOnly, QSettings::IniFormat)
        .setValue(QStringLiteral("Path/ComStr"), QStringLiteral("/beside.txt"));
    const PathSettings settings(file, readOnly);
    EXPECT_EQ(settings.ReadComStr(QString()), QStringLiteral("/beside.txt"));
    // What the program writes goes to the configuration folder and is read first.
    FakeDialogs dialogs;
    AppEnv env{exeDir, file, readOnly, &dialogs};
    TForm1 f(env);
    dialogs.openAnswers.push_back(Fixture("app/tiny.txt"));
    f.OpenFileStartClick();
    ASSERT_TRUE(f.State().FileLoaded);
    EXPECT_EQ(dialogs.opens.back().folder, QStringLiteral("/beside.txt"));
    // Read once per start: the next start's settings have it.
    EXPECT_EQ(PathSettings(file, readOnly).ReadComStr(QString()), Fixture("app/tiny.txt"));
    EXPECT_EQ(QSettings(readOnly, QSettings::IniFormat).value(QStringLiteral("Path/ComStr")).toString(),
              QStringLiteral("/beside.txt"));
}

TEST(OpenDialog, FiltersTakeTheToolkitsForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"файлы данных (txt,rel)|*.txt;*.rel", "файлы данных (txt,rel) (*.txt *.rel)"},
        {"Файл времен гарантии|gar*.txt", "Файл времен гарантии (gar*.txt)"},
        {"A|*.a|B|*.b;*.c", "A (*.a);;B (*.b *.c)"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ToQtFilter(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(OpenDialog, EachButtonOffersItsOwnFilesFirst) {
    Window w;
    const QString data = QStringLiteral("Файлы данных (*.txt *.rel);;Все файлы (*)");
    const QString gar = QStringLiteral("Файл времен гарантии (gar*.txt);;Все файлы (*)");
    w.Path(QString());
    w.dialogs.openAnswers.push_back(QString());
    w.form->SpeedButton1Click();
    w.Path(Fixture("app/tiny.txt"));
    w.Path(QString());
    w.dialogs.openAnswers.push_back(QString());
    w.form->SpeedButton1Click();
    ASSERT_EQ(w.dialogs.opens.size(), 5u);
    const QString want[] = {data, gar, data, data, gar};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(w.dialogs.opens[i].filter, want[i]) << i;
        EXPECT_EQ(w.dialogs.opens[i].caption, QStringLiteral("Открыть"));
    }
}

TEST(Warranty, LoadFillsTheFieldsAndTheRunReadsThemBack) {
    Window w;
    TForm1& f = *w.form;
    const QString file = Fixture("app/gar-tiny.txt");
    w.dialogs.openAnswers.push_back(file);
    f.SpeedButton1Click();
    EXPECT_TRUE(w.dialogs.messages.isEmpty()) << w.dialogs.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Ctl<QLabel>(f, "Label15")->text(), QStringLiteral("Гарантия парка проверки"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit4")->text(), QStringLiteral("/..gar-tiny.txt"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "MaskEdit1")->text(), QStringLiteral("3"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "MaskEditSrednee")->text(), QStringLiteral("2500,000"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "MaskEditSKO")->text(), QStringLiteral("500,000"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "meSred")->text(), QStringLiteral("2,5E3"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "meSKO")->text(), QStringLiteral("500,0"));
    EXPECT_TRUE(f.State().FileLoaded);
    // The data file's title stays in Label10; the run takes the figures as shown.
    EXPECT_TRUE(Ctl<QLabel>(f, "Label10")->text().isEmpty());
    Ctl<QLineEdit>(f, "LabeledEdit2")->setText(QStringLiteral("2500"));
    ASSERT_TRUE(f.ReadRunParams()) << w.dialogs.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(f.State().SredGar, 2500.0);
    EXPECT_EQ(f.State().SKOGar, 500.0);
}

TEST(Warranty, MissingFileSaysSoAndRefusesLaterRuns) {
    Window w;
    TForm1& f = *w.form;
    w.Path(Fixture("app/tiny.txt"));
    ASSERT_TRUE(f.State().FileLoaded);
    const QString missing = w.dir.filePath(QStringLiteral("gar-none.txt"));
    w.dialogs.openAnswers.push_back(missing);
    f.SpeedButton1Click();
    ASSERT_EQ(w.dialogs.errors.size(), 1);
    EXPECT_EQ(w.dialogs.errors[0],
              QCoreApplication::applicationName() + QStringLiteral(": Указанный файл не существует"));
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    // The warranty path shows the file loaded last (none here).
    EXPECT_EQ(Ctl<QLineEdit>(f, "Edit4")->text(), QStringLiteral("c:\\"));
    EXPECT_FALSE(f.State().FileLoaded);
    EXPECT_EQ(Ctl<QLineEdit>(f, "meSred")->text(), QStringLiteral("2500"));
    EXPECT_FALSE(f.CheckDataPath());
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
}

TEST(Warranty, CancelBeforeAnyChoiceChangesNothing) {
    Window w;
    w.form->SpeedButton1Click();
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "Edit4")->text(), QStringLiteral("c:\\"));
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    EXPECT_FALSE(w.form->State().FileLoaded);
}

TEST(CheckDataPath, RefusesWithoutPathLoudlyAndWithoutFileSilently) {
    Window w;
    TForm1& f = *w.form;
    // No file loaded yet (a path typed in): the pre-run check refuses without a
    // message; "Расчет" and the optimiser say to load the file, before any field is
    // read.
    Ctl<QLineEdit>(f, "FilePath")->setText(Fixture("app/tiny.txt"));
    Ctl<QLineEdit>(f, "meSred")->setText(QStringLiteral("2500"));
    Ctl<QLineEdit>(f, "meSKO")->setText(QStringLiteral("400"));
    Ctl<QLineEdit>(f, "LabeledEdit2")->setText(QStringLiteral("2500"));
    EXPECT_FALSE(f.CheckDataPath());
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    Ctl<QLineEdit>(f, "meSred")->clear();
    f.bbRaschetClick();
    f.ToolBRunGenOptimClick();
    const QString kLoadFirst =
        QStringLiteral("Файл данных не загружен: откройте его кнопкой «Путь» (Файл → Открыть данные…).");
    EXPECT_EQ(w.dialogs.messages, QStringList({kLoadFirst, kLoadFirst}));
    EXPECT_TRUE(w.dialogs.errors.isEmpty()) << "the empty warranty field is not asked for";
    w.dialogs.messages.clear();
    Ctl<QLineEdit>(f, "meSred")->setText(QStringLiteral("2500"));

    Ctl<QLineEdit>(f, "FilePath")->clear();
    EXPECT_FALSE(f.CheckDataPath());
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages[0], kNoPath);
    f.bbRaschetClick();
    f.ToolBRunGenOptimClick();
    EXPECT_EQ(w.dialogs.messages, QStringList({kNoPath, kNoPath, kNoPath}));

    w.Path(Fixture("app/tiny.txt"));
    EXPECT_TRUE(f.CheckDataPath());
    EXPECT_EQ(f.State().DataPath, Fixture("app/tiny.txt").toStdString());
    Ctl<QLineEdit>(f, "FilePath")->clear();
    EXPECT_FALSE(f.CheckDataPath());
    EXPECT_EQ(w.dialogs.messages.size(), 4);
}

TEST(RunParams, NumbersAreReadWithTheLocaleAndBadTextsNamed) {
    Window w;
    TForm1& f = *w.form;
    Ctl<QLineEdit>(f, "meSred")->setText(QStringLiteral("2500,5"));
    Ctl<QLineEdit>(f, "meSKO")->setText(QStringLiteral(" 400 "));
    Ctl<QLineEdit>(f, "LabeledEdit2")->setText(QStringLiteral("2,5E3"));
    Ctl<QLineEdit>(f, "LabeledEdit3")->setText(QStringLiteral("300"));
    ASSERT_TRUE(f.ReadRunParams());
    EXPECT_EQ(f.State().SredGar, 2500.5);
    EXPECT_EQ(f.State().SKOGar, 400.0);
    EXPECT_EQ(f.State().PeriodUchet, 2500.0);
    EXPECT_EQ(f.State().TPrirab, 300.0);

    struct Case {
        QLineEdit* edit;
        const char* text;
        const char* field;
    };
    const Case bad[] = {
        {Ctl<QLineEdit>(f, "meSred"), "25o0", "Среднее время гарантии"},
        {Ctl<QLineEdit>(f, "meSKO"), "400,5.1", "СКО времени гарантии"},
        {Ctl<QLineEdit>(f, "LabeledEdit2"), "", "Расчетный период учета отказов"},
        {Ctl<QLineEdit>(f, "LabeledEdit3"), "inf", "Расч. время приработки"},
    };
    // The fields are read in this order, each value stored as it is read: the
    // values before the bad field are taken, that one and those after it are not.
    const double good[] = {2500.5, 400.0, 2500.0, 300.0};
    for (std::size_t k = 0; k < std::size(bad); ++k) {
        const Case& c = bad[k];
        const QString keep = c.edit->text();
        c.edit->setText(QString::fromUtf8(c.text));
        w.dialogs.errors.clear();
        rel::AnalysisState& st = f.State();
        st.SredGar = st.SKOGar = st.PeriodUchet = st.TPrirab = -1.0;
        EXPECT_FALSE(f.ReadRunParams()) << c.text;
        ASSERT_EQ(w.dialogs.errors.size(), 1) << c.text;
        EXPECT_TRUE(w.dialogs.errors[0].contains(QString::fromUtf8(c.field))) << w.dialogs.errors[0].toStdString();
        if (*c.text) {
            EXPECT_TRUE(w.dialogs.errors[0].contains(QString::fromUtf8(c.text)));
        }
        const double now[] = {st.SredGar, st.SKOGar, st.PeriodUchet, st.TPrirab};
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(now[i], i < k ? good[i] : -1.0) << c.text << " field " << i;
        c.edit->setText(keep);
    }

    // Numbers outside the range relan-cli's options accept are refused alike.
    const Case outside[] = {
        {Ctl<QLineEdit>(f, "meSred"), "-1", "Среднее время гарантии"},
        {Ctl<QLineEdit>(f, "meSKO"), "2e9", "СКО времени гарантии"},
        {Ctl<QLineEdit>(f, "LabeledEdit3"), "-50", "Расч. время приработки"},
    };
    for (const Case& c : outside) {
        const QString keep = c.edit->text();
        c.edit->setText(QString::fromUtf8(c.text));
        w.dialogs.errors.clear();
        EXPECT_FALSE(f.ReadRunParams()) << c.text;
        ASSERT_EQ(w.dialogs.errors.size(), 1) << c.text;
        EXPECT_TRUE(w.dialogs.errors[0].endsWith(
            QStringLiteral("«%1» в поле «%2» вне допустимых пределов (от 0 до 1e9 ч).")
                .arg(QString::fromUtf8(c.text), QString::fromUtf8(c.field))))
            << w.dialogs.errors[0].toStdString();
        c.edit->setText(keep);
    }
    // The fleet size, the failure count and the period come from the data file.
    for (const char* shown : {"meKolAll", "meKolOtk", "LabeledEdit2"})
        EXPECT_TRUE(Ctl<QLineEdit>(f, shown)->isReadOnly()) << shown;
}

TEST(RunParams, PointAndCommaAreBothDecimalSeparators) {
    const std::pair<const char*, double> cases[] = {
        {"1.00025", 1.00025}, {"1,00025", 1.00025}, {" 2500.5 ", 2500.5}, {"2,5E3", 2500.0},
        {"2.5e3", 2500.0},    {"-0.5", -0.5},       {"300", 300.0},
    };
    for (const auto& [text, want] : cases) {
        double v = 0;
        QString why;
        EXPECT_TRUE(ReadNumber(QString::fromUtf8(text), QStringLiteral("поле"), v, why)) << text;
        EXPECT_EQ(v, want) << text;
        // Handed to the core with the window's separator.
        EXPECT_EQ(LocaleNumberText(QString::fromUtf8(text)).find('.'), std::string::npos) << text;
    }
    for (const char* bad : {"1.000.25", "1,00,025", "1..5", "abc", ""}) {
        double v = 0;
        QString why;
        EXPECT_FALSE(ReadNumber(QString::fromUtf8(bad), QStringLiteral("поле"), v, why)) << bad;
    }

    // A run reads coefficients typed with either separator.
    Window w;
    TForm1& f = *w.form;
    w.Path(Fixture("app/causes2.txt"));
    Ctl<QCheckBox>(f, "BoxML")->setChecked(false);
    Ctl<QCheckBox>(f, "BoxNewton")->setChecked(true);
    Ctl<QLineEdit>(f, "Edit1")->setText(QStringLiteral("1.00025"));
    Ctl<QLineEdit>(f, "Edit6")->setText(QStringLiteral("1,00025"));
    Ctl<QLineEdit>(f, "LabeledEdit3")->setText(QStringLiteral("250.5"));
    f.Runs().Clock.evaluationsPerSecond = 4000;
    f.bbRaschetClick();
    f.Runs().WaitForEnd();
    EXPECT_TRUE(w.dialogs.errors.isEmpty()) << w.dialogs.errors.join('\n').toStdString();
    EXPECT_TRUE(f.State().ModSpir.Executed);
    EXPECT_TRUE(f.State().ModNewton.Executed);
    EXPECT_EQ(f.State().TPrirab, 250.5);
}

TEST(CommandLine, FileIsLoadedAsAConfirmedChoice) {
    Window w;
    const QString file = Fixture("app/tiny.txt");
    w.form->OpenDataFile(file);
    EXPECT_EQ(Ctl<QLineEdit>(*w.form, "FilePath")->text(), file);
    EXPECT_EQ(Ctl<QTableView>(*w.form, "Problems_Grid")->model()->rowCount(), 4);
    EXPECT_EQ(
        QSettings(w.Env().SettingsFile, QSettings::IniFormat).value(QStringLiteral("Path/ComStr")).toString(),
        file);
    // A later dialog opens at it.
    w.Path(QString());
    EXPECT_EQ(w.dialogs.opens.back().file, file);
}

}  // namespace
}  // namespace relan::test
