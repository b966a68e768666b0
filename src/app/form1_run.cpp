// The runs of the main window: "Расчет" and the genetic optimiser started through
// the run controller, what they report shown as it comes, and their ends.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "analysis/gen_run.h"
#include "dialogs.h"
#include "form1.h"
#include "language.h"
#include "form5.h"
#include "numbers.h"
#include "results/out_results.h"
#include "stats/criteria.h"
#include "text/format.h"
#include "wrap_button.h"

namespace relan {

void TForm1::ConnectRuns() {
    connect(&runs_, &RunController::MemoLine, this, &TForm1::MemoLine);
    // The counter has its own label: "Число поколений" is the user's setting.
    connect(&runs_, &RunController::CounterText, GenCounter,
            [this](const QString& text) { GenCounter->setText(tr("Записано лучших: ") + text); });
    connect(&runs_, &RunController::CrossoverMoved, this, [this](int pos) { ShowScheduled(TrackBar1, pos); });
    connect(&runs_, &RunController::MutationMoved, this, [this](int pos) { ShowScheduled(TrackBar2, pos); });
    connect(&runs_, &RunController::ProgressMoved, ProgressBar2, &QProgressBar::setValue);
    // Model 3 says how far it is: the busy bar becomes a measured one.
    connect(&runs_, &RunController::ModelStepMoved, this, [this](int permille) {
        ProgressBar1->setRange(0, 1000);
        ProgressBar1->setValue(permille);
    });
    connect(StopCalcBtn, &QPushButton::clicked, this, [this] {
        if (runs_.Current() == RunController::Kind::Calculation) runs_.RequestStop();
    });
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
    // The run works on its own copy of the analysis: these are disabled for sense,
    // not for safety — a new file, other settings or another run would be a second
    // analysis started before the first has shown its results.
    QWidget* const inputs[] = {
        OpenFileStart, FilePath, SpeedButton1, bbRaschet, ToolBRunGenOptim, meSred,    meSKO,      LabeledEdit2,
        LabeledEdit3,  Edit1,    Edit6,        Edit5,     SpirSpusk,        BoxNewton, BoxSmirnow, BoxML,
        Sred_flag,     SKO_Flag, RadioGroup1,  Button2,   AgesButton,       UsageEdit, HorizonEdit};
    for (QWidget* w : inputs) w->setEnabled(enabled);
    EnableMenuForRun(running);
}

void TForm1::OutResults() {
    // Model 3's intervals go with its record while it holds that fit.
    const rel::MlResult* ml = lastML_ && St.ModML.Executed ? &*lastML_ : nullptr;
    const rel::ResultsContent content =
        rel::OutResults(St, LocaleNumberText(LabeledEdit3->text()), DecimalSep(), {}, ml, CurrentResultsWords());
    for (const std::string& note : content.Messages) MemoLine(QString::fromStdString(note));
    lastResults_ = content;
    actShowResults_->setEnabled(Form5 != nullptr);
    actSaveReport_->setEnabled(Form5 != nullptr);
    if (Form5) {
        Form5->SetReportSettings(HeaderSettings(content.WriteBack.TPrirab));
        Form5->ShowResults(content);
    }
}

ReportSettings TForm1::HeaderSettings(double burnIn) const {
    ReportSettings s;
    s.dataFile = loadedData_;
    s.warrantyFile = loadedWarranty_;
    s.agesFile = loadedAges_;
    // The models whose results the page shows, as their boxes name them.
    if (St.ModSpir.Executed) s.models << QStringLiteral("1.1");
    if (St.ModNewton.Executed) s.models << QStringLiteral("1.2");
    if (St.ModSmirn.Executed) s.models << QStringLiteral("2");
    if (St.ModML.Executed) s.models << QStringLiteral("3");
    if (St.ModGen.Executed) s.models << QCoreApplication::translate("relan::ReportHeader", kHeaderModelGen);
    if (St.ModSpir.Executed || St.ModNewton.Executed) s.item = lastItem_;
    s.burnIn = burnIn;
    s.fitSred = lastFitSred_;
    s.fitSKO = lastFitSKO_;
    s.virtualClock = runs_.Clock.evaluationsPerSecond;
    if (St.ModGen.Executed && genBase_.seed) s.seed = *genBase_.seed;
    if (St.ModML.Executed && lastML_) s.bootstrap = kMlBootstrap;
    return s;
}

void TForm1::ShowCalculationProgress(bool running) {
    if (running) {
        calcClock_.start();
        ProgressBar1->setRange(0, 0);  // busy until model 3 says how far it is
        StopCalcBtn->setEnabled(true);
        ShowElapsed();
        elapsedTimer_->start();
    } else {
        elapsedTimer_->stop();
        StopCalcBtn->setEnabled(false);
        if (calcClock_.isValid()) ShowElapsed();
        ProgressBar1->setRange(0, 1);
        ProgressBar1->setValue(0);
    }
}

void TForm1::ShowElapsed() {
    const std::int64_t seconds = calcClock_.isValid() ? calcClock_.elapsed() / 1000 : 0;
    LabelElapsed->setText(QString::fromStdString(rel::LongTimeText(seconds)) + tr(" (ч:мин:с)"));
}

// ---- "Расчет" ----

void TForm1::bbRaschetClick() {
    if (runs_.Running()) return;  // one run at a time; the button is disabled meanwhile
    if (!DataReady()) return;
    if (!ReadRunParams()) return;
    if (!CheckDataPath()) return;

    rel::RunParams p;
    p.SredGar = St.SredGar;
    p.SKOGar = St.SKOGar;
    p.PeriodUchet = St.PeriodUchet;
    p.TPrirab = St.TPrirab;
    p.FitSKO = SKO_Flag->isChecked();
    p.FitSred = Sred_flag->isChecked();
    // A fleet in service: the forecast's hours per month (empty: the ages file's) and months.
    if (!ReadForecastSettings(p.UsageMonth, p.Horizon)) return;
    // The methods whose check boxes are ticked.
    p.methods.clear();
    for (const rel::FitMethod& m : rel::MethodTable::Standard()) {
        const auto* box = m.checkBox ? findChild<QCheckBox*>(QString::fromLatin1(m.checkBox)) : nullptr;
        if (box && box->isChecked()) p.methods.push_back(m.id);
    }
    p.mlBootstrap = kMlBootstrap;
    p.mlSeed = 1;
    // The core reads the coefficients with the locale's separator; the user may
    // have typed either.
    p.StepCoef11 = LocaleNumberText(Edit1->text());
    p.StepCoef12 = LocaleNumberText(Edit6->text());
    p.StepCoef2 = LocaleNumberText(Edit5->text());
    const int item = RadioGroup1ItemIndex();
    p.item = item >= 0 ? item : rel::kItemStandard;
    p.decimalSep = DecimalSep();
    lastItem_ = p.item;
    lastFitSred_ = p.FitSred;
    lastFitSKO_ = p.FitSKO;

    // The fits take seconds: they run off this thread, on a copy of the analysis,
    // while the window keeps drawing, with the inputs that would start another
    // analysis disabled and the hourglass shown. Their memo lines arrive as they are
    // written.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetRunInProgress(true);
    ShowCalculationProgress(true);
    runs_.StartCalculation(St, p);
}

void TForm1::CalculationEnded(const rel::RunResult& r, const rel::AnalysisState& state) {
    // The run's state, with its fitted records, is the window's now.
    St = state;
    ShowCalculationProgress(false);
    // Model 3's record holds this fit now: its intervals are kept with it.
    if (r.ml && r.ml->ok && St.ModML.Executed) lastML_ = r.ml;
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
        Error(QString::fromStdString(r.error));
        return;
    }
    QApplication::beep();
}

