// Model 3: the prepared data and the log-likelihood with its derivatives.
#include <algorithm>
#include <boost/math/quadrature/gauss.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "fit/ml_fit.h"
#include "fit/ml_model.h"
#include "text/format.h"

namespace rel {
namespace ml {
namespace {

constexpr double kLnSqrt2Pi = 0.91893853320467274178;
constexpr double kInvSqrt2Pi = 0.39894228040143267794;
constexpr double kInvSqrt2 = 0.70710678118654752440;
constexpr double kLnSaturate = 6.684611727667927;  // ln 800: exp(−z) is 0 beyond z = 800

// Gauss–Legendre rule on [−1, 1] as full lists (Boost keeps the non-negative half).
template <int M>
void Legendre(std::vector<double>& x, std::vector<double>& w) {
    using G = boost::math::quadrature::gauss<double, M>;
    const auto& ax = G::abscissa();
    const auto& wt = G::weights();
    x.clear();
    w.clear();
    for (std::size_t i = 0; i < ax.size(); ++i) {
        if (ax[i] == 0) {
            x.push_back(0);
            w.push_back(wt[i]);
        } else {
            x.push_back(ax[i]);
            w.push_back(wt[i]);
            x.push_back(-ax[i]);
            w.push_back(wt[i]);
        }
    }
}

// F(t) − F(c) for c <= t, from z_c = (c/B)^A: exp(−z_c)·(1 − exp(−(z_t − z_c))) with
// z_t − z_c = z_c·(exp(A·ln(t/c)) − 1), so that no digit is lost when B is large.
double FDiff(double A, double zc, double lnc, double t) {
    if (t <= std::exp(lnc)) return 0;
    const double q = A * (std::log(t) - lnc);
    if (std::log(zc) + q > kLnSaturate) return std::exp(-zc);
    return std::exp(-zc) * -std::expm1(-zc * std::expm1(q));
}

std::string Num(double x, char sep) { return FormatGeneral(x, sep); }

}  // namespace

double LogNormUpper(double x) {
    if (x < 30) return std::log(0.5 * std::erfc(x / std::sqrt(2.0)));
    // Asymptotic series of the Mills ratio: error below 1e-13 from x = 30 on.
    const double r = 1 / (x * x);
    const double s = 1 - r * (1 - 3 * r * (1 - 5 * r * (1 - 7 * r * (1 - 9 * r))));
    return -0.5 * x * x - std::log(x) - kLnSqrt2Pi + std::log(s);
}

bool Eval::Finite() const {
    if (!std::isfinite(v)) return false;
    for (double d : g)
        if (!std::isfinite(d)) return false;
    for (double d : H)
        if (!std::isfinite(d)) return false;
    return true;
}

std::string Prepare(const MlInput& in, Prepared& p, std::vector<std::string>* notes,
                    const std::shared_ptr<const InService>& reuse) {
    const char sep = '.';
    auto note = [&](const std::string& s) {
        if (notes) notes->push_back(s);
    };
    p = Prepared{};
    if (!std::isfinite(in.Park) || in.Park <= 0)
        return "Модель 3: размер парка должен быть положительным числом (задано " + Num(in.Park, sep) + ")";
    p.n = in.Park;

    // Warranty law.
    if (!in.warranty.empty()) {
        std::map<double, double> counts;
        for (double w : in.warranty) {
            if (!std::isfinite(w))
                return "Модель 3: в списке окончаний гарантии есть значение, не являющееся числом";
            counts[w] += 1;
        }
        const double m = static_cast<double>(in.warranty.size());
        double mean = 0, sq = 0;
        for (double w : in.warranty) mean += w / m;
        for (double w : in.warranty) sq += (w - mean) * (w - mean);
        p.Sred = mean;
        p.SKO = in.warranty.size() > 1 ? std::sqrt(sq / (m - 1)) : 0.0;
        p.list = true;
        for (const auto& [w, c] : counts) {
            p.W.push_back(w);
            p.Ww.push_back(c / m);
        }
        if (p.W.back() <= kMlRejectTime)
            return "Модель 3: все окончания гарантии в списке не позже 1 ч — отказы не могли быть записаны";
        if (m < in.Park)
            note("Модель 3: в списке окончаний гарантии " + Num(m, sep) + " значений при парке " +
                 Num(in.Park, sep) + " — используются доли списка");
        if (in.FitSred || in.FitSKO) note("Модель 3: задан список окончаний гарантии — Sred и СКО не подбираются");
    } else {
        if (!std::isfinite(in.Sred) || in.Sred <= 0)
            return "Модель 3: среднее окончание гарантии должно быть положительным числом (задано " +
                   Num(in.Sred, sep) + ")";
        if (!std::isfinite(in.SKO) || in.SKO < 0)
            return "Модель 3: СКО окончания гарантии должно быть неотрицательным числом (задано " +
                   Num(in.SKO, sep) + ")";
        p.Sred = in.Sred;
        p.SKO = in.SKO;
        p.fitSred = in.FitSred;
        p.fitSKO = in.FitSKO;
        if (in.SKO == 0 && in.FitSKO) {
            p.SKO = 0.1 * in.Sred;
            note("Модель 3: СКО = 0, подбор СКО начат с " + Num(p.SKO, sep) + " ч");
        } else if (in.SKO == 0) {
            // Every product leaves warranty at Sred: the law is the one-entry list.
            p.list = true;
            p.W = {in.Sred};
            p.Ww = {1.0};
            if (in.FitSred)
                note("Модель 3: при СКО = 0 гарантия кончается у всех изделий при Sred — Sred не подбирается");
            p.fitSred = false;
            if (in.Sred <= kMlRejectTime)
                return "Модель 3: при СКО = 0 гарантия кончается при " + Num(in.Sred, sep) +
                       " ч — отказы от 1 ч не могли быть записаны";
        }
    }

    if (p.list)
        for (std::size_t k = 0; k < p.W.size(); ++k)
            if (p.W[k] > 0) {
                p.nodeLnW.push_back(std::log(p.W[k]));
                p.nodeW.push_back(p.Ww[k]);
            }

    // Failures at or above 1 h, as distinct times with counts.
    std::vector<double> t;
    int rejects = 0;
    for (double v : in.times) {
        if (!std::isfinite(v)) return "Модель 3: наработка одного из отказов не является числом";
        if (v < kMlRejectTime)
            ++rejects;
        else
            t.push_back(v);
    }
    if (!std::is_sorted(t.begin(), t.end())) std::sort(t.begin(), t.end());
    for (double v : t) {
        if (!p.t.empty() && p.t.back() == v)
            p.cnt.back() += 1;
        else {
            p.t.push_back(v);
            p.cnt.push_back(1);
        }
    }
    p.D = static_cast<double>(t.size());
    if (rejects > 0) note("Модель 3: отказы ниже 1 ч (брак) не учитываются: " + std::to_string(rejects));
    if (!t.empty()) {
        p.tmax = t.back();
        p.lnTref = std::log(p.tmax);
        for (std::size_t i = 0; i < p.t.size(); ++i) {
            p.lu.push_back(std::log(p.t[i]) - p.lnTref);
            p.SL += p.cnt[i] * std::log(p.t[i]);
        }
    }
    // Products still under warranty at each failure, as a share of the fleet.
    if (in.ages) {
        // A fleet in service: the share observed at each failure from the products' windows.
        if (static_cast<double>(in.ages->Age.size()) != in.Park)
            return "Модель 3: в файле наработок " + std::to_string(in.ages->Age.size()) + " изделий, а парк — " +
                   Num(in.Park, sep);
        if (in.FitSred || in.FitSKO)
            note("Модель 3: парк в эксплуатации — Sred и СКО окончания гарантии не подбираются, берутся заданные");
        p.fitSred = p.fitSKO = false;
        p.service = reuse ? reuse : MakeInService(in, LawOf(p), true);
        for (std::size_t i = 0; i < p.t.size(); ++i) {
            const double share = p.service->Observed(p.t[i]);
            if (!(share > 1e-15)) {
                p.beyondLaw = true;
                return "Модель 3: отказ при наработке " + Num(p.t[i], sep) +
                       " ч, а по файлу наработок и закону окончания гарантии ни одно изделие не наблюдалось при "
                       "такой "
                       "наработке";
            }
            p.lnRconst += p.cnt[i] * std::log(share);
        }
        std::vector<double> marks(p.t.size());
        for (std::size_t i = 0; i < p.t.size(); ++i) marks[i] = std::log(p.t[i]);
        MakeRule(p.service->layout, p.service->seenEvents, p.service->law, &marks, &p.marks);
    } else if (p.list) {
        std::size_t k = 0;
        double below = 0;  // share of the ends before the current time
        for (std::size_t i = 0; i < p.t.size(); ++i) {
            while (k < p.W.size() && p.W[k] < p.t[i]) below += p.Ww[k++];
            const double share = 1 - below;
            if (k == p.W.size() || share <= 0) {
                p.beyondLaw = true;
                if (in.warranty.empty())
                    return "Модель 3: при СКО = 0 гарантия кончается у всех изделий при " + Num(p.W.back(), sep) +
                           " ч, а отказ записан при " + Num(p.t[i], sep) + " ч";
                return "Модель 3: отказ при наработке " + Num(p.t[i], sep) +
                       " ч записан позже последнего окончания гарантии в списке (" + Num(p.W.back(), sep) + " ч)";
            }
            p.lnRconst += p.cnt[i] * std::log(share);
        }
    } else if (!p.fitSred && !p.fitSKO) {
        for (std::size_t i = 0; i < p.t.size(); ++i) {
            const double z = (p.t[i] - p.Sred) / p.SKO;
            // Beyond Sred + 8·SKO fewer than 1e-15 of the products are still under warranty.
            if (z > 8) {
                p.beyondLaw = true;
                return "Модель 3: отказ при наработке " + Num(p.t[i], sep) +
                       " ч позже окончания гарантии почти у всех изделий (Sred + 8·СКО = " +
                       Num(p.Sred + 8 * p.SKO, sep) + " ч) — закон окончания гарантии не согласуется с данными";
            }
            p.lnRconst += p.cnt[i] * LogNormUpper(z);
        }
    }

    if (p.D == 0) return "Модель 3: нет отказов с наработкой от 1 ч — подбирать нечего";
    if (p.D == 1)
        return "Модель 3: только один отказ с наработкой от 1 ч — нужно не менее двух отказов с разной наработкой";
    // Times within a millionth of each other are one moment for a fleet's record.
    if (p.t.back() - p.t.front() <= 1e-6 * p.t.back())
        return "Модель 3: все отказы при одной наработке (" + Num(p.t[0], sep) +
               " ч) — форма распределения по ним не определяется";
    return {};
}

// ---- Evaluator ----

void Evaluator::Sums(double A, int level) {
    if (A == cacheA_ && level <= cacheLevel_) return;
    double s0 = 0, s1 = 0, s2 = 0;
    const std::size_t m = p_.lu.size();
    if (level == 0) {
        for (std::size_t i = 0; i < m; ++i) s0 += p_.cnt[i] * std::exp(A * p_.lu[i]);
    } else {
        for (std::size_t i = 0; i < m; ++i) {
            const double l = p_.lu[i];
            const double e = p_.cnt[i] * std::exp(A * l);
            s0 += e;
            s1 += e * l;
            s2 += e * l * l;
        }
    }
    P0_ = s0;
    P1_ = s1;
    P2_ = s2;
    cacheA_ = A;
    cacheLevel_ = level;
}

template <int N>
Jet<N> Evaluator::SumLnF(const Vec& x) {
    // Σ ln f = D·ln A − D·A·ln B + (A − 1)·Σ ln t − Σ (t/B)^A, the last sum from the
    // sums of u^A, u^A·ln u, u^A·ln²u over u = t/t_max, which depend on A alone.
    const double a = x[kSlotA], b = x[kSlotB], A = std::exp(a);
    Sums(A, N > 0 ? 2 : 0);
    const double cr = p_.lnTref - b;
    const double lE = A * cr;
    Jet<N> r;
    if (lE > 700) {
        r.v = -kInf;
        return r;
    }
    const double E = std::exp(lE);
    const double D = p_.D;
    const double S0 = E * P0_;
    r.v = D * a - D * A * b + (A - 1) * p_.SL - S0;
    if constexpr (N >= 2) {
        const double S1 = E * (P1_ + cr * P0_);
        const double S2 = E * (P2_ + 2 * cr * P1_ + cr * cr * P0_);
        r.g[0] = D - D * A * b + A * p_.SL - A * S1;
        r.g[1] = -D * A + A * S0;
        r.h[0] = -D * A * b + A * p_.SL - A * S1 - A * A * S2;
        r.h[1] = r.h[N] = -D * A + A * S0 + A * A * S1;
        r.h[N + 1] = -A * A * S0;
    }
    return r;
}

template <int N>
Jet<N> Evaluator::SumLnS(const Vec& x) {
    if (!p_.fitSred && !p_.fitSKO) return Jet<N>(p_.lnRconst);
    const double Sred = std::exp(x[kSlotSred]), SKO = std::exp(x[kSlotSKO]);
    Jet<N> r;
    for (std::size_t i = 0; i < p_.t.size(); ++i) {
        const double c = p_.cnt[i];
        const double z = (p_.t[i] - Sred) / SKO;
        const double psi = LogNormUpper(z);
        r.v += c * psi;
        if constexpr (N >= 4) {
            // d/dz ln(1 − Φ(z)) = −M, d² = −M·(M − z), M the inverse Mills ratio.
            const double M = std::exp(-0.5 * z * z - kLnSqrt2Pi - psi);
            const double p1 = -M, p2 = -M * (M - z);
            const double zs = -Sred / SKO, zk = -z;
            const double zss = -Sred / SKO, zsk = Sred / SKO, zkk = z;
            r.g[kSlotSred] += c * p1 * zs;
            r.g[kSlotSKO] += c * p1 * zk;
            r.h[kSlotSred * N + kSlotSred] += c * (p2 * zs * zs + p1 * zss);
            const double cross = c * (p2 * zs * zk + p1 * zsk);
            r.h[kSlotSred * N + kSlotSKO] += cross;
            r.h[kSlotSKO * N + kSlotSred] += cross;
            r.h[kSlotSKO * N + kSlotSKO] += c * (p2 * zk * zk + p1 * zkk);
        }
    }
    return r;
}

template <int N>
Jet<N> Evaluator::FixedNodes(const Vec& x, double c) {
    // Σ_k w_k·(exp(−z_c) − exp(−z_k)) over the nodes W_k > c, z = (W/B)^A, in closed
    // form. With y = A·ln(W/B), z = e^y: ∂z/∂ln A = y·z, ∂z/∂ln B = −A·z, and
    // ∂²e^{−z} = e^{−z}·(∂z·∂'z − ∂²z). Each term is exp(−z_c)·(1 − exp(−d)),
    // d = z_k − z_c = z_c·(exp(A·ln(W_k/c)) − 1), so that no digit is lost for large B.
    const double A = std::exp(x[kSlotA]), b = x[kSlotB], lc = std::log(c);
    const double y0 = A * (lc - b);
    const double z0 = std::exp(y0);
    Jet<N> r;
    if (z0 > 745) return r;
    const double E0 = std::exp(-z0);
    double sv = 0, sw = 0, ga = 0, gb = 0, haa = 0, hab = 0, hbb = 0;
    const std::size_t m = p_.nodeLnW.size();
    for (std::size_t k = 0; k < m; ++k) {
        const double lw = p_.nodeLnW[k];
        if (lw <= lc) continue;
        const double w = p_.nodeW[k];
        const double q = A * (lw - lc);
        sw += w;
        if (y0 + q > kLnSaturate) {  // exp(−z_k) is 0
            sv += w * E0;
            continue;
        }
        const double d = z0 * std::expm1(q);
        const double em = std::expm1(-d);
        sv -= w * E0 * em;
        if constexpr (N >= 2) {
            const double e = E0 * (1 + em);  // exp(−z_k)
            const double y = y0 + q, z = z0 + d;
            const double ez = w * e * z;
            ga += ez * y;
            gb -= ez * A;
            const double t = 1 + y - y * z;
            haa += ez * y * t;
            hab -= ez * A * t;
            hbb += ez * A * A * (1 - z);
        }
    }
    r.v = sv;
    if constexpr (N >= 2) {
        // Minus the exp(−z_c) part, once for each active weight.
        const double ez = sw * E0 * z0;
        const double t = 1 + y0 - y0 * z0;
        r.g[0] = ga - ez * y0;
        r.g[1] = gb + ez * A;
        r.h[0] = haa - ez * y0 * t;
        r.h[1] = r.h[N] = hab + ez * A * t;
        r.h[N + 1] = hbb - ez * A * A * (1 - z0);
    }
    return r;
}

template <int N>
Jet<N> Evaluator::Lambda(const Vec& x) {
    return LambdaFrom<N>(x, kMlRejectTime);
}

template <int N>
Jet<N> Evaluator::LambdaFrom(const Vec& x, double c) {
    if (p_.service) {
        // The windows start at 1 h; a later start is not a figure of a fleet in service.
        if (c != kMlRejectTime) return Jet<N>(kNaN);
        return RuleSum<N>(x, p_.service->seenRule);
    }
    if (!p_.list) return NormalLaw<N>(x, c);
    if (N <= 2) return FixedNodes<N>(x, c);
    const Jet<N> A = Exp(Jet<N>::Var(x[kSlotA], kSlotA));
    const Jet<N> b = Jet<N>::Var(x[kSlotB], kSlotB);
    const double lc = std::log(c);
    const Jet<N> zc = Exp(A * (Jet<N>(lc) - b));
    Jet<N> sum;
    if (zc.v > 745) return sum;
    const Jet<N> Ec = Exp(-zc);
    const double lnzc = A.v * (lc - b.v);
    for (std::size_t k = 0; k < p_.W.size(); ++k) {
        if (!(p_.W[k] > c)) continue;
        // F(W) − F(c), W > c.
        const Jet<N> q = A * (Jet<N>(std::log(p_.W[k]) - lc));
        const Jet<N> d = lnzc + q.v > kLnSaturate ? Ec : Ec * -Expm1(-(zc * Expm1(q)));
        sum = sum + d * p_.Ww[k];
    }
    return sum;
}

namespace {

// The warranty law's share still under warranty at t, Q((t − Sred)/SKO), with its
// derivatives in ln Sred and ln SKO when those are fitted.
template <int N>
Jet<N> UnderWarranty(double t, double Sred, double SKO, bool dSred, bool dSKO) {
    const double xi = (t - Sred) / SKO;
    Jet<N> r(0.5 * std::erfc(xi * kInvSqrt2));
    if constexpr (N >= 4) {
        // dξ/d ln Sred = −Sred/SKO, dξ/d ln SKO = −ξ; Q' = −φ, Q'' = ξ·φ.
        const double phi = std::exp(-0.5 * xi * xi) * kInvSqrt2Pi;
        const double gs = dSred ? -Sred / SKO : 0, gk = dSKO ? -xi : 0;
        const double hss = gs, hsk = dSred && dSKO ? Sred / SKO : 0, hkk = dSKO ? xi : 0;
        r.g[kSlotSred] = -phi * gs;
        r.g[kSlotSKO] = -phi * gk;
        r.h[kSlotSred * N + kSlotSred] = xi * phi * gs * gs - phi * hss;
        r.h[kSlotSred * N + kSlotSKO] = r.h[kSlotSKO * N + kSlotSred] = xi * phi * gs * gk - phi * hsk;
        r.h[kSlotSKO * N + kSlotSKO] = xi * phi * gk * gk - phi * hkk;
    }
    return r;
}

// The Weibull density in u = ln t, A·z·e^(−z) with z = e^y, y = A·(u − ln B), with its
// derivatives in ln A (∂y = y) and ln B (∂y = −A).
template <int N>
Jet<N> DensityInLnT(double A, double b, double u) {
    const double y = A * (u - b);
    Jet<N> r;
    if (y > kLnSaturate) return r;  // e^(−z) is 0
    const double z = std::exp(y);
    const double v = A * z * std::exp(-z);
    r.v = v;
    if constexpr (N >= 2) {
        const double ga = 1 + y - y * z, gb = A * (z - 1);
        r.g[kSlotA] = v * ga;
        r.g[kSlotB] = v * gb;
        r.h[0] = v * (ga * ga + y - y * z - y * y * z);
        r.h[1] = r.h[N] = v * (ga * gb - A + A * z + A * y * z);
        r.h[N + 1] = v * (gb * gb - A * A * z);
    }
    return r;
}

using Kronrod15 = boost::math::quadrature::gauss_kronrod<double, 15>;
using Gauss7 = boost::math::quadrature::gauss<double, 7>;

// ∫_a^b g by the 15-point Kronrod rule, summed node by node in the order that
// KronrodSum below repeats with derivatives; g returns a Jet.
template <int N, class G>
Jet<N> KronrodSum(const G& g, double a, double b) {
    const auto& ax = Kronrod15::abscissa();
    const auto& wk = Kronrod15::weights();
    const double m = 0.5 * (a + b), h = 0.5 * (b - a);
    Jet<N> k = g(m) * wk[0];
    for (std::size_t j = 1; j < ax.size(); ++j) k = k + (g(m + h * ax[j]) + g(m - h * ax[j])) * wk[j];
    return k * h;
}

template <class G>
QuadPiece KronrodQuadPiece(const G& g, double a, double b) {
    const auto& ax = Kronrod15::abscissa();
    const auto& wk = Kronrod15::weights();
    const auto& wg = Gauss7::weights();  // at the Kronrod nodes 0, 2, 4, 6
    const double m = 0.5 * (a + b), h = 0.5 * (b - a);
    const double f0 = g(m).v;
    double k = f0 * wk[0], s = f0 * wg[0];
    for (std::size_t j = 1; j < ax.size(); ++j) {
        const double f = g(m + h * ax[j]).v + g(m - h * ax[j]).v;
        k = k + f * wk[j];
        if (j % 2 == 0) s += f * wg[j / 2];
    }
    return {a, b, k * h, std::fabs((k - s) * h)};
}

// QuadPieces of [cuts.front(), cuts.back()], first split at every cut, then the piece with the
// largest error estimate halved until the estimates add up to at most relTol of the
// integral. The pieces depend only on the integrand's values, so that the value and its
// derivatives are taken over the same pieces.
template <class G>
void AdaptiveQuadPieces(const G& g, const std::vector<double>& cuts, double relTol,
                        std::vector<QuadPiece>& pieces) {
    pieces.clear();
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) pieces.push_back(KronrodQuadPiece(g, cuts[i], cuts[i + 1]));
    for (int split = 0; split < 400; ++split) {
        double sum = 0, err = 0;
        std::size_t worst = 0;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            sum += pieces[i].value;
            err += pieces[i].err;
            if (pieces[i].err > pieces[worst].err) worst = i;
        }
        if (!(err > relTol * std::fabs(sum)) || !std::isfinite(err)) return;
        const QuadPiece w = pieces[worst];
        const double mid = 0.5 * (w.a + w.b);
        if (!(mid > w.a && mid < w.b)) return;
        pieces[worst] = KronrodQuadPiece(g, w.a, mid);
        pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(worst) + 1, KronrodQuadPiece(g, mid, w.b));
    }
}

}  // namespace

