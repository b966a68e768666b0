// The calculation run of "Расчет" on a worker thread, so that the window keeps
// drawing itself while the fits take their seconds. The run is the core's
// CalculationRun on the window's own analysis state: the same figures, the same
// order and the same memo lines as a run on the window's thread would give.
//
// While a run is under way the window must leave the analysis state alone (its
// inputs are disabled); everything the run reports reaches the window's thread as
// queued calls, in the order it was written.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

#include "fit/calc_run.h"

namespace relan {

class CalcRunner : public QObject {
    Q_OBJECT
public:
    using LineHandler = std::function<void(const QString&)>;
    using DoneHandler = std::function<void(const rel::RunResult&)>;

    explicit CalcRunner(QObject* parent = nullptr);
    // Waits for a run still under way: the analysis state it writes belongs to the
    // owner and must outlive the run.
    ~CalcRunner() override;

    // Starts CalculationRun(st, params) on the worker thread. Each memo line is
    // handed to onLine on this object's thread as soon as the fit writes it; at
    // the end onDone receives the run's result there, after every line. Returns
    // false (and starts nothing) when a run is already under way.
    bool Start(rel::AnalysisState& st, const rel::RunParams& params, LineHandler onLine,
               DoneHandler onDone);

    // True from Start until onDone has been called.
    bool Running() const { return running_; }

    // The window is closing: waits for the run to end while still serving the
    // window's events (so it keeps drawing and a fatal message of the worker can
    // be shown). onDone is still called, with Closing() true: it puts the window
    // back in order and shows nothing. Returns at once when no run is under way.
    void FinishForClose();
    bool Closing() const { return closing_; }

    // Waits, serving events, until the run under way has delivered its result.
    void WaitForResult();

    // The clock given to every run; empty: the system's monotonic clock. Tests put
    // a virtual clock here so that the fits end after a fixed amount of work.
    rel::FitClock Clock;

signals:
    // The run has ended and its result was delivered.
    void Finished();

private:
    void Join();

    std::thread worker_;
    bool running_ = false;
    bool closing_ = false;
};

}  // namespace relan
