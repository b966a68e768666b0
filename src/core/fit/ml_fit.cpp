// Model 3: the whole fit — checks of the input, point fit, intervals, goodness of fit.
#include <algorithm>
#include <cmath>
#include <string>

#include "fit/fit_clock.h"
#include "fit/ml_fit.h"
#include "fit/ml_model.h"
#include "text/format.h"

namespace rel {
namespace {

// A number with about four significant digits.
std::string Sig(double x, char sep) {
    if (!std::isfinite(x)) return "—";
    if (x == 0) return "0";
    const int mag = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    return FormatFixed(x, 0, std::clamp(3 - mag, 0, 10), sep);
}

std::string Range(const MlEstimate& e, char sep) {
    std::string r = "[";
    r += Sig(e.lo, sep);
    r += "; ";
    r += Sig(e.hi, sep);
    r += "]";
    return r;
}

}  // namespace

MlResult FitML(const MlInput& in, const MlOptions& opt) {
    using namespace ml;
    const std::function<double()> now = opt.clock ? opt.clock : std::function<double()>(SteadySeconds);
    const double start = now();
    const char sep = opt.decimalSep;
    MlResult res;
    auto finish = [&]() {
        res.Seconds = now() - start;
        return res;
    };
    auto stopped = [&]() {
        res.ok = false;
        res.error = "Модель 3: расчет прерван";
        return finish();
    };
    auto isCancelled = [&]() { return opt.cancelled && opt.cancelled(); };

    Prepared p;
    const std::string err = Prepare(in, p, &res.Notes);
    if (!err.empty()) {
        res.error = err;
        return finish();
    }
    res.D = static_cast<int>(p.D);
    const int total =
        1 + (opt.intervals ? kProfiledFigures : 0) + (p.service ? 1 : 0) + std::max(0, opt.bootstrap);
    int done = 0;
    auto next = [&]() {
        ++done;
        if (opt.progress) opt.progress(done, total);
        return !isCancelled();
    };
    if (isCancelled()) return stopped();

    Evaluator ev(p);
    const PointFit pf = FitPoint(ev);
    if (!pf.ok) {
        res.error = "Модель 3: подбор не удался — правдоподобие не вычисляется ни при каких допустимых параметрах";
        return finish();
    }
    res.A = std::exp(pf.x[kSlotA]);
    res.B = std::exp(pf.x[kSlotB]);
    res.K_powtor = pf.K;
    res.Sred = p.fitSred ? std::exp(pf.x[kSlotSred]) : p.Sred;
    res.SKO = p.fitSKO ? std::exp(pf.x[kSlotSKO]) : p.SKO;
    res.LogLik = pf.ll;
    const Box box = SearchBox(p);
    const bool bCap = pf.x[kSlotB] >= box.hi[kSlotB] - 1e-3;
    if (pf.x[kSlotA] <= box.lo[kSlotA] + 1e-6 || pf.x[kSlotA] >= box.hi[kSlotA] - 1e-6)
        res.Notes.push_back("Модель 3: A на границе допустимого диапазона (" + Sig(kMlShapeMin, sep) + " … " +
                            Sig(kMlShapeMax, sep) + ")");
    if (pf.x[kSlotB] <= box.lo[kSlotB] + 1e-6)
        res.Notes.push_back("Модель 3: B на нижней границе допустимого диапазона (" + Sig(kMlScaleMin, sep) +
                            " ч)");
    if (!next()) return stopped();

    FigureSet fs = PointFigures(ev, pf);
    if (opt.intervals && !ProfileFigures(ev, pf, fs, next)) return stopped();
    res.IntA = fs.A;
    res.IntB = fs.B;
    res.IntK = fs.K;
    res.N2000 = fs.N2000;
    res.N4000 = fs.N4000;
    res.N6000 = fs.N6000;
    res.Gamma90 = fs.G90;
    res.Gamma50 = fs.G50;
    res.Separable = !(bCap || (opt.intervals && (std::isnan(fs.K.hi) || std::isnan(fs.B.hi))));
    res.ok = true;

    // On the ridge B and K are one point of many equally good ones: no figure is given.
    const std::string bText = Sig(res.Separable ? res.B : std::nan(""), sep);
    const std::string kText = Sig(res.Separable ? res.K_powtor : std::nan(""), sep);
    res.Memo.push_back("Модель 3 (максимум правдоподобия): A = " + Sig(res.A, sep) + ", B = " + bText +
                       " ч, K = " + kText + " по " + std::to_string(res.D) + " отказам");
    if (!res.Separable) res.Notes.push_back(kMlNotSeparable);
    if (!std::isfinite(fs.G90.est))
        res.Notes.push_back("Модель 3: K·F(t) не достигает 0" + std::string(1, sep) +
                            "1 — гамма-ресурс 90% не определен");
    if (!std::isfinite(fs.G50.est))
        res.Notes.push_back("Модель 3: K·F(t) не достигает 0" + std::string(1, sep) +
                            "5 — гамма-ресурс 50% не определен");
    res.Memo.push_back("Модель 3: N(2000) = " + Sig(fs.N2000.est, sep) + " " + Range(fs.N2000, sep) +
                       ", N(4000) = " + Sig(fs.N4000.est, sep) + " " + Range(fs.N4000, sep) +
                       " отказов на изделие");
    res.Notes.insert(res.Notes.end(), fs.notes.begin(), fs.notes.end());

    // A fleet in service: the claims still to come.
    if (p.service) {
        res.Notes.insert(res.Notes.end(), p.service->notes.begin(), p.service->notes.end());
        if (!ForecastClaims(ev, pf, opt.intervals, res.Forecast, next)) return stopped();
        const MlEstimate& r = res.Forecast.Remaining;
        res.Memo.push_back("Модель 3: до окончания гарантии ожидается еще отказов: " + Sig(r.est, sep) +
                           (std::isfinite(r.lo) ? " " + Range(r, sep) : std::string()));
    }

    // Goodness of fit.
    res.GofLambda = GofLambda(ev, pf.x);
    const double products = std::round(in.Park);
    if (opt.bootstrap > 0 && (products < 1 || products > kMlMaxBootstrapFleet)) {
        res.Notes.push_back("Модель 3: согласие не оценено — бутстреп моделирует парки от 1 изделия, а парк " +
                            Sig(in.Park, sep) + " вне пределов 1 … " + Sig(kMlMaxBootstrapFleet, sep));
    } else if (opt.bootstrap > 0) {
        MlParams fitted{res.A, res.B, res.K_powtor, res.Sred, res.SKO};
        const auto endBootstrap = [&] { return isCancelled() || (opt.stopBootstrap && opt.stopBootstrap()); };
        const BootOutcome bo = Bootstrap(
            in, fitted, opt.bootstrap, opt.seed, opt.threads, endBootstrap,
            [&](int n) {
                if (opt.progress) opt.progress(done + n, total);
            },
            p.service);
        if (bo.cancelled && isCancelled()) return stopped();
        int valid = 0, above = 0;
        for (double l : bo.lambdas)
            if (std::isfinite(l)) {
                ++valid;
                if (l >= res.GofLambda) ++above;
            }
        res.GofReplicates = valid;
        if (bo.cancelled)
            res.Notes.push_back("Модель 3: бутстреп остановлен командой «Стоп» после " + std::to_string(valid) +
                                " повторов из " + std::to_string(opt.bootstrap));
        if (valid > 0) {
            res.GofP = (1.0 + above) / (1.0 + valid);
            res.GofText = MlGofText(res.GofP, sep);
            res.Memo.push_back("Модель 3: согласие с данными λ = " + Sig(res.GofLambda, sep) + ", " + res.GofText +
                               " по " + std::to_string(valid) + " повторам");
        } else if (!bo.cancelled) {
            res.Notes.push_back("Модель 3: согласие не оценено — ни один смоделированный парк не дал подбора");
        }
    }
    res.Seconds = now() - start;
    return res;
}

}  // namespace rel
