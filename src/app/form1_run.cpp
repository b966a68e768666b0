// "Расчет" of the main window: the calculation run on a worker thread and the
// results output at its end.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "calc_runner.h"
#include "dialogs.h"
#include "form1.h"
#include "form5.h"
#include "numbers.h"
#include "results/out_results.h"
#include "stats/criteria.h"
#include "wrap_button.h"

namespace relan {

CalcRunner& TForm1::CalcRun() {
    if (!calcRun_) calcRun_ = std::make_unique<CalcRunner>();
    return *calcRun_;
}

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

void TForm1::bbRaschetClick() {
    if (CalcRun().Running()) return;  // the button is disabled meanwhile
    if (GenThread) return;            // the optimiser owns the histogram until it ends
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
    CalcRun().Start(
        St, p, [this](const QString& line) { MemoLine(line); },
        [this](const rel::RunResult& r) {
            // The window closing during the run shows nothing more.
            const bool show = !CalcRun().Closing();
            if (r.ok && show) OutResults();
            QApplication::restoreOverrideCursor();
            SetRunInProgress(false);
            if (!show) return;
            if (!r.ok) {
                // A coefficient that is not a usable number, or data without a
                // failure to fit: the models completed before keep their values.
                QLineEdit* const boxes[] = {nullptr, Edit1, Edit6, Edit5};
                if (QLineEdit* box = boxes[static_cast<int>(r.errorField)]) {
                    box->setFocus();
                    box->selectAll();
                }
                env_.dialogs->Error(this, QCoreApplication::applicationName(), QString::fromStdString(r.error));
                return;
            }
            QApplication::beep();
        });
}

}  // namespace relan
