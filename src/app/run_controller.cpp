#include "run_controller.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <utility>

#include "startup.h"
#include "vector_state.h"

namespace relan {

namespace {

// How often the window takes what a run has reported: often enough for the
// counter and the bars to move smoothly, seldom enough to cost nothing.
constexpr int kDrainMs = 15;

}  // namespace

// ---- RunEventQueue ----

void RunEventQueue::Push(RunEvent event) {
    const std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
}

std::vector<RunEvent> RunEventQueue::TakeAll() {
    std::vector<RunEvent> taken;
    const std::lock_guard<std::mutex> lock(mutex_);
    taken.swap(events_);
    return taken;
}

// ---- The optimiser's host ----

// The window's side of an optimiser run, on the worker thread: settings are read
// from the values the window keeps current, everything to show is queued. No call
// waits for the window.
class QueueGenHost final : public rel::GenHost {
public:
    explicit QueueGenHost(RunController& c) : c_(c) {}

    int CrossoverPercent() override { return c_.crossover_.load(); }
    void SetCrossoverPercent(int pos) override {
        // Read back by the next generation as the bar's position, whether or not
        // the window has moved the bar yet.
        c_.crossover_.store(pos);
        c_.Post({RunEvent::Kind::Crossover, pos, {}});
    }
    int MutationPercent() override { return c_.mutation_.load(); }
    void SetMutationPercent(int pos) override {
        c_.mutation_.store(pos);
        c_.Post({RunEvent::Kind::Mutation, pos, {}});
    }
    void ShowCounter(const std::string& text) override { c_.Post({RunEvent::Kind::Counter, 0, text}); }
    void AppendMemo(const std::string& line) override { c_.Post({RunEvent::Kind::Memo, 0, line}); }
    void SetProgress(int percent) override { c_.Post({RunEvent::Kind::Progress, percent, {}}); }
    std::string CopyCountText() override {
        std::lock_guard<std::mutex> lock(c_.copyCountMutex_);
        return c_.copyCount_;
    }
    // The results are shown once the run has returned.
    void DiaGen() override { c_.resultsDue_ = true; }
    bool TerminationRequested() override { return c_.endRequested_.load(); }

private:
    RunController& c_;
};

// ---- RunController ----

RunController::RunController(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    timer_->setInterval(kDrainMs);
    connect(timer_, &QTimer::timeout, this, [this] { Drain(); });
}

RunController::~RunController() {
    endRequested_ = true;
    JoinWorker();
}

void RunController::Launch(Kind kind, std::function<void()> work) {
    kind_ = kind;
    ++started_;
    closing_ = false;
    endRequested_ = false;
    bootstrapStop_ = false;
    workerDone_ = false;
    pending_.clear();
    next_ = 0;
    worker_ = std::thread([this, work = std::move(work)] {
        ClearUpperVectorState();
        work();
        workerDone_ = true;
    });
    timer_->start();
}

bool RunController::StartCalculation(rel::AnalysisState st, const rel::RunParams& params) {
    if (Running()) return false;
    runState_ = std::move(st);
    rel::RunParams p = params;
    p.clock = Clock;
    // Model 3 looks between its steps whether the run is to end (the window closing).
    p.cancelled = [this] { return endRequested_.load(); };
    // "Стоп" ends model 3's bootstrap with the replicates done; its steps move the bar.
    p.mlStopBootstrap = [this] { return bootstrapStop_.load(); };
    p.mlProgress = [this](int done, int total) {
        if (total > 0) Post({RunEvent::Kind::ModelStep, static_cast<int>(1000LL * done / total), {}});
    };
    calcResult_ = rel::RunResult{};
    Launch(Kind::Calculation, [this, p = std::move(p)] {
        const rel::MemoSink sink = [this](const std::string& line) { Post({RunEvent::Kind::Memo, 0, line}); };
        calcResult_ = rel::CalculationRun(runState_, p, sink);
    });
    return true;
}

bool RunController::StartOptimiser(rel::AnalysisState st, const rel::GenOptions& options, int crossover,
                                   int mutation, const QString& copyCount) {
    if (Running()) return false;
    runState_ = std::move(st);
    crossover_ = crossover;
    mutation_ = mutation;
    SetCopyCountText(copyCount);
    genOutcome_ = rel::GenOutcome{};
    resultsDue_ = false;
    Launch(Kind::Optimiser, [this, options] {
        QueueGenHost host(*this);
        try {
            rel::TGen gen(runState_, host, flags_, options);
            genOutcome_ = gen.Execute();
        } catch (...) {
            // The optimiser could not even be set up (no memory for the population);
            // nothing may leave the thread.
            genOutcome_ = rel::GenOutcome{};
            genOutcome_.end = rel::GenEnd::Error;
            host.AppendMemo(rel::kErrorLine);
        }
    });
    return true;
}

void RunController::SetCrossoverPercent(int position) { crossover_ = position; }
void RunController::SetMutationPercent(int position) { mutation_ = position; }

void RunController::SetCopyCountText(const QString& text) {
    std::string s = text.toStdString();
    std::lock_guard<std::mutex> lock(copyCountMutex_);
    copyCount_ = std::move(s);
}

void RunController::RequestStop() {
    if (kind_ == Kind::Calculation)
        bootstrapStop_ = true;
    else
        flags_.FlagStop = true;
}
void RunController::RequestCopyBest() { flags_.FlagCopyBest = true; }

void RunController::Post(RunEvent event) {
    if (tap_) {
        const RunEvent seen = event;
        queue_.Push(std::move(event));
        tap_(seen);
        return;
    }
    queue_.Push(std::move(event));
}

void RunController::Drain() {
    // Whether the worker had returned is read before the queue is taken: then
    // everything it reported is in this take.
    const bool returned = workerDone_.load();
    const int run = started_;
    for (RunEvent& e : queue_.TakeAll()) pending_.push_back(std::move(e));
    // One at a time from the member list: a handler that ends the run (the window
    // closing) delivers the rest itself, in order, and this loop then stops.
    while (next_ < pending_.size()) {
        const RunEvent e = std::move(pending_[next_++]);
        Deliver(e);
    }
    pending_.clear();
    next_ = 0;
    if (returned && Running() && started_ == run) Complete();
}

void RunController::Deliver(const RunEvent& e) {
    switch (e.kind) {
        case RunEvent::Kind::Memo:
            emit MemoLine(QString::fromStdString(e.text));
            break;
        case RunEvent::Kind::Counter:
            emit CounterText(QString::fromStdString(e.text));
            break;
        case RunEvent::Kind::Crossover:
            emit CrossoverMoved(e.value);
            break;
        case RunEvent::Kind::Mutation:
            emit MutationMoved(e.value);
            break;
        case RunEvent::Kind::Progress:
            emit ProgressMoved(e.value);
            break;
        case RunEvent::Kind::ModelStep:
            emit ModelStepMoved(e.value);
            break;
    }
}

void RunController::JoinWorker() {
    if (!worker_.joinable()) return;
    // The worker never waits for this thread, except after the analysis' fatal
    // error, whose box this thread shows (and the program then ends).
    while (!workerDone_.load()) {
        ServePendingFatal();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    worker_.join();
}

void RunController::Complete() {
    JoinWorker();
    timer_->stop();
    const Kind kind = kind_;
    kind_ = Kind::None;
    // Moved out: a handler may start the next run, whose worker writes these members.
    const rel::AnalysisState state = std::move(runState_);
    runState_ = rel::AnalysisState{};
    if (kind == Kind::Calculation) {
        const rel::RunResult result = std::move(calcResult_);
        emit CalculationDone(result, state);
    } else if (kind == Kind::Optimiser) {
        const rel::GenOutcome outcome = genOutcome_;
        emit OptimiserDone(outcome, resultsDue_ && !closing_, state);
    }
    emit Ended();
}

void RunController::EndForClose() {
    if (!Running()) return;
    closing_ = true;
    endRequested_ = true;
    // The calculation run goes to its end (model 2 for up to its ten seconds): the
    // window keeps drawing and showing the progress lines meanwhile, with the
    // user's input held back. The worker never waits for this thread.
    while (!workerDone_.load()) {
        ServePendingFatal();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!Running()) return;  // a drain served above has delivered the end already
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    JoinWorker();
    Drain();
}

void RunController::WaitForEnd() {
    if (!Running()) return;
    QEventLoop loop;
    connect(this, &RunController::Ended, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace relan
