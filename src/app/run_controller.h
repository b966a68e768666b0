// The runs of the main window: the calculation run of "Расчет" and the genetic
// optimiser, one at a time, each on a worker thread this controller owns.
//
// The worker never waits for the window. What a run reports (memo lines, the
// optimiser's counter, the positions its schedule gives the track bars, its
// progress) goes into a small locked queue that the window's thread drains on a timer
// and hands on as signals, in the order the run made it. What the window tells a
// run (the track bars the user moved, the copy count, "Стоп", "Скопировать
// лучших", the end of a run when the window closes) is kept in atomics (the copy
// count text under a mutex) that the run reads once per generation. A run works on
// its own copy of the analysis state, handed over by value at its start; the window
// keeps its own state untouched meanwhile and takes the run's state with the run's
// result once the worker has returned.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/state.h"
#include "fit/calc_run.h"
#include "genetic/tgen.h"

class QTimer;

namespace relan {

// One thing a run reports to the window.
struct RunEvent {
    enum class Kind {
        Memo,       // a line of the progress log (text)
        Counter,    // the optimiser's counter of recorded best members (text)
        Crossover,  // the crossover bar's position set by the schedule (value)
        Mutation,   // the mutation bar's position set by the schedule (value)
        Progress,   // the optimiser's progress, 0..100 (value)
        ModelStep,  // model 3's steps done, in thousandths of its total (value)
    };
    Kind kind = Kind::Memo;
    int value = 0;
    std::string text;
};

// Events handed from one worker thread to the window's thread: the worker pushes,
// the window takes everything pushed so far, oldest first. The lock is held for one
// push or one swap of the list, so the worker never waits on the window's handlers.
class RunEventQueue {
public:
    RunEventQueue() = default;
    RunEventQueue(const RunEventQueue&) = delete;
    RunEventQueue& operator=(const RunEventQueue&) = delete;

    void Push(RunEvent event);
    std::vector<RunEvent> TakeAll();

private:
    std::mutex mutex_;
    std::vector<RunEvent> events_;  // oldest first
};

class RunController : public QObject {
    Q_OBJECT
public:
    enum class Kind { None, Calculation, Optimiser };

    explicit RunController(QObject* parent = nullptr);
    // Ends a run still under way (the optimiser at the end of its generation, the
    // calculation run at its end) and waits for its thread; nothing is delivered.
    ~RunController() override;

    // Starts CalculationRun on the worker thread on `st` (the run's own copy), with
    // this controller's clock and its end request as model 3's cancellation. Its memo
    // lines arrive as MemoLine, then CalculationDone with its result and the state as
    // the run left it. False (and nothing started) while a run is under way.
    bool StartCalculation(rel::AnalysisState st, const rel::RunParams& params);

    // Starts the optimiser on `st` (its own copy) with the track bars at
    // `crossover` and `mutation` and the copy count `copyCount`; at the end
    // OptimiserDone with the state as it left it. False while a run is under way.
    bool StartOptimiser(rel::AnalysisState st, const rel::GenOptions& options, int crossover, int mutation,
                        const QString& copyCount);

    // The kind of the run under way (None when idle). A run is under way from its
    // start until its end has been delivered.
    Kind Current() const { return kind_; }
    bool Running() const { return kind_ != Kind::None; }
    // Runs started so far.
    int Started() const { return started_; }

    // What the window tells the optimiser; any time, also between runs.
    void SetCrossoverPercent(int position);  // the user moved the crossover bar
    void SetMutationPercent(int position);   // the user moved the mutation bar
    void SetCopyCountText(const QString& text);
    void RequestStop();      // "Стоп": the run ends at the end of its generation
    void RequestCopyBest();  // "Скопировать лучших": at the next generation

    // The window is closing: a run under way is asked to end (the calculation run
    // goes to its end, model 3 stops between its steps), its thread is waited for
    // while the window's events other than the user's input are served, what it
    // reported is delivered and then its end, with Closing() true: no results are
    // due. Nothing when idle.
    void EndForClose();
    bool Closing() const { return closing_; }
    // The end of the run has been asked for (the window closing or going away).
    // Safe on any thread.
    bool EndRequested() const { return endRequested_.load(); }

    // Serves the window's events until the run under way has delivered its end.
    void WaitForEnd();

    // The clock given to every calculation run; empty: the system's monotonic
    // clock. Tests put a virtual clock here so that the fits end after a fixed
    // amount of work.
    rel::FitClock Clock;

    // Called on the worker thread with every event as the run hands it over, before
    // the window sees it (tests hold a run at an exact point with it). Set it while
    // no run is under way.
    using WorkerTap = std::function<void(const RunEvent&)>;
    void SetWorkerTap(WorkerTap tap) { tap_ = std::move(tap); }

signals:
    void MemoLine(const QString& line);
    void CounterText(const QString& text);
    void CrossoverMoved(int position);
    void MutationMoved(int position);
    void ProgressMoved(int percent);
    // Model 3 in a calculation run: its steps done (the fit, its intervals, each
    // bootstrap replicate), in thousandths of the total.
    void ModelStepMoved(int permille);
    // The calculation run has returned; `state`: the analysis state it worked on.
    void CalculationDone(const rel::RunResult& result, const rel::AnalysisState& state);
    // The optimiser has returned; `resultsDue`: its model is complete and the window
    // is not closing, so the results are to be shown.
    void OptimiserDone(const rel::GenOutcome& outcome, bool resultsDue, const rel::AnalysisState& state);
    // After either of the two above: no run is under way any more.
    void Ended();

private:
    friend class QueueGenHost;

    void Launch(Kind kind, std::function<void()> work);
    void Post(RunEvent event);
    void Drain();
    void Deliver(const RunEvent& event);
    void JoinWorker();
    void Complete();

    Kind kind_ = Kind::None;
    int started_ = 0;
    bool closing_ = false;
    std::thread worker_;
    QTimer* timer_;
    RunEventQueue queue_;
    std::vector<RunEvent> pending_;  // taken from the queue, not delivered yet
    std::size_t next_ = 0;           // next of pending_ to deliver
    WorkerTap tap_;

    // Shared with the worker.
    std::atomic<bool> workerDone_{false};
    std::atomic<bool> endRequested_{false};
    std::atomic<bool> bootstrapStop_{false};  // "Стоп" during a calculation run
    std::atomic<int> crossover_{55};
    std::atomic<int> mutation_{15};
    rel::GenFlags flags_;
    std::mutex copyCountMutex_;
    std::string copyCount_;

    // The run's own analysis state: the worker's alone while it runs, handed to the
    // window with the end.
    rel::AnalysisState runState_;
    // Written by the worker, read by the window once workerDone_ is seen.
    rel::RunResult calcResult_;
    rel::GenOutcome genOutcome_;
    bool resultsDue_ = false;
};

}  // namespace relan
