#include "log_words.h"

#include <QCoreApplication>

namespace relan {

namespace {

// The core's phrases of the progress log, the longer ones before their parts.
constexpr const char* kPhrases[] = {
    QT_TRANSLATE_NOOP("relan::LogWords", "Расчёт модели по Пирсону методом спирального спуска выполнен за "),
    QT_TRANSLATE_NOOP("relan::LogWords", "Расчёт модели по Пирсону методом Ньютона выполнен за "),
    QT_TRANSLATE_NOOP("relan::LogWords", "Расчёт модели по Смирнову выполнен за "),
    QT_TRANSLATE_NOOP("relan::LogWords", "Расчёт модели 3 по максимуму правдоподобия выполнен за "),
    QT_TRANSLATE_NOOP("relan::LogWords", " (ч:мин:с)"),
    QT_TRANSLATE_NOOP("relan::LogWords", "Доверительный 95% интервал частотной диаграммы = "),
    QT_TRANSLATE_NOOP("relan::LogWords", ",  СКО= "),
    QT_TRANSLATE_NOOP("relan::LogWords", "Шаг="),
    QT_TRANSLATE_NOOP("relan::LogWords", "  Sred="),
    QT_TRANSLATE_NOOP("relan::LogWords", " SKO="),
    QT_TRANSLATE_NOOP("relan::LogWords", "Модель 3 (максимум правдоподобия): "),
    QT_TRANSLATE_NOOP("relan::LogWords", "K и B по данным не разделимы: надежны только N(t) и гамма-ресурсы"),
    QT_TRANSLATE_NOOP("relan::LogWords", "Модель 3: "),
    QT_TRANSLATE_NOOP("relan::LogWords", " ч, K = "),
    QT_TRANSLATE_NOOP("relan::LogWords", " отказам"),
    QT_TRANSLATE_NOOP("relan::LogWords", " отказов на изделие"),
    QT_TRANSLATE_NOOP("relan::LogWords", " ч до конца гарантии парка ожидается еще "),
    QT_TRANSLATE_NOOP("relan::LogWords", "после "),
    QT_TRANSLATE_NOOP("relan::LogWords", "согласие с данными λ = "),
    QT_TRANSLATE_NOOP("relan::LogWords", "(не согласуется)"),
    QT_TRANSLATE_NOOP("relan::LogWords", "(согласуется)"),
    QT_TRANSLATE_NOOP("relan::LogWords", " повторам"),
    QT_TRANSLATE_NOOP("relan::LogWords", "отказы ниже 1 ч (брак) не учитываются: "),
    QT_TRANSLATE_NOOP("relan::LogWords", "Создано генов "),
    QT_TRANSLATE_NOOP("relan::LogWords", "Копирование лучших"),
    QT_TRANSLATE_NOOP("relan::LogWords", "Исключительная ситуация!"),
    QT_TRANSLATE_NOOP("relan::LogWords",
                      "Подбор не нашел ни одного варианта с конечным значением критерия: модель не изменена"),
    QT_TRANSLATE_NOOP("relan::LogWords", " ЦФ="),
    QT_TRANSLATE_NOOP("relan::LogWords", "Кповт="),
    QT_TRANSLATE_NOOP("relan::LogWords", " по "),
    QT_TRANSLATE_NOOP("relan::LogWords", " отказов"),
};

}  // namespace

QString TranslatedLogLine(const QString& line) {
    QString out = line;
    for (const char* phrase : kPhrases) {
        const QString from = QString::fromUtf8(phrase);
        const QString to = QCoreApplication::translate("relan::LogWords", phrase);
        if (to != from) out.replace(from, to);
    }
    return out;
}

}  // namespace relan