template <int N>
Jet<N> Evaluator::RuleSum(const Vec& x, const Rule& r) {
    const double A = std::exp(x[kSlotA]), b = x[kSlotB];
    const std::vector<double>& u = p_.service->layout.u;
    const std::size_t first = r.b0 * kRuleNodes;
    // DensityInLnT's value and derivatives, summed as plain numbers (the hot loop of a
    // fleet in service).
    double sv = 0, sa = 0, sb = 0, saa = 0, sab = 0, sbb = 0;
    for (std::size_t k = 0; k < r.w.size(); ++k) {
        const double w = r.w[k];
        if (w == 0) continue;
        const double y = A * (u[first + k] - b);
        if (y > kLnSaturate) continue;
        const double z = std::exp(y);
        const double v = w * A * z * std::exp(-z);
        sv += v;
        if constexpr (N >= 2) {
            const double ga = 1 + y - y * z, gb = A * (z - 1);
            sa += v * ga;
            sb += v * gb;
            saa += v * (ga * ga + y - y * z - y * y * z);
            sab += v * (ga * gb - A + A * z + A * y * z);
            sbb += v * (gb * gb - A * A * z);
        }
    }
    Jet<N> sum(sv);
    if constexpr (N >= 2) {
        sum.g[kSlotA] = sa;
        sum.g[kSlotB] = sb;
        sum.h[0] = saa;
        sum.h[1] = sum.h[N] = sab;
        sum.h[N + 1] = sbb;
    }
    return sum;
}

