#include "gen_thread.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <string>

#include "form1.h"
#include "numbers.h"
#include "text/format.h"
#include "thread_handover.h"
#include "vector_state.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// The window's side of a run: each call runs on the window's thread while the
// optimiser waits for it.
class WindowGenHost final : public rel::GenHost {
public:
    explicit WindowGenHost(TGenThread& thread) : thread_(thread), form_(thread.form_) {}

    int CrossoverPercent() override {
        int pos = 0;
        Blocking([&] { pos = form_.TrackBar1->value(); });
        return pos;
    }
    void SetCrossoverPercent(int pos) override {
        Blocking([&] { form_.TrackBar1->setValue(pos); });
    }
    int MutationPercent() override {
        int pos = 0;
        Blocking([&] { pos = form_.TrackBar2->value(); });
        return pos;
    }
    void SetMutationPercent(int pos) override {
        Blocking([&] { form_.TrackBar2->setValue(pos); });
    }
    void ShowCounter(const std::string& text) override {
        Blocking([&] { form_.NPokoleny->setText(Q(text)); });
    }
    void AppendMemo(const std::string& line) override {
        Blocking([&] { form_.MemoLine(Q(line)); });
    }
    void SetProgress(int percent) override {
        Blocking([&] { form_.ProgressBar2->setValue(percent); });
    }
    std::string CopyCountText() override {
        std::string text;
        Blocking([&] { text = form_.LabeledEdit1->text().toStdString(); });
        return text;
    }
    void DiaGen() override {
        Blocking([&] {
            // A window that is closing shows no results any more.
            if (thread_.isInterruptionRequested()) return;
            form_.OutResults();
        });
    }
    bool TerminationRequested() override { return thread_.isInterruptionRequested(); }

private:
    // Runs `f` on the window's thread and returns when it has run.
    template <typename F>
    void Blocking(F&& f) {
        QMetaObject::invokeMethod(
            &form_,
            Posted([&] {
                ++thread_.servingDepth_;
                // Nothing thrown may cross into the toolkit's event handling.
                try {
                    f();
                } catch (...) {
                    form_.MemoLine(QString::fromUtf8(rel::kErrorLine));
                }
                --thread_.servingDepth_;
            }),
            Qt::BlockingQueuedConnection);
        ClearUpperVectorState();
    }

    TGenThread& thread_;
    TForm1& form_;
};

TGenThread::TGenThread(TForm1& form, rel::AnalysisState& st, rel::GenFlags& flags,
                       const rel::GenOptions& opts)
    : form_(form), st_(st), flags_(flags), opts_(opts) {
    setObjectName(QStringLiteral("GenThread"));
}

void TGenThread::run() {
    ClearUpperVectorState();
    WindowGenHost host(*this);
    try {
        rel::TGen gen(st_, host, flags_, opts_);
        outcome_ = gen.Execute();
    } catch (...) {
        // The optimiser could not even be set up (no memory for the population).
        outcome_ = rel::GenOutcome{};
        outcome_.end = rel::GenEnd::Error;
        host.AppendMemo(rel::kErrorLine);
    }
}

QString ProbabilityHintText(const QString& prefix, int position) {
    return prefix + Q(rel::FormatFixed(position / 100.0, 4, 2, DecimalSep()));
}

void AttachProbabilityHint(QSlider* bar, const QString& prefix) {
    // actionTriggered comes only from the user (drag, keys, clicks on the groove),
    // with the new position already set; the optimiser's setValue never sends it.
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [bar, prefix](int action) {
        if (action == QAbstractSlider::SliderNoAction) return;
        const int pos = bar->sliderPosition();
        const QString text = ProbabilityHintText(prefix, pos);
        bar->setToolTip(text);
        const int handle = bar->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, bar);
        const int x = QStyle::sliderPositionFromValue(bar->minimum(), bar->maximum(), pos,
                                                      std::max(0, bar->width() - handle)) +
                      handle / 2;
        // Replaces a hint already showing.
        QToolTip::showText(bar->mapToGlobal(QPoint(x, 0)), text, bar);
    });
}

}  // namespace relan
