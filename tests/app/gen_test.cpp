// The genetic optimiser in the window: starting a run on its own thread, the
// controls it moves while it runs, a track bar moved by hand, "Стоп",
// "Скопировать лучших", refused settings, closing or destroying the window during
// a run, and the track bars' hints.
#include <gtest/gtest.h>

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QXYSeries>
#include <cmath>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fake_dialogs.h"
#include "form1.h"
#include "form5.h"
#include "probability_bar.h"
#include "run_controller.h"
#include "wrap_button.h"

namespace relan::test {
namespace {

// Serves events until `done` holds or the deadline passes.
bool WaitFor(const std::function<bool()>& done, int ms = 120000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

int CountLines(const TForm1& f, const QString& line) {
    return static_cast<int>(Ctl<QPlainTextEdit>(f, "Memo2")->toPlainText().split(QLatin1Char('\n')).count(line));
}

int CountReports(const TForm1& f) {
    int n = 0;
    for (const QString& l : Ctl<QPlainTextEdit>(f, "Memo2")->toPlainText().split(QLatin1Char('\n')))
        if (l.startsWith(QStringLiteral(" ЦФ="))) ++n;
    return n;
}

// The demo fleet loaded, a results window beside the main one, and a small
// repeatable optimiser setting.
struct GenWindow : Window {
    FakeDialogs resultsDialogs;
    std::unique_ptr<TForm5> form5;

    explicit GenWindow(int population = 20, int generations = 30) {
        form5 = std::make_unique<TForm5>(form.get(), resultsDialogs);
        form->SetResultsWindow(form5.get());
        form->OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt"));
        rel::GenOptions o;
        o.seed = 20240611;
        o.reseedEachEvaluation = false;
        form->SetGenOptions(o);
        Ctl<QLineEdit>(*form, "Edit3")->setText(QString::number(population));
        Ctl<QLineEdit>(*form, "NPokoleny")->setText(QString::number(generations));
        // "Расчет" here fits model 1.1 alone.
        Ctl<QCheckBox>(*form, "BoxML")->setChecked(false);
    }
    ~GenWindow() {
        form.reset();  // ends a run still under way before the results window goes
        form5.reset();
    }
    bool Finished() {
        return WaitFor([this] { return !form->GenRunning(); });
    }
};

// The optimiser runs ahead of the window; a test that acts at an exact point of a
// run holds the run there. Each time the run reports `text` as its counter (the
// recorded best members, shown in GenCounter), the optimiser waits on its thread
// until the window has shown the text and run `act` (Release::AfterAct), or until
// the end of the run is asked for (Release::AtEnd); the generation under way then
// ends as it would have after `act` happened during it.
class Lockstep {
public:
    enum class Release { AfterAct, AtEnd };

    explicit Lockstep(TForm1& f) : f_(f), s_(std::make_shared<Shared>()) {
        // The state is shared with the run's thread, which may outlive this object.
        f.Runs().SetWorkerTap([s = s_, runs = &f.Runs()](const RunEvent& e) { s->OnWorker(e, *runs); });
    }

    void At(const QString& text, std::function<void()> act, Release release = Release::AfterAct) {
        auto point = std::make_shared<Point>();
        point->text = text.toStdString();
        point->release = release;
        {
            std::lock_guard<std::mutex> lock(s_->mutex);
            s_->points.push_back(point);
        }
        // Connected after the window's own handler: the counter is shown when it runs.
        QLabel* counter = Ctl<QLabel>(f_, "GenCounter");
        QObject::connect(&f_.Runs(), &RunController::CounterText, counter,
                         [s = s_, point, act](const QString& now) {
                             if (now.toStdString() != point->text) return;
                             act();
                             std::lock_guard<std::mutex> lock(s->mutex);
                             ++point->served;
                             s->acted.notify_all();
                         });
    }

    // Per generation pass, in order: the track-bar moves the schedule made in it
    // ("x" crossover, "m" mutation), as the run reported them.
    std::vector<std::string> ScheduleMoves() const {
        std::lock_guard<std::mutex> lock(s_->mutex);
        return s_->passes;
    }

private:
    struct Point {
        std::string text;
        Release release = Release::AfterAct;
        int reached = 0;  // times the run reported the text
        int served = 0;   // times the window acted on it
    };
    struct Shared {
        std::mutex mutex;
        std::condition_variable acted;
        std::vector<std::shared_ptr<Point>> points;
        std::vector<std::string> passes{std::string()};  // the last one is under way

        // On the optimiser's thread.
        void OnWorker(const RunEvent& e, const RunController& runs) {
            std::unique_lock<std::mutex> lock(mutex);
            if (e.kind == RunEvent::Kind::Crossover) passes.back() += 'x';
            if (e.kind == RunEvent::Kind::Mutation) passes.back() += 'm';
            if (e.kind != RunEvent::Kind::Counter) return;
            passes.emplace_back();  // the counter is the last report of a pass that moves a bar
            for (const auto& point : points) {
                if (point->text != e.text) continue;
                const int reached = ++point->reached;
                // Polled: the end of the run is asked for on the window's thread,
                // which does not know this wait.
                while (!runs.EndRequested() && (point->release == Release::AtEnd || point->served < reached))
                    acted.wait_for(lock, std::chrono::milliseconds(5));
            }
        }
    };

    TForm1& f_;
    std::shared_ptr<Shared> s_;
};

TEST(GenRun, RunsOnItsThreadAndGivesTheWindowBack) {
    GenWindow w;
    TForm1& f = *w.form;
    ASSERT_TRUE(w.dialogs.messages.isEmpty()) << w.dialogs.messages.join(QLatin1Char('\n')).toStdString();
    // Requests left from before the run are dropped when it starts.
    f.StopBtnClick();
    f.btnCopyBestClick();

    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(f.GenRunning());
    const int started = f.Runs().Started();
    EXPECT_FALSE(Ctl<WrapButton>(f, "ToolBRunGenOptim")->isEnabled());
    EXPECT_FALSE(Ctl<QLineEdit>(f, "Edit3")->isEnabled());
    for (QWidget* b : {static_cast<QWidget*>(Ctl<QPushButton>(f, "OpenFileStart")),
                       static_cast<QWidget*>(Ctl<QToolButton>(f, "SpeedButton1")),
                       static_cast<QWidget*>(Ctl<QPushButton>(f, "bbRaschet"))})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(Ctl<QPushButton>(f, "StopBtn")->isEnabled());
    EXPECT_TRUE(Ctl<QPushButton>(f, "btnCopyBest")->isEnabled());

    // While it runs nothing else touches what the optimiser owns, even when the
    // handlers are called directly.
    for (QWidget* field : {static_cast<QWidget*>(Ctl<QLineEdit>(f, "meSred")),
                           static_cast<QWidget*>(Ctl<QCheckBox>(f, "Sred_flag")),
                           static_cast<QWidget*>(Ctl<QLineEdit>(f, "LabeledEdit3"))})
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    f.OpenFileStartClick();
    f.SpeedButton1Click();
    f.bbRaschetClick();
    f.ToolBRunGenOptimClick();
    EXPECT_TRUE(w.dialogs.opens.empty());
    EXPECT_NE(f.Runs().Current(), RunController::Kind::Calculation);
    EXPECT_TRUE(f.GenRunning());
    EXPECT_EQ(f.Runs().Started(), started);

    ASSERT_TRUE(w.Finished());
    EXPECT_TRUE(Ctl<WrapButton>(f, "ToolBRunGenOptim")->isEnabled());
    EXPECT_TRUE(Ctl<QLineEdit>(f, "Edit3")->isEnabled());
    for (QWidget* b : {static_cast<QWidget*>(Ctl<QPushButton>(f, "OpenFileStart")),
                       static_cast<QWidget*>(Ctl<QToolButton>(f, "SpeedButton1")),
                       static_cast<QWidget*>(Ctl<QPushButton>(f, "bbRaschet")),
                       static_cast<QWidget*>(Ctl<QLineEdit>(f, "meSred"))})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();

    const rel::GenOutcome& out = f.LastGenOutcome();
    EXPECT_EQ(out.end, rel::GenEnd::Completed);
    EXPECT_EQ(out.passes, 29);  // generations 2 .. 30
    EXPECT_TRUE(out.resultsShown);
    EXPECT_TRUE(f.State().ModGen.Executed);

    // The memo: the gene report, at least one improvement, the loop's own three
    // copy-backs (at 0.2, 0.5 and 0.8 of the run) and nothing from the dropped
    // button requests.
    EXPECT_EQ(CountLines(f, QStringLiteral("Создано генов 3")), 1);
    EXPECT_GE(CountReports(f), 1);
    EXPECT_EQ(CountLines(f, QStringLiteral("Копирование лучших")), 3);
    EXPECT_EQ(CountLines(f, QStringLiteral("Исключительная ситуация!")), 0);

    // The controls the run moved: its counter shows the members recorded since the
    // last copy-back (generations 25 .. 30), the progress bar reached 100 and the
    // bars stand at the schedule's last values. "Число поколений" keeps the
    // number the user set.
    EXPECT_EQ(Ctl<QLabel>(f, "GenCounter")->text(), QStringLiteral("Записано лучших: 6"));
    EXPECT_EQ(Ctl<QLineEdit>(f, "NPokoleny")->text(), QStringLiteral("30"));
    EXPECT_EQ(Ctl<QProgressBar>(f, "ProgressBar2")->value(), 100);
    EXPECT_EQ(Ctl<QSlider>(f, "TrackBar1")->value(), std::lround(0.275 * std::fabs(std::sin(1.0 - 8.0)) * 101));
    EXPECT_EQ(Ctl<QSlider>(f, "TrackBar2")->value(), std::lround(0.125 * std::fabs(std::sin(10.0 - 0.025)) * 101));

    // The results window shows the optimiser's model: its table column (the only
    // model fitted) and its curve on the failure-flow chart.
    EXPECT_TRUE(w.form5->isVisible());
    EXPECT_EQ(w.form5->CellText(1, 0), QStringLiteral("Генетическая"));
    EXPECT_EQ(w.form5->CellText(2, 0), QStringLiteral("Данные эксплуатации"));
    int genPoints = 0;
    for (QAbstractSeries* series : Ctl<QChartView>(*w.form5, "Chart1")->chart()->series())
        if (series->objectName() == QStringLiteral("Series6"))
            if (auto* xy = qobject_cast<QXYSeries*>(series)) genPoints = static_cast<int>(xy->count());
    EXPECT_GT(genPoints, 2);

    // A second run starts as the first did.
    w.form5->hide();
    Ctl<QLineEdit>(f, "NPokoleny")->setText(QStringLiteral("3"));
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(f.GenRunning());
    ASSERT_TRUE(w.Finished());
    EXPECT_EQ(f.LastGenOutcome().end, rel::GenEnd::Completed);
    EXPECT_EQ(f.LastGenOutcome().passes, 2);
    EXPECT_EQ(CountLines(f, QStringLiteral("Создано генов 3")), 2);
    EXPECT_EQ(Ctl<QLineEdit>(f, "NPokoleny")->text(), QStringLiteral("3"));
}

// The optimiser's result belongs to its fleet: after another data file neither its
// progress nor its column and curves come back with the next results.
TEST(GenRun, ANewDataFileDropsTheOptimisersResult) {
    GenWindow w;
    TForm1& f = *w.form;
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(w.Finished());
    ASSERT_TRUE(f.State().ModGen.Executed);
    ASSERT_FALSE(Ctl<QLabel>(f, "GenCounter")->text().isEmpty());

    ASSERT_TRUE(f.OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/repeat-fleet.txt")));
    EXPECT_FALSE(f.State().ModGen.Executed);
    EXPECT_TRUE(Ctl<QLabel>(f, "GenCounter")->text().isEmpty());
    EXPECT_EQ(Ctl<QProgressBar>(f, "ProgressBar2")->value(), 0);
    f.bbRaschetClick();
    f.Runs().WaitForEnd();
    ASSERT_TRUE(w.form5->isVisible());
    for (int col = 0; col < 6; ++col)
        EXPECT_NE(w.form5->CellText(col, 0), QStringLiteral("Генетическая")) << col;
}

TEST(GenRun, NoOptimiserRunWhileTheCalculationRunIsUnderWay) {
    GenWindow w;
    TForm1& f = *w.form;
    f.Runs().Clock.evaluationsPerSecond = 4000;  // the fits end after a fixed amount of work
    f.bbRaschetClick();
    ASSERT_TRUE(f.Runs().Running());
    EXPECT_FALSE(Ctl<WrapButton>(f, "ToolBRunGenOptim")->isEnabled());
    f.ToolBRunGenOptimClick();
    EXPECT_FALSE(f.GenRunning());
    f.Runs().WaitForEnd();
    EXPECT_TRUE(Ctl<WrapButton>(f, "ToolBRunGenOptim")->isEnabled());
    EXPECT_FALSE(f.State().ModGen.Executed);
}

TEST(GenRun, BothWarrantyFiguresAndACoarsePrecisionGiveFiveShortGenes) {
    GenWindow w(10, 3);
    TForm1& f = *w.form;
    Ctl<QCheckBox>(f, "Sred_flag")->setChecked(true);
    Ctl<QCheckBox>(f, "SKO_Flag")->setChecked(true);
    Ctl<QLineEdit>(f, "Edit2")->setText(QStringLiteral("0,001"));
    const double sredEntered = QLocale().toDouble(Ctl<QLineEdit>(f, "meSred")->text());
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(f.GenRunning());
    ASSERT_TRUE(w.Finished());
    EXPECT_EQ(CountLines(f, QStringLiteral("Создано генов 5")), 1);
    EXPECT_EQ(f.LastGenOutcome().end, rel::GenEnd::Completed);
    // The fitted warranty figures replace the ones entered; the model carries them.
    const rel::AnalysisState& st = f.State();
    EXPECT_EQ(st.ModGen.Sred, st.SredGar);
    EXPECT_EQ(st.ModGen.SKO, st.SKOGar);
    EXPECT_NE(st.SredGar, sredEntered);
    // A gene of 10 digits (1/0.001 = 1000) counts whole steps of 0.001 x (80 + 5000).
    const double steps = st.SredGar / ((80.0 + 5000.0) * 0.001);
    EXPECT_NEAR(steps, std::round(steps), 1e-6);
}

TEST(GenRun, ABarMovedByHandIsUsedForOneGeneration) {
    GenWindow w(20, 100000);
    TForm1& f = *w.form;
    QSlider* crossover = Ctl<QSlider>(f, "TrackBar1");
    Lockstep steps(f);
    // Moved by the user while the third pass is under way; the sixth is the last.
    steps.At(QStringLiteral("3"), [crossover] { crossover->setValue(90); });
    steps.At(QStringLiteral("6"), [&f] { f.StopBtnClick(); });
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(w.Finished());
    ASSERT_EQ(f.LastGenOutcome().passes, 6);
    // The first pass takes both bars as they stand, every later one follows the
    // schedule and moves them, except the fourth: it takes the crossover bar where
    // the user put it. The fifth goes back to the schedule.
    const std::vector<std::string> moves = steps.ScheduleMoves();
    ASSERT_GE(moves.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(moves.begin(), moves.begin() + 6),
              (std::vector<std::string>{"", "xm", "xm", "m", "xm", "xm"}));
    EXPECT_NE(crossover->value(), 90);
}

TEST(GenRun, StopEndsTheRunAfterTheGenerationUnderWayAndShowsTheResults) {
    GenWindow w(20, 100000);
    TForm1& f = *w.form;
    // Pressed during the fifth pass (its count of recorded members is shown).
    Lockstep steps(f);
    steps.At(QStringLiteral("5"), [&f] { Ctl<QPushButton>(f, "StopBtn")->click(); });
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(w.Finished());
    const rel::GenOutcome& out = f.LastGenOutcome();
    EXPECT_EQ(out.end, rel::GenEnd::Stopped);
    EXPECT_EQ(out.passes, 5);
    EXPECT_TRUE(out.resultsShown);
    EXPECT_TRUE(w.form5->isVisible());
    EXPECT_TRUE(f.State().ModGen.Executed);
    EXPECT_TRUE(Ctl<WrapButton>(f, "ToolBRunGenOptim")->isEnabled());
}

TEST(GenRun, CopyBestPressedTwiceWithinAGenerationCopiesOnce) {
    GenWindow w(20, 100000);
    TForm1& f = *w.form;
    Lockstep steps(f);
    steps.At(QStringLiteral("3"), [&f] {
        Ctl<QPushButton>(f, "btnCopyBest")->click();
        Ctl<QPushButton>(f, "btnCopyBest")->click();
    });
    // After the copy-back the recorded members count from 1 again.
    int shownTwo = 0;
    steps.At(QStringLiteral("2"), [&f, &shownTwo] {
        if (++shownTwo == 2) f.StopBtnClick();
    });
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(w.Finished());
    EXPECT_EQ(CountLines(f, QStringLiteral("Копирование лучших")), 1);
    EXPECT_EQ(f.LastGenOutcome().end, rel::GenEnd::Stopped);
    EXPECT_EQ(f.LastGenOutcome().passes, 5);  // 3 passes, the copy-back in the 4th, then 2 recorded
}

TEST(GenRun, ClosingTheWindowDuringARunEndsTheThreadFirst) {
    GenWindow w(20, 1000000);
    TForm1& f = *w.form;
    int closed = 0;
    QObject::connect(&f, &TForm1::Closed, [&closed] { ++closed; });
    f.show();
    bool third = false;
    Lockstep steps(f);
    steps.At(
        QStringLiteral("3"), [&third] { third = true; }, Lockstep::Release::AtEnd);
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(WaitFor([&third] { return third; }));
    ASSERT_TRUE(f.GenRunning());

    EXPECT_TRUE(f.close());
    // Asked first, and confirmed ("Да" is the fake's answer).
    EXPECT_EQ(w.dialogs.questions, QStringList{QStringLiteral("Прервать расчет?")});
    // close() has returned only after the thread ended and was released.
    EXPECT_FALSE(f.Runs().Running());
    EXPECT_FALSE(f.GenRunning());
    EXPECT_EQ(closed, 1);
    const rel::GenOutcome& out = f.LastGenOutcome();
    EXPECT_EQ(out.end, rel::GenEnd::Terminated);
    EXPECT_GE(out.passes, 3);
    EXPECT_LE(out.passes, 1000);  // far from the million generations asked for
    // The model is finished; no results window is shown for a closing window.
    EXPECT_TRUE(out.modelWritten);
    EXPECT_FALSE(out.resultsShown);
    EXPECT_FALSE(w.form5->isVisible());
}

TEST(GenRun, CloseAskedWhileTheWindowShowsTheRunsCounterClosesOnce) {
    GenWindow w(20, 1000000);
    TForm1& f = *w.form;
    int closed = 0;
    QObject::connect(&f, &TForm1::Closed, [&closed] { ++closed; });
    f.show();
    Lockstep steps(f);
    steps.At(QStringLiteral("2"), [&f] { f.close(); });
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(WaitFor([&] { return closed > 0; }));
    EXPECT_FALSE(f.GenRunning());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.LastGenOutcome().end, rel::GenEnd::Terminated);
    EXPECT_LE(f.LastGenOutcome().passes, 3);
    EXPECT_EQ(closed, 1);
}

TEST(GenRun, ClosingDuringARunAsksFirstAndNoKeepsTheRunGoing) {
    GenWindow w(20, 1000000);
    TForm1& f = *w.form;
    int closed = 0;
    QObject::connect(&f, &TForm1::Closed, [&closed] { ++closed; });
    f.show();
    Lockstep steps(f);
    steps.At(QStringLiteral("2"), [&] {
        w.dialogs.askAnswer = false;
        EXPECT_FALSE(f.close());
    });
    steps.At(QStringLiteral("4"), [&f] { f.StopBtnClick(); });
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(w.Finished());
    EXPECT_EQ(w.dialogs.questions, QStringList{QStringLiteral("Прервать расчет?")});
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(f.isVisible());
    // The run went on to the "Стоп" pressed after the question.
    EXPECT_EQ(f.LastGenOutcome().end, rel::GenEnd::Stopped);
    EXPECT_EQ(f.LastGenOutcome().passes, 4);
    EXPECT_TRUE(w.form5->isVisible());
}

TEST(GenRun, DestroyingTheWindowDuringARunEndsTheThreadFirst) {
    GenWindow w(20, 1000000);
    bool second = false;
    Lockstep steps(*w.form);
    steps.At(
        QStringLiteral("2"), [&second] { second = true; }, Lockstep::Release::AtEnd);
    w.form->ToolBRunGenOptimClick();
    ASSERT_TRUE(WaitFor([&second] { return second; }));
    QPointer<RunController> runs = &w.form->Runs();
    ASSERT_TRUE(runs->Running());
    // The window's runs go with it, their thread ended first.
    w.form.reset();
    EXPECT_TRUE(runs.isNull());
    EXPECT_FALSE(w.form5->isVisible());
}

TEST(GenRun, SettingsTheOptimiserCannotRunWithAreRefusedWithTheirReason) {
    struct Case {
        const char* edit3;
        const char* nPokoleny;
        const char* edit2;
        const char* says;  // part of the message
    };
    const Case cases[] = {
        {"abc", "30", "0,0000001", "Размер популяции"},
        {"", "30", "0,0000001", "Размер популяции"},
        {"9", "30", "0,0000001", "не меньше 10"},
        {"0", "30", "0,0000001", "не меньше 10"},
        {"-20", "30", "0,0000001", "не меньше 10"},
        {"20,5", "30", "0,0000001", "Размер популяции"},
        {"20", "0", "0,0000001", "Число поколений"},
        {"20", "x", "0,0000001", "Число поколений"},
        {"20", "30", "abc", "Точность подбора"},
        {"20", "30", "0.00.1", "Точность подбора"},  // two separators
        {"20", "30", "0", "Точность подбора"},
        {"20", "30", "3", "Точность подбора"},      // 1/3 rounds to no digit at all
        {"20", "30", "1e-12", "Точность подбора"},  // more digits than a gene can hold
    };
    GenWindow w;
    TForm1& f = *w.form;
    for (const Case& c : cases) {
        Ctl<QLineEdit>(f, "Edit3")->setText(QString::fromUtf8(c.edit3));
        Ctl<QLineEdit>(f, "NPokoleny")->setText(QString::fromUtf8(c.nPokoleny));
        Ctl<QLineEdit>(f, "Edit2")->setText(QString::fromUtf8(c.edit2));
        w.dialogs.errors.clear();
        f.ToolBRunGenOptimClick();
        EXPECT_FALSE(f.GenRunning()) << c.edit3 << " " << c.nPokoleny << " " << c.edit2;
        EXPECT_TRUE(Ctl<WrapButton>(f, "ToolBRunGenOptim")->isEnabled());
        ASSERT_EQ(w.dialogs.errors.size(), 1) << c.edit3 << " " << c.nPokoleny << " " << c.edit2;
        EXPECT_TRUE(w.dialogs.errors[0].contains(QString::fromUtf8(c.says))) << w.dialogs.errors[0].toStdString();
    }
    EXPECT_EQ(CountLines(f, QStringLiteral("Создано генов 3")), 0);
    EXPECT_FALSE(f.State().ModGen.Executed);

    // The smallest population the mutation can work with runs; the precision may
    // be written with the point too.
    Ctl<QLineEdit>(f, "Edit3")->setText(QStringLiteral("10"));
    Ctl<QLineEdit>(f, "NPokoleny")->setText(QStringLiteral("2"));
    Ctl<QLineEdit>(f, "Edit2")->setText(QStringLiteral("0.0000001"));
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(f.GenRunning());
    ASSERT_TRUE(w.Finished());
    EXPECT_EQ(f.LastGenOutcome().end, rel::GenEnd::Completed);
}

TEST(GenRun, NoRunWithoutALoadedFile) {
    Window w;
    TForm1& f = *w.form;
    Ctl<QLineEdit>(f, "FilePath")->setText(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt"));  // typed, not loaded
    Ctl<QLineEdit>(f, "meSred")->setText(QStringLiteral("2500"));
    Ctl<QLineEdit>(f, "meSKO")->setText(QStringLiteral("400"));
    Ctl<QLineEdit>(f, "LabeledEdit2")->setText(QStringLiteral("2500"));
    f.ToolBRunGenOptimClick();
    EXPECT_FALSE(f.GenRunning());
    // Said once: load the file first.
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages[0].startsWith(QStringLiteral("Файл данных не загружен")));
    EXPECT_TRUE(w.dialogs.errors.isEmpty());
}

TEST(GenControls, TrackBarsHintTheirProbabilityWhileTheUserMovesThem) {
    Window w;
    TForm1& f = *w.form;
    EXPECT_EQ(ProbabilityHintText(QStringLiteral("Вероятность скрещивания "), 55),
              QStringLiteral("Вероятность скрещивания 0,55"));
    EXPECT_EQ(ProbabilityHintText(QStringLiteral("Вероятность мутации "), 100),
              QStringLiteral("Вероятность мутации 1,00"));
    EXPECT_EQ(ProbabilityHintText(QStringLiteral("Вероятность мутации "), 0),
              QStringLiteral("Вероятность мутации 0,00"));

    EXPECT_TRUE(Ctl<QSlider>(f, "TrackBar1")->toolTip().isEmpty());
    Ctl<QSlider>(f, "TrackBar1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Ctl<QSlider>(f, "TrackBar1")->value(), 56);
    EXPECT_EQ(Ctl<QSlider>(f, "TrackBar1")->toolTip(), QStringLiteral("Вероятность скрещивания 0,56"));
    Ctl<QSlider>(f, "TrackBar2")->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(Ctl<QSlider>(f, "TrackBar2")->toolTip(), QStringLiteral("Вероятность мутации 0,10"));
    // A move made by the program (the optimiser's schedule) changes no hint.
    Ctl<QSlider>(f, "TrackBar1")->setValue(20);
    EXPECT_EQ(Ctl<QSlider>(f, "TrackBar1")->toolTip(), QStringLiteral("Вероятность скрещивания 0,56"));
    // The value beside each bar follows every move.
    EXPECT_EQ(Ctl<QLabel>(f, "TrackBar1Value")->text(), QStringLiteral("0,20"));
    EXPECT_EQ(Ctl<QLabel>(f, "TrackBar2Value")->text(), QStringLiteral("0,10"));
}

}  // namespace
}  // namespace relan::test