template <int N>
Jet<N> Evaluator::LnRule(const Vec& x, const Rule& r) {
    return Log(RuleSum<N>(x, r));
}

double Evaluator::RuleValue(const Vec& x, const Rule& r) { return RuleSum<0>(x, r).v; }

template <int N>
Jet<N> Evaluator::NormalLaw(const Vec& x, double c) {
    // Λ from c = ∫_c^∞ f(t)·S_W(t) dt = ∫ A·z·e^(−z)·Q((e^u − Sred)/SKO) du over u = ln t from
    // ln c. The integrand is smooth from c on (the kink of F(max(W, c)) at W = c is the lower
    // end here) and has two features: the Weibull density's rise and peak about u = ln B
    // (width 1/A) and the warranty exits about Sred (width SKO); the pieces start split at
    // both. Beyond Sred + 13·SKO fewer than 1e-38 of the products are under warranty.
    const double A = std::exp(x[kSlotA]), b = x[kSlotB];
    const double Sred = p_.fitSred ? std::exp(x[kSlotSred]) : p_.Sred;
    const double SKO = p_.fitSKO ? std::exp(x[kSlotSKO]) : p_.SKO;
    const double lo = std::log(c), hi = std::log(Sred + 13 * SKO);
    Jet<N> sum;
    if (!(hi > lo)) return sum;
    auto g = [&](double u) {
        return DensityInLnT<N>(A, b, u) * UnderWarranty<N>(std::exp(u), Sred, SKO, p_.fitSred, p_.fitSKO);
    };
    auto g0 = [&](double u) {
        return DensityInLnT<0>(A, b, u) * UnderWarranty<0>(std::exp(u), Sred, SKO, false, false);
    };
    std::vector<double>& cuts = cuts_;
    cuts.assign({lo, hi});
    for (double y : {-20.0, -8.0, -3.0, 0.0, 2.0}) cuts.push_back(b + y / A);
    for (double s : {-5.0, -2.5, 0.0, 2.5, 5.0})
        if (Sred + s * SKO > 0) cuts.push_back(std::log(Sred + s * SKO));
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::remove_if(cuts.begin(), cuts.end(), [&](double u) { return !(u >= lo && u <= hi); }),
               cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    AdaptiveQuadPieces(g0, cuts, relTol_, pieces_);
    for (const QuadPiece& pc : pieces_) {
        if constexpr (N == 0)
            sum.v += pc.value;
        else
            sum = sum + KronrodSum<N>(g, pc.a, pc.b);
    }
    return sum;
}

