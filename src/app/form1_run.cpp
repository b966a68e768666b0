// The runs of the main window: "Расчет" and the genetic optimiser started through
// the run controller, what they report shown as it comes, and their ends.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "analysis/gen_run.h"
#include "dialogs.h"
#include "form1.h"
#include "form5.h"
#include "numbers.h"
#include "results/out_results.h"
#include "stats/criteria.h"
#include "wrap_button.h"

namespace relan {

void TForm1::ConnectRuns() {
    connect(&runs_, &RunController::MemoLine, this, &TForm1::MemoLine);
    connect(&runs_, &RunController::CounterText, NPokoleny, &QLineEdit::setText);
    connect(&runs_, &RunController::CrossoverMoved, this, [this](int pos) { ShowScheduled(TrackBar1, pos); });
    connect(&runs_, &RunController::MutationMoved, this, [this](int pos) { ShowScheduled(TrackBar2, pos); });
    connect(&runs_, &RunController::ProgressMoved, ProgressBar2, &QProgressBar::setValue);
    connect(&runs_, &RunController::CalculationDone, this, &TForm1::CalculationEnded);
    connect(&runs_, &RunController::OptimiserDone, this, &TForm1::OptimiserEnded);
    // The optimiser reads the bars and the copy count once per generation from
    // the values kept here; a bar moved by anyone but the schedule counts as the
    // user's move.
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int pos) {
        if (!showingSchedule_) runs_.SetCrossoverPercent(pos);
    });
    connect(TrackBar2, &QSlider::valueChanged, this, [this](int pos) {
        if (!showingSchedule_) runs_.SetMutationPercent(pos);
    });
    connect(LabeledEdit1, &QLineEdit::textChanged, this,
            [this](const QString& text) { runs_.SetCopyCountText(text); });
}

void TForm1::ShowScheduled(QSlider* bar, int position) {
    showingSchedule_ = true;
    bar->setValue(position);
    showingSchedule_ = false;
}

bool TForm1::GenRunning() const { return runs_.Current() == RunController::Kind::Optimiser; }

void TForm1::SetRunInProgress(bool running) {
    const bool enabled = !running;
    QWidget* const inputs[] = {OpenFileStart, FilePath,   SpeedButton1, bbRaschet, ToolBRunGenOptim,
                               meSred,        meSKO,      LabeledEdit2, LabeledEdit3, Edit1,
                               Edit6,         Edit5,      SpirSpusk,    BoxNewton,  BoxSmirnow,
                               Sred_flag,     SKO_Flag,   RadioGroup1};
    for (QWidget* w : inputs) w->setEnabled(enabled);
}

void TForm1::OutResults() {
    const rel::ResultsContent content =
        rel::OutResults(St, LabeledEdit3->text().toStdString(), DecimalSep());
    for (const std::string& note : content.Messages) MemoLine(QString::fromStdString(note));
    if (Form5) Form5->ShowResults(content);
}

// ---- "Расчет" ----

void TForm1::bbRaschetClick() {
    if (runs_.Running()) return;  // one run at a time; the button is disabled meanwhile
    if (!ReadRunParams()) return;
    if (!CheckDataPath()) return;

    rel::RunParams p;
    p.SredGar = St.SredGar;
    p.SKOGar = St.SKOGar;
    p.PeriodUchet = St.PeriodUchet;
    p.TPrirab = St.TPrirab;
    p.FitSKO = SKO_Flag->isChecked();
    p.FitSred = Sred_flag->isChecked();
    p.Spiral = SpirSpusk->isChecked();
    p.Newton = BoxNewton->isChecked();
    p.Smirnov = BoxSmirnow->isChecked();
    p.StepCoef11 = Edit1->text().toStdString();
    p.StepCoef12 = Edit6->text().toStdString();
    p.StepCoef2 = Edit5->text().toStdString();
    const int item = RadioGroup1ItemIndex();
    p.item = item >= 0 ? item : rel::kItemStandard;
    p.decimalSep = DecimalSep();

    // The fits take seconds: they run off this thread while the window keeps
    // drawing, with its inputs disabled and the hourglass shown. Their memo lines
    // arrive as they are written.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetRunInProgress(true);
    runs_.StartCalculation(St, p);
}

void TForm1::CalculationEnded(const rel::RunResult& r) {
    // The window closing during the run shows nothing more.
    const bool show = !runs_.Closing();
    if (r.ok && show) OutResults();
    QApplication::restoreOverrideCursor();
    SetRunInProgress(false);
    if (!show) return;
    if (!r.ok) {
        // A coefficient that is not a usable number, or data without a failure to
        // fit: the models completed before keep their values.
        QLineEdit* const boxes[] = {nullptr, Edit1, Edit6, Edit5};
        if (QLineEdit* box = boxes[static_cast<int>(r.errorField)]) {
            box->setFocus();
            box->selectAll();
        }
        env_.dialogs->Error(this, QCoreApplication::applicationName(), QString::fromStdString(r.error));
        return;
    }
    QApplication::beep();
}

// ---- The genetic optimiser ----

void TForm1::ToolBRunGenOptimClick() {
    if (runs_.Running()) return;  // one run at a time
    // 1-2. Run parameters as the calculation run takes them, the pre-run check.
    if (!ReadRunParams()) return;
    if (!CheckDataPath()) return;

    // 3-8. Population size, generation count and precision (a setting the
    // optimiser cannot run with is refused with its reason), the fit flags, the
    // histogram and the per-interval arrays of ModGen.
    rel::GenOptions o = genBase_;
    o.decimalSep = DecimalSep();
    if (const auto refused = rel::StartGenRun(St, Edit3->text().toStdString(), NPokoleny->text().toStdString(),
                                              Edit2->text().toStdString(), Sred_flag->isChecked(),
                                              SKO_Flag->isChecked(), o)) {
        if (refused->settings)
            env_.dialogs->Error(this, QCoreApplication::applicationName(),
                                QString::fromStdString(refused->message));
        else
            Message(QString::fromStdString(refused->message));
        return;
    }

    // 9. The optimiser's run, from the bars and the copy count as they stand.
    runs_.StartOptimiser(St, o, TrackBar1->value(), TrackBar2->value(), LabeledEdit1->text());
    SetRunInProgress(true);
    ToolBRunGenOptim->setEnabled(false);
    Edit3->setEnabled(false);
}

void TForm1::StopBtnClick() { runs_.RequestStop(); }

void TForm1::btnCopyBestClick() { runs_.RequestCopyBest(); }

void TForm1::OptimiserEnded(const rel::GenOutcome& outcome, bool resultsDue) {
    genOutcome_ = outcome;
    // The run completed its model (and the window is not closing): the results.
    if (resultsDue) OutResults();
    SetRunInProgress(false);
    ToolBRunGenOptim->setEnabled(true);
    Edit3->setEnabled(true);
    if (genOutcome_.end == rel::GenEnd::NotStarted && !genOutcome_.error.empty())
        Message(QString::fromStdString(genOutcome_.error));
}

}  // namespace relan
