// Model 3: the parametric bootstrap of the goodness-of-fit statistic.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "fit/ml_model.h"
#include "text/format.h"

namespace rel {
namespace ml {

BootOutcome Bootstrap(const MlInput& in, const MlParams& fitted, int replicates, std::uint64_t seed, int threads,
                      const std::function<bool()>& cancelled, const std::function<void(int)>& done,
                      const std::shared_ptr<const InService>& service) {
    BootOutcome out;
    out.lambdas.assign(std::max(replicates, 0), kNaN);
    if (replicates <= 0) return out;
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::min(threads, replicates);

    const MlReplicateDesign shared = service ? MlReplicateDesign{} : MlPrepareReplicates(in, fitted);
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    std::mutex mu;
    std::condition_variable cv;
    int finished = 0;  // replicates done, under mu

    // Each replicate has its own seed, so its fleet does not depend on which thread
    // draws it or in which order.
    auto work = [&]() {
        for (;;) {
            if (stop.load()) return;
            const int r = next.fetch_add(1);
            if (r >= replicates) return;
            // The design without the data's times (not copied per replicate).
            MlInput rep;
            rep.Park = in.Park;
            rep.Sred = in.Sred;
            rep.SKO = in.SKO;
            rep.warranty = in.warranty;
            rep.FitSred = in.FitSred;
            rep.FitSKO = in.FitSKO;
            rep.ages = in.ages;
            rep.times = service ? SimulateSeen(*service, fitted, MlReplicateSeed(seed, r))
                                : MlSimulateReplicate(in, fitted, MlReplicateSeed(seed, r), &shared);
            Prepared p;
            double lambda = kNaN;
            if (Prepare(rep, p, nullptr, service).empty()) {
                Evaluator ev(p);
                const PointFit pf = FitPoint(ev);
                if (pf.ok) lambda = GofLambda(ev, pf.x);
            }
            std::lock_guard<std::mutex> lock(mu);
            out.lambdas[r] = lambda;
            ++finished;
            cv.notify_one();
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i) pool.emplace_back(work);
    int reported = 0;
    {
        std::unique_lock<std::mutex> lock(mu);
        while (finished < replicates) {
            cv.wait_for(lock, std::chrono::milliseconds(50));
            const int now = finished;
            if (now != reported && done) {
                reported = now;
                lock.unlock();
                done(now);
                lock.lock();
            }
            if (cancelled) {
                lock.unlock();
                const bool c = cancelled();
                lock.lock();
                if (c) {
                    stop = true;
                    out.cancelled = true;
                    break;
                }
            }
            if (stop.load()) break;
        }
        if (!out.cancelled && reported != finished && done) {
            const int now = finished;
            lock.unlock();
            done(now);
            lock.lock();
        }
    }
    for (std::thread& t : pool) t.join();
    return out;
}

}  // namespace ml

std::string MlGofNumber(double p, char sep) {
    if (!std::isfinite(p)) return {};
    if (p < 0.001) return "p < " + FormatFixed(0.001, 0, 3, sep);
    return "p = " + FormatFixed(p, 0, p >= 0.1 ? 2 : 3, sep);
}

std::string MlGofText(double p, char sep) {
    if (!std::isfinite(p)) return {};
    return MlGofNumber(p, sep) + (p >= 0.05 ? " (согласуется)" : " (не согласуется)");
}

}  // namespace rel