template <int N>
Jet<N> Evaluator::LnF(const Vec& x, double tau) {
    const Jet<N> A = Exp(Jet<N>::Var(x[kSlotA], kSlotA));
    const Jet<N> z = Exp(A * (Jet<N>(std::log(tau)) - Jet<N>::Var(x[kSlotB], kSlotB)));
    const double em = std::expm1(z.v), F = -std::expm1(-z.v);
    return Chain(z, std::log(F), 1 / em, -1 / (em * F));
}

template <int N>
Jet<N> Evaluator::Objective(const Vec& x, const Target& tg) {
    const Jet<N> SF = SumLnF<N>(x);
    if (!std::isfinite(SF.v)) return Jet<N>(-kInf);
    const double D = p_.D;
    const Jet<N> L = Lambda<N>(x);
    if (!(L.v > 0)) return Jet<N>(-kInf);
    const Jet<N> LS = SumLnS<N>(x);
    if (tg.kind == Target::kProfile)
        // K at its maximum D/(n·Λ) for the given A, B.
        return SF + LS - Log(L) * D + (D * std::log(D) - D);
    Jet<N> lnQ;
    switch (tg.kind) {
        case Target::kNAt:
        case Target::kGammaAt:
            lnQ = LnF<N>(x, tg.tau);
            break;
        case Target::kRule:
            lnQ = LnRule<N>(x, *tg.rule);
            if (!std::isfinite(lnQ.v)) return Jet<N>(-kInf);
            break;
        default:
            break;  // K itself: Q = 1
    }
    // K = c/Q.
    return SF + LS - lnQ * D - L * Exp(-lnQ) * (p_.n * tg.c) + D * (std::log(tg.c) + std::log(p_.n));
}

