// The genetic optimiser's thread in the window program.
//
// TGenThread runs one optimiser run (rel::TGen) off the window's thread. The
// engine talks to the window only through rel::GenHost; here every host call is a
// blocking call onto the window's thread (the optimiser waits until the window has
// read or changed its controls), except TerminationRequested, which reads the
// thread's own interruption flag.
//
// The window must never wait for this thread with QThread::wait() while the thread
// may sit in a blocking call: it requests interruption and goes on serving events
// until the thread's finished signal has been handled (TForm1::EndGenRun).
#pragma once

#include <QThread>

#include "data/state.h"
#include "genetic/tgen.h"

class QSlider;

namespace relan {

class TForm1;

class TGenThread : public QThread {
    Q_OBJECT
public:
    // The run reads and writes `st` (see genetic/tgen.h for what the optimiser owns
    // while it runs) and shows its progress on `form`; both, and `flags`, must
    // outlive the thread.
    TGenThread(TForm1& form, rel::AnalysisState& st, rel::GenFlags& flags, const rel::GenOptions& opts);

    // How the run ended; valid once the thread has finished.
    const rel::GenOutcome& Outcome() const { return outcome_; }

    // True while the window's thread is inside one of this run's blocking calls
    // (read and written on the window's thread only). Waiting for the run from
    // there would never end: the optimiser waits for that very call.
    bool ServingCall() const { return servingDepth_ > 0; }

protected:
    void run() override;

private:
    friend class WindowGenHost;
    TForm1& form_;
    rel::AnalysisState& st_;
    rel::GenFlags& flags_;
    rel::GenOptions opts_;
    rel::GenOutcome outcome_;
    int servingDepth_ = 0;
};

// While the user drags `bar` (or moves it with the keyboard or a click on its
// groove), its hint is `prefix` followed by the position / 100 in "%4.2f" with the
// locale's decimal separator, shown at the handle. Moves made by the optimiser
// show nothing.
void AttachProbabilityHint(QSlider* bar, const QString& prefix);

// The hint text of a track bar at `position`.
QString ProbabilityHintText(const QString& prefix, int position);

}  // namespace relan
