#include "core_words.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace relan {

namespace {

// The core's phrases, the longer ones before their parts: the progress log's, then
// those of its messages about files and runs.
constexpr const char* kPhrases[] = {
    QT_TRANSLATE_NOOP("relan::CoreWords", "Расчёт модели по Пирсону методом спирального спуска выполнен за "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Расчёт модели по Пирсону методом Ньютона выполнен за "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Расчёт модели по Смирнову выполнен за "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Расчёт модели 3 по максимуму правдоподобия выполнен за "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "Модель 1.1 по Пирсону: поиск остановлен по времени, не сойдясь (шаги параметров не стали "
                      "меньше допусков) - оценки могут быть не наилучшими."),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "Модель 2 по Смирнову: поиск остановлен по времени, не сойдясь (шаги параметров не стали "
                      "меньше допусков) - оценки могут быть не наилучшими."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " (ч:мин:с)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Доверительный 95% интервал частотной диаграммы = "),
    QT_TRANSLATE_NOOP("relan::CoreWords", ",  СКО= "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Шаг="),
    QT_TRANSLATE_NOOP("relan::CoreWords", "  Sred="),
    QT_TRANSLATE_NOOP("relan::CoreWords", " SKO="),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Модель 3 (максимум правдоподобия): "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "K и B по данным не разделимы: надежны только N(t) и гамма-ресурсы"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Модель 3: "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " ч, K = "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " отказов на изделие"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "согласие с данными λ = "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "(не согласуется)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "(согласуется)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "отказы ниже 1 ч (брак) не учитываются: "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Создано генов "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Копирование лучших"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Исключительная ситуация!"),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "Подбор не нашел ни одного варианта с конечным значением критерия: модель не изменена"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " ЦФ="),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Кповт="),
    // Messages about the files and the run.
    // The character set of a whole file, control characters in numbers, paths that
    // cannot be opened (before the parts of the other messages they hold).
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      " от начала файла) не является частью символа UTF-8, а файл записан в UTF-8"),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      " от начала файла) не является частью символа UTF-8, а файл помечен как UTF-8 (метка BOM)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "; всего таких байтов: "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      ". Исправьте эти байты или сохраните весь файл в одной кодировке: UTF-8 или Windows-1251."),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      ". Исправьте этот байт или сохраните весь файл в одной кодировке: UTF-8 или Windows-1251."),
    QT_TRANSLATE_NOOP("relan::CoreWords", ". Сохраните весь файл в одной кодировке: UTF-8 или Windows-1251."),
    QT_TRANSLATE_NOOP("relan::CoreWords", ": байт 0x"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " (смещение "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " записан в двух кодировках: до строки №"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " — UTF-8, с нее — Windows-1251"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " — Windows-1251, с нее — UTF-8"),
    QT_TRANSLATE_NOOP("relan::CoreWords", ": файл в кодировке "),
    QT_TRANSLATE_NOOP("relan::CoreWords", ", но байты со смещения "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      " от начала файла не образуют символа (половина суррогатной пары без второй или код больше "
                      "U+10FFFF)."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " обрывается посреди символа (строка №"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "): длина файла "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " байт не кратна "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " содержит управляющий символ с кодом "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      " Строки файла кончаются по-разному (CR в одних, LF в других): сохраните его с одинаковыми "
                      "концами строк, CR LF или LF."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "(время окончания гарантии)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не открыт: символические ссылки на этом пути образуют петлю"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не открыт: нет прав на доступ к папке, в которой он лежит"),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      " байт): система не открывает файлы по пути длиннее 4095 байт или с именем папки или файла "
                      "длиннее 255 байт"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "СКО времени гарантии в файле "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не положительно ("),
    QT_TRANSLATE_NOOP("relan::CoreWords", "): поправка на окончание гарантии вырождена."),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      " есть отказы настолько позже среднего времени гарантии, что доля изделий, вышедших из "
                      "гарантии, равна 1: вес каждого такого отказа ограничен значением 2^53."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Время приработки \""),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "\" не является числом: частота отказов рассчитана для времени приработки начала расчета, "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "все окончания гарантии в списке не позже 1 ч — отказы не могли быть записаны"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "среднее окончание гарантии должно быть положительным числом (задано "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "СКО окончания гарантии должно быть неотрицательным числом (задано "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " слишком велик ("),
    QT_TRANSLATE_NOOP("relan::CoreWords", " байт, допускается не более "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "названо более "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " причины отказов (строка №"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "); допускается не более "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      " нет ни одной строки отказа: после заголовка и названий причин нет строки длиннее "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " символов."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " строк отказов; допускается не более "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " нет ни одной строки отказа: строки после названий причин пусты."),
    QT_TRANSLATE_NOOP("relan::CoreWords", ", исправьте)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " время окончания гарантии; для среднего и СКО нужно не менее двух."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " нет ни одного"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " только одно"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Времена окончания гарантии в файле "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " слишком велики: среднее или СКО не представимо числом."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Размер популяции должен быть не меньше "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Размер популяции должен быть не больше "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Число поколений должно быть не меньше "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Число поколений должно быть от "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " (задано "),
    QT_TRANSLATE_NOOP(
        "relan::CoreWords",
        " вне допустимых пределов: 1/точность, округленная до целого, должна быть от 1 до 2147483647"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Точность подбора: \""),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Точность подбора "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Размер популяции: \""),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Число поколений: \""),
    QT_TRANSLATE_NOOP("relan::CoreWords", " Файл данных не загружен."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " Файл времен гарантии не загружен."),
    // The ages file of a fleet in service, and model 3's forecast.
    QT_TRANSLATE_NOOP("relan::CoreWords", " Файл наработок парка не загружен."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Файл наработок парка не выбран"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Сначала загрузите файл данных: число изделий сверяется с его парком."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " изделий, а парк файла данных — "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " изделий: число изделий должно совпадать."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " нет ни одного изделия."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "нет наработки изделия."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "наработка изделия "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "окончание гарантии "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "наработка в месяц "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не является числом (десятичный разделитель — точка или запятая)."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "больше трех значений (наработка, окончание гарантии, наработка в месяц) — "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " лишнее."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "В файле данных отказ при наработке "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " ч, а наибольшая наработка изделий в файле "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "до окончания гарантии ожидается еще отказов: "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "парк в эксплуатации — Sred и СКО окончания гарантии не подбираются, берутся заданные"),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "помесячный прогноз не построен — не задана наработка в месяц (ни в файле наработок, ни "
                      "для парка)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Файл времен гарантии не выбран"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Файл исходных данных не загружен"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Не указан файл"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не существует"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " — это папка, а не файл"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " — не обычный файл"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Не удалось открыть файл "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Не удалось прочитать файл "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " пуст."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " кончается в заголовке: нет числа "),
    // Failure rows whose time cannot be read.
    QT_TRANSLATE_NOOP("relan::CoreWords", "Строк отказов с ошибками в файле "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " (всего строк отказов: "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "строка без табуляции, и ее первое слово — не наработка (разделите наработку и источник "
                      "отказа табуляцией)"),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "строка без табуляции, и неясно, где кончается наработка (разделите наработку и источник "
                      "отказа табуляцией)"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "в поле наработки управляющий символ"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "наработка не является числом"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "наработка отрицательна"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "наработка больше 1e9 ч"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "наработка не указана"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Ни одна строка отказа не прочитана."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "… и ещё "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "строка №"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Ошибка в строке №"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " файла "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не является целым числом ("),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не является числом (десятичный разделитель — точка)."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " не является числом ("),
    QT_TRANSLATE_NOOP("relan::CoreWords", "; десятичный разделитель — точка)."),
    QT_TRANSLATE_NOOP("relan::CoreWords", " вне допустимых пределов ("),
    QT_TRANSLATE_NOOP("relan::CoreWords", "среднее время гарантии"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "СКО времени гарантии"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "размер парка"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "число отказов"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "шестое число заголовка"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "от 0 до 1e9 ч"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "от 1 до 1e9 изделий"),
    QT_TRANSLATE_NOOP("relan::CoreWords", ": время окончания гарантии "),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "Гистограмма отказов пуста: в данных нет отказов. Модели не рассчитаны."),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "В данных нет независимых отказов (все отказы - брак). Модели не рассчитаны."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Гистограмма отказов пуста: в данных нет отказов. Подбор не запущен."),
    QT_TRANSLATE_NOOP("relan::CoreWords",
                      "В данных нет независимых отказов (все отказы - брак). Подбор не запущен."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "\" не является числом. Расчет остановлен."),
    QT_TRANSLATE_NOOP("relan::CoreWords", "\" не является конечным числом. Расчет остановлен."),
    // Short phrases last, where the longer ones have not taken them.
    QT_TRANSLATE_NOOP("relan::CoreWords", " по "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " отказов"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " отказам"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " повторам"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "\" не является целым числом"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "\" не является числом"),
    QT_TRANSLATE_NOOP("relan::CoreWords", " в кодировке "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " слишком длинный ("),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Путь "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "В файле "),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Файл "),
    QT_TRANSLATE_NOOP("relan::CoreWords", " до "),

};