template <int N>
Jet<N> Evaluator::Full(const Vec& x, double k) {
    const Jet<N> SF = SumLnF<N>(x);
    const Jet<N> L = Lambda<N>(x);
    const Jet<N> LS = SumLnS<N>(x);
    return SF + LS - L * (p_.n * std::exp(k)) + p_.D * (k + std::log(p_.n));
}

namespace {
template <int N>
Eval ToEval(const Jet<N>& j) {
    Eval e;
    e.v = j.v;
    for (int i = 0; i < N; ++i) {
        e.g[i] = j.g[i];
        for (int k = 0; k < N; ++k) e.H[i * kSlots + k] = j.h[i * N + k];
    }
    return e;
}
}  // namespace

Eval Evaluator::Evaluate(const Vec& x, const Target& tg, bool derivatives) {
    if (!derivatives) return ToEval(Objective<0>(x, tg));
    if (p_.Dim() == 4) return ToEval(Objective<4>(x, tg));
    return ToEval(Objective<2>(x, tg));
}

std::vector<double> Evaluator::ModelShares(const Vec& x) {
    const double A = std::exp(x[kSlotA]), lnB = x[kSlotB];
    if (p_.service) {
        // Whole bins of the windows' rule up to each failure's bin, then the partial
        // weights within it.
        const InService& s = *p_.service;
        const Rule& r = s.seenRule;
        const std::size_t nb = s.layout.Bins();
        std::vector<double> g(s.layout.u.size());
        for (std::size_t k = 0; k < g.size(); ++k) g[k] = DensityInLnT<0>(A, lnB, s.layout.u[k]).v;
        std::vector<double> before(nb + 1, 0.0);  // Σ over the bins before b
        for (std::size_t b = 0; b < nb; ++b) {
            double v = 0;
            if (b >= r.b0 && b < r.b1)
                for (int j = 0; j < kRuleNodes; ++j) v += r.w[(b - r.b0) * kRuleNodes + j] * g[b * kRuleNodes + j];
            before[b + 1] = before[b] + v;
        }
        const double total = before[nb];
        std::vector<double> out(p_.t.size(), 0.0);
        for (std::size_t i = 0; i < p_.t.size() && i < p_.marks.bin.size(); ++i) {
            const std::size_t b = p_.marks.bin[i];
            if (b >= nb) continue;
            double v = before[b];
            for (int j = 0; j < kRuleNodes; ++j) v += p_.marks.w[i * kRuleNodes + j] * g[b * kRuleNodes + j];
            out[i] = v / total;
        }
        return out;
    }
    const double z0 = std::exp(A * (std::log(kMlRejectTime) - lnB));
    const double lc = std::log(kMlRejectTime);
    std::vector<double> out(p_.t.size(), 0.0);
    if (p_.list) {
        // Λ(t) = Σ_k w_k·(F(min(W_k, t)) − F(t0)) over the ends above t0, by a merge.
        double below = 0, above = 0;
        for (std::size_t k = 0; k < p_.W.size(); ++k)
            if (p_.W[k] > kMlRejectTime) above += p_.Ww[k];
        const double total = LambdaFrom<0>(x, kMlRejectTime).v;
        std::size_t k = 0;
        while (k < p_.W.size() && p_.W[k] <= kMlRejectTime) ++k;
        for (std::size_t i = 0; i < p_.t.size(); ++i) {
            while (k < p_.W.size() && p_.W[k] <= p_.t[i]) {
                below += p_.Ww[k] * FDiff(A, z0, lc, p_.W[k]);
                above -= p_.Ww[k];
                ++k;
            }
            out[i] = (below + std::max(above, 0.0) * FDiff(A, z0, lc, p_.t[i])) / total;
        }
        return out;
    }
    // Normal law: ∫_{t0}^t f(s)·S_W(s) ds accumulated from failure to failure in
    // u = ln s, where f(s)·s = A·z·exp(−z) is smooth; pieces short against 1/A and
    // against the warranty deviation.
    const double Sred = std::exp(x[kSlotSred]), SKO = std::exp(x[kSlotSKO]);
    std::vector<double> gx, gw, hx, hw;
    Legendre<7>(gx, gw);
    Legendre<3>(hx, hw);  // for the short steps between dense failures
    auto integrand = [&](double u) {
        const double z = std::exp(A * (u - lnB));
        const double s = std::exp(u);
        return A * z * std::exp(-z) * 0.5 * std::erfc((s - Sred) / (SKO * std::sqrt(2.0)));
    };
    // QuadPieces short against the deviation only within Sred ± 10·SKO, where S_W changes.
    const double bandLo = std::log(std::max(Sred - 10 * SKO, kMlRejectTime)), bandHi = std::log(Sred + 10 * SKO);
    auto integrate = [&](double a, double b) {
        double s = 0;
        const bool inBand = a < bandHi && b > bandLo;
        const double maxdu = std::min({0.25, 0.5 / A, inBand ? 0.5 * SKO / std::exp(b) : 1.0});
        if (b - a <= 0.1 * maxdu) {
            for (std::size_t k = 0; k < hx.size(); ++k)
                s += 0.5 * (b - a) * hw[k] * integrand(a + 0.5 * (1 + hx[k]) * (b - a));
            return s;
        }
        const int pieces = std::max(1, static_cast<int>(std::ceil((b - a) / maxdu)));
        const double h = (b - a) / pieces;
        for (int j = 0; j < pieces; ++j)
            for (std::size_t k = 0; k < gx.size(); ++k)
                s += 0.5 * h * gw[k] * integrand(a + (j + 0.5 * (1 + gx[k])) * h);
        return s;
    };
    double acc = 0, u0 = lc;
    for (std::size_t i = 0; i < p_.t.size(); ++i) {
        const double u1 = std::log(p_.t[i]);
        // Split at the band's edges so that only the part inside it gets the short pieces.
        double a = u0;
        for (double edge : {bandLo, bandHi, u1})
            if (edge > a && edge <= u1) {
                acc += integrate(a, edge);
                a = edge;
            }
        u0 = std::max(u0, u1);
        out[i] = acc;
    }
    const double total = acc + LambdaFrom<0>(x, p_.tmax).v;
    for (double& v : out) v /= total;
    return out;
}

