#include "calc_runner.h"

#include <QEventLoop>
#include <QMetaObject>
#include <utility>

#include "thread_handover.h"
#include "vector_state.h"

namespace relan {

CalcRunner::CalcRunner(QObject* parent) : QObject(parent) {}

CalcRunner::~CalcRunner() { Join(); }

void CalcRunner::Join() {
    if (worker_.joinable()) worker_.join();
}

bool CalcRunner::Start(rel::AnalysisState& st, const rel::RunParams& params, LineHandler onLine,
                       DoneHandler onDone) {
    if (running_) return false;
    Join();  // the thread of the previous run has delivered its result already
    running_ = true;
    closing_ = false;

    rel::RunParams p = params;
    p.clock = Clock;
    // The worker posts to this object, which lives on the window's thread: the
    // lines and then the result arrive there in the order they were posted. The
    // destructor joins the worker, so `this` outlives every post.
    worker_ = std::thread([this, &st, p = std::move(p), onLine = std::move(onLine),
                           onDone = std::move(onDone)] {
        ClearUpperVectorState();
        const rel::MemoSink sink = [this, onLine](const std::string& line) {
            QMetaObject::invokeMethod(
                this, Posted([onLine, text = QString::fromStdString(line)] {
                    if (onLine) onLine(text);
                }),
                Qt::QueuedConnection);
        };
        rel::RunResult result = rel::CalculationRun(st, p, sink);
        QMetaObject::invokeMethod(
            this, Posted([this, onDone, result = std::move(result)] {
                Join();
                running_ = false;
                if (onDone) onDone(result);
                emit Finished();
            }),
            Qt::QueuedConnection);
    });
    return true;
}

void CalcRunner::WaitForResult() {
    QEventLoop loop;
    connect(this, &CalcRunner::Finished, &loop, &QEventLoop::quit);
    if (running_) loop.exec();
}

void CalcRunner::FinishForClose() {
    if (!running_) return;
    closing_ = true;
    WaitForResult();
}

}  // namespace relan
