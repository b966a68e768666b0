#!/usr/bin/env python3
"""Writes the example files of examples/.

demo-fleet.txt and gar-demo.txt: a fleet of 420 products whose warranty ends at
normally distributed operating times (mean 2500 h, SD 550 h). Each product fails
along a Weibull law (shape 1.3, scale 3400 h) and is repaired; failures after its
warranty end are not recorded. Fewer failures than products: the repetition
coefficient of the fits stays at its lower bound.

repeat-fleet.txt and gar-repeat.txt: a fleet of 150 pumps that fail several times
each. Every pump has a Poisson number of failures in store (mean REPEAT_K), each at
an independent Weibull time (shape 1.6, scale 1400 h), the failure-accumulation
model itself; its warranty ends at a normal time (mean 3000 h, SD 400 h) and only
the failures before it are recorded: about 2.6 a pump, so the fits have their
repetition coefficient free.

service-fleet.txt and service-ages.txt: a fleet still in service. 900 compressors
shipped in 24 monthly cohorts of about 37, each running its own hours a month
(lognormal about SERVICE_USAGE h, deviation of its logarithm 0.3), observed now: the
data file holds the failures each compressor has shown by its current operating time,
the ages file each compressor's operating time now, its hours per month and, for the
one in ten under a service contract, its warranty end; the others end warranty at a
normal time (mean 3000 h, SD 400 h). The failures follow the failure-accumulation
model (shape 1.4, scale 2600 h, repetition coefficient 1.2). service-truth.txt holds
the truth: the parameters, and the claims the same simulation brings under warranty
afterwards, in all and in each of the next 12 months.

All files are Windows-1251 with CR LF line ends. Fixed seeds: the files are the
same on every run.
"""
import math
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


def pick_source(rnd, sources=SOURCES):
    total = sum(w for w, _, _ in sources)
    r = rnd.uniform(0, total)
    for w, texts, notes in sources:
        if r < w:
            return rnd.choice(texts), rnd.choice(notes)
        r -= w
    return sources[-1][1][0], sources[-1][2][0]


def time_text(t, rnd):
    if rnd.random() < 0.25:
        return f"{t:.1f}".replace(".", ",")
    if rnd.random() < 0.1:
        return f"{t:.1f}"
    return str(int(round(t)))


def write_demo():
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
    print(f"demo-fleet.txt: {len(rows)} failure rows, {FLEET} warranty end times")


REPEAT_FLEET = 150
REPEAT_MEAN, REPEAT_SD = 3000.0, 400.0
REPEAT_SHAPE, REPEAT_SCALE = 1.6, 1400.0
REPEAT_K = 2.8  # failures in store per pump, on average

REPEAT_CAUSES = ["Уплотнение", "Подшипник", "Электродвигатель", "Датчик давления", "Клапан"]
REPEAT_SOURCES = [  # (weight, source texts, descriptions)
    (32, ["Уплотнение", "Уплотнение вала", "уплотнение торцевое", "Уплотнение крышки"],
     ["течь по валу", "износ кольца", "подтекание", "разрушение манжеты"]),
    (24, ["Подшипник", "Подшипник опорный", "подшипник насоса", "Подшипник двигателя"],
     ["шум", "перегрев", "вибрация", "заклинивание"]),
    (16, ["Электродвигатель", "электродвигатель: обмотка", "Электродвигатель привода"],
     ["пробой изоляции", "не запускается", "перегрев обмотки"]),
    (12, ["Датчик давления", "датчик давления на выходе"],
     ["ложные показания", "нет сигнала", "дрейф нуля"]),
    (9, ["Клапан", "Клапан обратный", "клапан предохранительный"],
     ["не закрывается", "залипание", "износ седла"]),
    (7, ["Корпус", "Муфта", "Кабель питания", "Пульт управления"],
     ["трещина", "люфт", "обрыв", "не реагирует"]),
]
REPEAT_REJECTS = [("Уплотнение", "не прошло входной контроль"), ("Корпус", "вмятина при доставке"),
                  ("Датчик давления", "не откалиброван")]


def poisson(rnd, mean):
    limit, k, p = math.exp(-mean), 0, rnd.random()
    while p > limit:
        k += 1
        p *= rnd.random()
    return k


def write_repeat():
    rnd = random.Random(20250317)
    warranty = [max(1000.0, rnd.gauss(REPEAT_MEAN, REPEAT_SD)) for _ in range(REPEAT_FLEET)]
    rows = []
    for number, end in enumerate(warranty, start=1):
        times = sorted(rnd.weibullvariate(REPEAT_SCALE, REPEAT_SHAPE)
                       for _ in range(poisson(rnd, REPEAT_K)))
        for t in times:
            if t >= end:
                break
            src, note = pick_source(rnd, REPEAT_SOURCES)
            rows.append(f"{time_text(t, rnd)}\t{src} * насос №{number:03d}: {note}")
    for i in range(4):
        src, note = REPEAT_REJECTS[i % len(REPEAT_REJECTS)]
        rows.append(f"0\t{src} * {note}")
    rnd.shuffle(rows)
    first = next(i for i, r in enumerate(rows) if len(r) > 20)
    rows.insert(0, rows.pop(first))
    header = [
        "Насос НЦ-40: повторные отказы за гарантийный период 2024 г.",
        f"{REPEAT_MEAN:.0f}", f"{REPEAT_SD:.0f}", str(REPEAT_FLEET), str(len(rows)), "1",
    ]
    out = pathlib.Path(__file__).resolve().parent.parent / "examples"
    out.mkdir(exist_ok=True)
    text = "\r\n".join(header + REPEAT_CAUSES + rows) + "\r\n"
    (out / "repeat-fleet.txt").write_bytes(text.encode("cp1251"))
    gar = ["Времена окончания гарантии насосов НЦ-40, ч"] + [f"{w:.0f}" for w in warranty]
    (out / "gar-repeat.txt").write_bytes(("\r\n".join(gar) + "\r\n").encode("cp1251"))
    print(f"repeat-fleet.txt: {len(rows)} failure rows, {REPEAT_FLEET} warranty end times")


