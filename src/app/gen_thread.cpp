#include "gen_thread.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <type_traits>
#include <string>

#include "form1.h"
#include "numbers.h"
#include "results/format.h"

// The blocking calls hand the optimiser's values to the window's thread and back
// through Qt's own wait, which ThreadSanitizer cannot see inside an uninstrumented
// Qt library. Under ThreadSanitizer the hand-over is announced to it explicitly.
#if defined(__SANITIZE_THREAD__)
#define RELAN_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define RELAN_TSAN 1
#endif
#endif

#ifdef RELAN_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace relan {

namespace {

#ifdef RELAN_TSAN
// The address that stands for the hand-over between the two threads.
char gHandOver = 0;
#endif

// Everything this thread did so far is visible to the thread that takes it up next.
inline void HandOver() {
#ifdef RELAN_TSAN
    __tsan_release(&gHandOver);
#endif
}

// Takes up what the other thread handed over.
inline void TakeOver() {
#ifdef RELAN_TSAN
    __tsan_acquire(&gHandOver);
#endif
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// The window's side of a run: each call runs on the window's thread while the
// optimiser waits for it.
class WindowGenHost final : public rel::GenHost {
public:
    explicit WindowGenHost(TGenThread& thread) : thread_(thread), form_(thread.form_) {}

    int TrackBar1Position() override {
        int pos = 0;
        Blocking([&] { pos = form_.TrackBar1->value(); });
        return pos;
    }
    void SetTrackBar1Position(int pos) override {
        Blocking([&] { form_.TrackBar1->setValue(pos); });
    }
    int TrackBar2Position() override {
        int pos = 0;
        Blocking([&] { pos = form_.TrackBar2->value(); });
        return pos;
    }
    void SetTrackBar2Position(int pos) override {
        Blocking([&] { form_.TrackBar2->setValue(pos); });
    }
    void ShowNPokoleny(const std::string& text) override {
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
    // The one thing a call carries to the window's thread: `f` runs there while the
    // optimiser waits. The toolkit builds the call on the optimiser's thread, runs it
    // on the window's, and frees it on either; every copy hands over what was written
    // before it, and taking it apart takes up what the other side wrote.
    template <typename F>
    struct Call {
        F* f;
        TGenThread* thread;
        TForm1* form;
        Call(F* f_, TGenThread* t, TForm1* fm) : f(f_), thread(t), form(fm) { HandOver(); }
        Call(const Call& o) : f(o.f), thread(o.thread), form(o.form) { HandOver(); }
        Call& operator=(const Call&) = delete;
        ~Call() { TakeOver(); }
        void operator()() const {
            TakeOver();
            ++thread->servingDepth_;
            // Nothing thrown may cross into the toolkit's event handling.
            try {
                (*f)();
            } catch (...) {
                form->MemoLine(QString::fromUtf8(rel::kErrorLine));
            }
            --thread->servingDepth_;
            HandOver();
        }
    };

    // Runs `f` on the window's thread and returns when it has run.
    template <typename F>
    void Blocking(F&& f) {
        using Fn = std::remove_reference_t<F>;
        QMetaObject::invokeMethod(&form_, Call<Fn>(&f, &thread_, &form_), Qt::BlockingQueuedConnection);
        TakeOver();
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
