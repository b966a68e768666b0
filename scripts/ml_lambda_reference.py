#!/usr/bin/env python3
"""Reference values of model 3's expected-count integral, computed independently of
the program: Λ = E_W[F(max(W, 1 h)) − F(1 h)] over the normal warranty law W ~ N(Sred, SKO)
(the one value Sred when SKO = 0), F the Weibull law of shape A and scale B, integrated
over W with mpmath's adaptive quadrature at 30 digits, split at 1 h, at the law's SDs and
about the Weibull scale.

    scripts/ml_lambda_reference.py            # the table of tests/core/fit/ml_test.cpp
    scripts/ml_lambda_reference.py --wide     # a wider grid, "A B Sred SKO Lambda" per line
"""
import itertools
import sys

import mpmath as mp

mp.mp.dps = 30


def lam(A, B, S, K, c=1):
    A, B, S, K, c = (mp.mpf(v) for v in (A, B, S, K, c))
    F = lambda w: -mp.expm1(-((w / B) ** A))
    Fc = F(c)
    if K == 0:
        return F(S) - Fc if S > c else mp.mpf(0)
    top = S + 14 * K
    pts = {c, top}
    pts |= {S + k * K for k in range(-12, 13)}
    pts |= {B * mp.mpf(q) for q in ("0.3", "0.5", "0.7", "0.8", "0.9", "1", "1.1", "1.2", "1.5", "2")}
    pts = sorted(p for p in pts if c <= p <= top)
    return mp.quad(lambda w: (F(w) - Fc) * mp.npdf(w, S, K), pts)


def main():
    if "--wide" in sys.argv:
        grid = itertools.product((0.3, 0.7, 1.5, 3, 6, 12, 20), (10, 100, 1000, 1e4, 1e5, 1e6),
                                 (100, 500, 2500, 10000), (0, 0.1, 0.25, 0.4, 0.6))
        for A, B, S, r in grid:
            print(A, B, S, r * S, mp.nstr(lam(A, B, S, r * S), 17))
        return
    grid = list(itertools.product((0.3, 1.5, 4, 20), (10, 300, 1e4, 1e6), (100, 500, 10000), (0, 0.2, 0.4, 0.6)))
    grid.append((20, 300, 500, 0.8))
    for A, B, S, r in grid:
        print("{%g, %g, %g, %g, %s}," % (A, B, S, r * S, mp.nstr(lam(A, B, S, r * S), 17)))


if __name__ == "__main__":
    main()