double GofLambda(Evaluator& ev, const Vec& x) {
    const Prepared& p = ev.Data();
    const std::vector<double> m = ev.ModelShares(x);
    double sup = 0, cum = 0;
    for (std::size_t i = 0; i < p.t.size(); ++i) {
        const double before = cum / p.D;
        cum += p.cnt[i];
        const double after = cum / p.D;
        sup = std::max({sup, std::fabs(after - m[i]), std::fabs(before - m[i])});
    }
    return std::sqrt(p.D) * sup;
}

template Jet<0> Evaluator::Lambda<0>(const Vec&);
template Jet<2> Evaluator::Lambda<2>(const Vec&);
template Jet<4> Evaluator::Lambda<4>(const Vec&);
template Jet<0> Evaluator::NormalLaw<0>(const Vec&, double);
template Jet<2> Evaluator::NormalLaw<2>(const Vec&, double);
template Jet<4> Evaluator::NormalLaw<4>(const Vec&, double);
template Jet<0> Evaluator::LambdaFrom<0>(const Vec&, double);
template Jet<2> Evaluator::LambdaFrom<2>(const Vec&, double);
template Jet<4> Evaluator::LambdaFrom<4>(const Vec&, double);
template Jet<0> Evaluator::LnF<0>(const Vec&, double);
template Jet<2> Evaluator::LnF<2>(const Vec&, double);
template Jet<4> Evaluator::LnF<4>(const Vec&, double);
template Jet<0> Evaluator::SumLnF<0>(const Vec&);
template Jet<2> Evaluator::SumLnF<2>(const Vec&);
template Jet<4> Evaluator::SumLnF<4>(const Vec&);
template Jet<0> Evaluator::LnRule<0>(const Vec&, const Rule&);
template Jet<2> Evaluator::LnRule<2>(const Vec&, const Rule&);
template Jet<4> Evaluator::LnRule<4>(const Vec&, const Rule&);
template Jet<0> Evaluator::Full<0>(const Vec&, double);
template Jet<2> Evaluator::Full<2>(const Vec&, double);
template Jet<4> Evaluator::Full<4>(const Vec&, double);

}  // namespace ml