SERVICE_FLEET = 900
SERVICE_MEAN, SERVICE_SD = 3000.0, 400.0
SERVICE_SHAPE, SERVICE_SCALE, SERVICE_K = 1.4, 2600.0, 1.2
SERVICE_USAGE = 120.0
SERVICE_CAUSES = ["Компрессор", "Электродвигатель", "Клапан", "Автоматика", "Ресивер"]
SERVICE_SOURCES = [
    (35, ["Компрессор", "Компрессор, поршневая группа", "компрессор: головка"],
     ["износ колец", "стук", "перегрев", "падение производительности"]),
    (25, ["Электродвигатель", "Электродвигатель привода", "электродвигатель: обмотка"],
     ["не запускается", "перегрев обмотки", "шум подшипника"]),
    (18, ["Клапан", "Клапан предохранительный", "клапан обратный"], ["залипание", "течь", "износ седла"]),
    (14, ["Автоматика", "Реле давления", "автоматика: контроллер"], ["нет сигнала", "ложное срабатывание"]),
    (8, ["Ресивер", "Ресивер, сливной кран"], ["коррозия", "подтекание"]),
]


def write_service():
    rnd = random.Random(20261211)
    ages, usages, ends = [], [], []
    seen, future_all, future_months = [], 0, [0] * 12
    for i in range(SERVICE_FLEET):
        months = (23 - i % 24) + 0.5
        usage = min(744.0, SERVICE_USAGE * math.exp(0.3 * rnd.gauss(0, 1)))
        age = months * usage
        contract = rnd.random() < 0.1
        end = max(1.0, rnd.gauss(SERVICE_MEAN, SERVICE_SD))
        ages.append(age)
        usages.append(usage)
        ends.append(end if contract else None)
        for _ in range(poisson(rnd, SERVICE_K)):
            t = rnd.weibullvariate(SERVICE_SCALE, SERVICE_SHAPE)
            if t > end:
                continue
            if t <= age:
                seen.append(t)
            elif t >= 1:
                future_all += 1
                month = math.ceil((t - age) / usage)
                if 1 <= month <= 12:
                    future_months[month - 1] += 1
    rows = []
    for t in seen:
        src, note = pick_source(rnd, SERVICE_SOURCES)
        rows.append(f"{t:.1f}\t{src} * {note}")
    rnd.shuffle(rows)
    first = next(i for i, r in enumerate(rows) if len(r) > 20)
    rows.insert(0, rows.pop(first))
    header = [
        "Компрессор КВ-7: отказы парка в эксплуатации на 01.12.2026",
        f"{SERVICE_MEAN:.0f}", f"{SERVICE_SD:.0f}", str(SERVICE_FLEET), str(len(rows)), "1",
    ]
    out = pathlib.Path(__file__).resolve().parent.parent / "examples"
    text = "\r\n".join(header + SERVICE_CAUSES + rows) + "\r\n"
    (out / "service-fleet.txt").write_bytes(text.encode("cp1251"))
    lines = ["Наработки компрессоров КВ-7 на 01.12.2026: наработка, ч; окончание гарантии, ч; наработка в месяц, ч"]
    for age, usage, end in zip(ages, usages, ends):
        lines.append(f"{age:.1f}\t{'-' if end is None else f'{end:.0f}'}\t{usage:.1f}")
    (out / "service-ages.txt").write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1251"))
    truth = [
        "Истина, по которой смоделирован парк service-fleet.txt / service-ages.txt",
        f"A = {SERVICE_SHAPE}, B = {SERVICE_SCALE:.0f} ч, K = {SERVICE_K}",
        f"Окончание гарантии: нормальный закон, Sred = {SERVICE_MEAN:.0f} ч, СКО = {SERVICE_SD:.0f} ч",
        f"Отказов до окончания гарантии после наблюдения: {future_all}",
        "По месяцам: " + " ".join(str(m) for m in future_months),
    ]
    (out / "service-truth.txt").write_bytes(("\r\n".join(truth) + "\r\n").encode("cp1251"))
    print(f"service-fleet.txt: {len(rows)} failure rows, {SERVICE_FLEET} products in service, "
          f"{future_all} claims to come")


def main():
    write_demo()
    write_repeat()
    write_service()


if __name__ == "__main__":
    main()