// ---- The genetic optimiser ----

void TForm1::ToolBRunGenOptimClick() {
    if (runs_.Running()) return;  // one run at a time
    // 1-2. Run parameters as the calculation run takes them, the pre-run check.
    if (!DataReady()) return;
    if (!ReadRunParams()) return;
    if (!CheckDataPath()) return;

    // 3-8. Population size, generation count and precision (a setting the
    // optimiser cannot run with is refused with its reason), the fit flags, the
    // histogram and the per-interval arrays of ModGen.
    rel::GenOptions o = genBase_;
    o.decimalSep = DecimalSep();
    if (const auto refused =
            rel::StartGenRun(St, Edit3->text().toStdString(), NPokoleny->text().toStdString(),
                             LocaleNumberText(Edit2->text()), Sred_flag->isChecked(), SKO_Flag->isChecked(), o)) {
        if (refused->settings)
            Error(QString::fromStdString(refused->message));
        else
            Message(QString::fromStdString(refused->message));
        return;
    }

    // 9. The optimiser's run, from the bars and the copy count as they stand.
    lastFitSred_ = Sred_flag->isChecked();
    lastFitSKO_ = SKO_Flag->isChecked();
    GenCounter->clear();
    runs_.StartOptimiser(St, o, TrackBar1->value(), TrackBar2->value(), LabeledEdit1->text());
    SetRunInProgress(true);
    ToolBRunGenOptim->setEnabled(false);
    Edit3->setEnabled(false);
}

void TForm1::StopBtnClick() { runs_.RequestStop(); }

void TForm1::btnCopyBestClick() { runs_.RequestCopyBest(); }

void TForm1::OptimiserEnded(const rel::GenOutcome& outcome, bool resultsDue, const rel::AnalysisState& state) {
    St = state;
    genOutcome_ = outcome;
    // The run completed its model (and the window is not closing): the results.
    if (resultsDue) OutResults();
    SetRunInProgress(false);
    ToolBRunGenOptim->setEnabled(true);
    Edit3->setEnabled(true);
    if (genOutcome_.end == rel::GenEnd::NotStarted && !genOutcome_.error.empty())
        Error(QString::fromStdString(genOutcome_.error));
}

}  // namespace relan