// ---- Public pieces ----

MlInput MlInputFromState(const AnalysisState& st) {
    MlInput in;
    in.times.reserve(st.ArrProblems.size());
    in.times = st.ArrProblems.Times();
    in.Park = st.Park;
    in.Sred = st.SredGar;
    in.SKO = st.SKOGar;
    in.warranty = st.ArrGar;
    in.FitSred = st.FitSred;
    in.FitSKO = st.FitSKO;
    in.ages = st.Ages;
    in.usage = st.UsageMonth;
    in.horizon = st.Horizon;
    in.causes.reserve(st.ArrProblems.size());
    for (const auto& f : st.ArrProblems) in.causes.push_back(f.chey);
    for (const Vid_otkaza& v : st.ArrVid) in.causeNames.push_back(v.Nazv_Prich);
    return in;
}

namespace {
// The prepared input for a given point: its warranty figures, tracked when the law is normal.
// `track`: the warranty figures are parameters (derivatives in them are wanted).
bool PrepareAt(const MlInput& in, const MlParams& p, bool track, ml::Prepared& pr) {
    MlInput q = in;
    q.Sred = p.Sred;
    q.SKO = p.SKO;
    q.FitSred = q.FitSKO = track && in.warranty.empty() && p.SKO > 0;
    const std::string err = ml::Prepare(q, pr, nullptr);
    return err.empty() || pr.n > 0;
}
ml::Vec PointVec(const MlParams& p) {
    return {std::log(p.A), std::log(p.B), std::log(p.Sred > 0 ? p.Sred : 1.0), std::log(p.SKO > 0 ? p.SKO : 1.0)};
}
}  // namespace

