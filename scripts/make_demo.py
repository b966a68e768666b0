#!/usr/bin/env python3
"""Writes the demo files examples/demo-fleet.txt and examples/gar-demo.txt.

A fleet of 420 products whose warranty ends at normally distributed operating
times (mean 2500 h, SD 550 h). Each product fails along a Weibull law (shape 1.3,
scale 3400 h) and is repaired; failures after its warranty end are not recorded.
Both files are Windows-1251 with CR LF line ends. Fixed seed: the files are the
same on every run.
"""
import pathlib
import random

FLEET = 420
MEAN, SD = 2500.0, 550.0
SHAPE, SCALE = 1.3, 2900.0

CAUSES = ["Двигатель", "Электрика", "Гидравлика", "Топливная система", "Трансмиссия"]
SOURCES = [  # (weight, source texts, descriptions)
    (30, ["Двигатель", "Двигатель стартера", "двигатель: перегрев", "ДВИГАТЕЛЬ"],
     ["заклинил", "течь масла", "стук в цилиндре", "не запускается", "перегрев"]),
    (21, ["Электрика", "Электрика фар", "электрика приборной панели", "Электрика генератора"],
     ["обрыв провода", "короткое замыкание", "не горит", "окисление контактов"]),
    (15, ["Гидравлика", "Гидравлика рулевого управления", "гидравлика подъемника"],
     ["течь", "падение давления", "разрыв шланга"]),
    (12, ["Топливная система", "топливная система, форсунка", "Топливная система ТНВД"],
     ["засорение фильтра", "подтекание", "неравномерная подача"]),
    (8, ["Трансмиссия", "Трансмиссия, сцепление", "трансмиссия: коробка передач"],
     ["шум", "не включается передача", "износ диска"]),
    (3, ["Двигатель и электрика стартера"], ["стартер не вращает двигатель"]),
    (11, ["Кузов", "Фары", "Сиденье водителя", "Замок двери", "Стеклоподъемник"],
     ["трещина", "не фиксируется", "люфт", "коррозия"]),
]
REJECTS = [("Брак упаковки", "вмятина на корпусе"), ("Двигатель", "не прошел входной контроль"),
           ("Электрика", "перепутаны провода"), ("Комплектность", "нет инструкции")]


def pick_source(rnd):
    total = sum(w for w, _, _ in SOURCES)
    r = rnd.uniform(0, total)
    for w, texts, notes in SOURCES:
        if r < w:
            return rnd.choice(texts), rnd.choice(notes)
        r -= w
    return SOURCES[-1][1][0], SOURCES[-1][2][0]


def time_text(t, rnd):
    if rnd.random() < 0.25:
        return f"{t:.1f}".replace(".", ",")
    if rnd.random() < 0.1:
        return f"{t:.1f}"
    return str(int(round(t)))


def main():
    rnd = random.Random(20240611)
    warranty = [max(600.0, rnd.gauss(MEAN, SD)) for _ in range(FLEET)]
    rows = []
    for end in warranty:
        t = 0.0
        while True:
            t += rnd.weibullvariate(SCALE, SHAPE)
            if t >= end:
                break
            src, note = pick_source(rnd)
            text = time_text(t, rnd)
            if rnd.random() < 0.8:
                rows.append(f"{text}\t{src} * {note}")
            else:
                rows.append(f"{text}\t{src}")
    for i in range(9):
        src, note = REJECTS[i % len(REJECTS)]
        rows.append(f"{'0' if i % 3 else '0,5'}\t{src} * {note}")
    rnd.shuffle(rows)
    # The first row ends the cause-name block: it must be longer than 20 characters.
    first = next(i for i, r in enumerate(rows) if len(r) > 20)
    rows.insert(0, rows.pop(first))
    header = [
        "Изделие КМ-12: отказы за гарантийный период 2023-2024 гг.",
        f"{MEAN:.0f}", f"{SD:.0f}", str(FLEET), str(len(rows)), "1",
    ]
    out = pathlib.Path(__file__).resolve().parent.parent / "examples"
    out.mkdir(exist_ok=True)
    text = "\r\n".join(header + CAUSES + rows) + "\r\n"
    (out / "demo-fleet.txt").write_bytes(text.encode("cp1251"))
    gar = ["Времена окончания гарантии изделий КМ-12, ч"] + [f"{w:.0f}" for w in warranty]
    (out / "gar-demo.txt").write_bytes(("\r\n".join(gar) + "\r\n").encode("cp1251"))
    print(f"{len(rows)} failure rows, {FLEET} warranty end times")


if __name__ == "__main__":
    main()
