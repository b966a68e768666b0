#!/usr/bin/env python3
"""Writes the fleets of the output-stability check into tests/golden/fleets/.

Each fleet is drawn from the model the program fits (Poisson number of failures per
product at Weibull times, warranty exits normally distributed), with a fixed seed, so
the files are the same on every run. They vary what the readers and the fits meet:
fewer and more failures than products, point and comma decimals, Windows-1251 and
UTF-8, CR LF and LF, rejects, unmatched sources, warranty end-time files.
"""
import math
import pathlib
import random

OUT = pathlib.Path(__file__).resolve().parent / "fleets"

CAUSES = ["Двигатель", "Электрика", "Гидравлика", "Трансмиссия", "Кузов", "Фары",
          "Тормоза", "Рулевое", "Насос", "Датчики"]


def poisson(rnd, lam):
    # Knuth's method; lam is small here.
    limit, k, p = math.exp(-lam), 0, 1.0
    while True:
        p *= rnd.random()
        if p <= limit:
            return k
        k += 1


def fleet(name, seed, n, shape, scale, K, mean, sd, ncauses=5, comma=0.0, enc="cp1251",
          eol="\r\n", rejects=3, others=0.05, gar=False, park_text=None):
    rnd = random.Random(seed)
    causes = CAUSES[:ncauses]
    ends = [max(50.0, rnd.gauss(mean, sd)) for _ in range(n)]
    rows = []
    for w in ends:
        for _ in range(poisson(rnd, K)):
            t = rnd.weibullvariate(scale, shape)
            if t > w:
                continue
            if rnd.random() < others:
                src = rnd.choice(["Замок двери", "Сиденье", "Зеркало заднего вида"])
            else:
                src = rnd.choice(causes)
                if rnd.random() < 0.3:
                    src = src.lower() + " узла"
            txt = f"{t:.1f}"
            if rnd.random() < comma:
                txt = txt.replace(".", ",")
            if rnd.random() < 0.7:
                rows.append(f"{txt}\t{src} * замечание {len(rows) + 1}")
            else:
                rows.append(f"{txt}\t{src}")
    for i in range(rejects):
        rows.append(f"{'0' if i % 2 else '0,5'}\tБрак упаковки * вмятина {i}")
    rnd.shuffle(rows)
    first = next((i for i, r in enumerate(rows) if len(r) > 20), None)
    if first is not None:
        rows.insert(0, rows.pop(first))
    header = [f"Проверочный парк {name}", f"{mean:g}", f"{sd:g}",
              park_text or str(n), str(len(rows)), "1"]
    text = eol.join(header + causes + rows) + eol
    data = text.encode("utf-8-sig" if enc == "utf-8-sig" else enc)
    OUT.mkdir(exist_ok=True)
    (OUT / f"{name}.txt").write_bytes(data)
    if gar:
        lines = [f"Времена окончания гарантии {name}"] + [f"{w:.0f}" for w in ends]
        (OUT / f"gar-{name}.txt").write_bytes((eol.join(lines) + eol).encode(enc if enc != "utf-8-sig" else "utf-8"))
    if __name__ == "__main__":
        print(name, len(rows), "rows")


def main():
    fleet("f01", 101, 500, 1.3, 5000, 0.8, 2500, 550)                       # fewer failures than products
    fleet("f02", 102, 100, 1.1, 2000, 3.0, 3000, 400)                       # more failures than products
    fleet("f03", 103, 300, 1.5, 4000, 1.0, 2500, 500, comma=1.0, enc="utf-8", eol="\n")
    fleet("f04", 104, 250, 1.2, 3500, 1.2, 2000, 300, ncauses=10, enc="utf-8-sig")
    fleet("f05", 105, 30, 1.0, 3000, 1.0, 2500, 500, rejects=1)              # small fleet
    fleet("f06", 106, 200, 1.4, 3000, 1.5, 2500, 600, gar=True)             # warranty file
    fleet("f07", 107, 300, 1.2, 4000, 1.0, 2500, 500, rejects=15, others=0.4)
    fleet("f08", 108, 300, 2.5, 3000, 1.0, 2800, 500)                       # wear-out
    fleet("f09", 109, 300, 0.7, 8000, 1.0, 2500, 500)                       # early failures
    fleet("f10", 110, 250, 1.3, 4000, 1.0, 2500, 80, park_text="250.5")     # fractional fleet, small SD
    fleet("f11", 111, 200, 1.6, 2500, 1.5, 1500, 50, gar=True, comma=0.3)   # late failures, SD 50
    fleet("f12", 112, 400, 1.2, 2500, 2.5, 3000, 600, comma=0.5)            # many failures


if __name__ == "__main__":
    main()