double MlLambda(const MlInput& in, const MlParams& p, double from) {
    ml::Prepared pr;
    if (!PrepareAt(in, p, false, pr)) return ml::kNaN;
    ml::Evaluator ev(pr);
    if (from == kMlRejectTime) return ev.Lambda<0>(PointVec(p)).v;
    return ev.LambdaFrom<0>(PointVec(p), from).v;
}

MlLogLikValue MlLogLik(const MlInput& in, const MlParams& p) {
    MlLogLikValue r;
    ml::Prepared pr;
    if (!PrepareAt(in, p, in.FitSred || in.FitSKO, pr)) {
        r.value = ml::kNaN;
        return r;
    }
    if (pr.beyondLaw) {  // a failure where no product is under warranty
        r.value = -ml::kInf;
        return r;
    }
    ml::Evaluator ev(pr);
    const ml::Vec x = PointVec(p);
    const double k = std::log(p.K);
    if (pr.Dim() == 4) {
        const ml::Jet<4> j = ev.Full<4>(x, k);
        r.value = j.v;
        r.dSred = j.g[ml::kSlotSred] / p.Sred;
        r.dSKO = j.g[ml::kSlotSKO] / p.SKO;
        r.dA = j.g[ml::kSlotA] / p.A;
        r.dB = j.g[ml::kSlotB] / p.B;
    } else {
        const ml::Jet<2> j = ev.Full<2>(x, k);
        r.value = j.v;
        r.dA = j.g[ml::kSlotA] / p.A;
        r.dB = j.g[ml::kSlotB] / p.B;
    }
    r.dK = pr.D / p.K - pr.n * ev.Lambda<0>(x).v;
    return r;
}

double MlModelShare(const MlInput& in, const MlParams& p, double t) {
    if (t < kMlRejectTime) return 0;
    MlInput q = in;
    q.times = {t};
    ml::Prepared pr;
    if (!PrepareAt(q, p, false, pr) || pr.t.empty()) return ml::kNaN;
    ml::Evaluator ev(pr);
    return ev.ModelShares(PointVec(p))[0];
}

}  // namespace rel