// The built-in causes of the failure list, and the marks of the fleet's shares reached.
constexpr const char* kCauses[] = {
    QT_TRANSLATE_NOOP("relan::CoreWords", "Брак"),
    QT_TRANSLATE_NOOP("relan::CoreWords", "Другие"),
};
constexpr const char* kMarks[] = {
    QT_TRANSLATE_NOOP("relan::CoreWords", ", отказов 10% от парка"),
    QT_TRANSLATE_NOOP("relan::CoreWords", ", отказов 20% от парка"),
    QT_TRANSLATE_NOOP("relan::CoreWords", ", отказов 50% от наблюдаемого парка"),
    QT_TRANSLATE_NOOP("relan::CoreWords", ", отказов 50% от парка с учетом цензурирования"),
    QT_TRANSLATE_NOOP("relan::CoreWords", ", отказов 80% от парка"),
};

}  // namespace

QString TranslatedCauseCell(const QString& cell) {
    QString out = cell;
    for (const char* cause : kCauses) {
        const QString name = QString::fromUtf8(cause);
        if (out == name || out.startsWith(name + QLatin1Char(',')))
            out = QCoreApplication::translate("relan::CoreWords", cause) + out.mid(name.size());
    }
    for (const char* mark : kMarks) {
        const QString from = QString::fromUtf8(mark);
        if (out.endsWith(from))
            out = out.left(out.size() - from.size()) + QCoreApplication::translate("relan::CoreWords", mark);
    }
    return out;
}

QString TranslatedCoreText(const QString& line) {
    QString out = line;
    for (const char* phrase : kPhrases) {
        const QString from = QString::fromUtf8(phrase);
        const QString to = QCoreApplication::translate("relan::CoreWords", phrase);
        if (to != from) out.replace(from, to);
    }
    // The hour after a figure, where a phrase left it.
    const char* hour = QT_TRANSLATE_NOOP("relan::CoreWords", " ч");
    const QString h = QCoreApplication::translate("relan::CoreWords", hour);
    if (h != QString::fromUtf8(hour)) {
        static const QRegularExpression afterFigure(QStringLiteral("(\\d) ч(?=$|[\\s.,;)])"));
        out.replace(afterFigure, QStringLiteral("\\1") + h);
    }
    return out;
}

}  // namespace relan
