// The words of the results output: the table's labels and units, the chart series'
// titles, model 3's block. Russian by default; a front end that shows the results in
// another language passes its own words (the figures and their formats stay).
#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fit/methods.h"

namespace rel {

// Model 3's table cell where the repetition coefficient would be when the data cannot
// tell it from the scale.
inline constexpr const char* kMlNotSeparableCell = "K и B не разделимы";

struct ResultsWords {
    // Table: labels of rows 0..11 (row 10 is built from frequencyHead and the times).
    std::array<std::string, 12> rowLabels{
        "Результаты для моделей:",
        "Распр. Вейбулла(A,B как в Excel)",
        "Коэффициент повторности",
        "Гамма 50%(Nотк./Nпарк)",
        "Гамма 90%",
        "Число известных отказов",
        "95% доверит. инт-л/СКО модели",
        "Средний фактич. срок гарантии",
        "СКО фактич-го срока гарантии",
        "Критерий Колмогорова",
        "",
        "Отказов/изд. за 2000/4000 ч",
    };
    std::string frequencyHead = "Частота отказов/1000 ч (";  // + T0 + "," + end + hoursClose
    std::string hoursClose = " ч)";
    std::string dataColumn = "Данные эксплуатации";
    std::string hoursDot = " ч.";  // after a gamma life
    std::string hours = " ч";      // after a warranty figure
    std::string observed = "(набл.)";
    std::string censored = "(ценз.)";
    std::string upTo1000 = " (до 1000 ч.)";
    std::string notSeparableCell = kMlNotSeparableCell;
    // Notes under the table: the models the Kolmogorov test rejects (+ their
    // captions, ", " between them, + rejectedTail), and the repetition coefficient
    // that the data cannot fix when model 3 finds K and B not separable.
    std::string rejectedHead = "Критерий Колмогорова отвергает модели: ";
    std::string rejectedTail =
        " (λ выше критического значения при уровне значимости 5 %). Их оценки не согласуются с данными "
        "эксплуатации.";
    // The models whose search its time rule stopped before it converged (+ their
    // captions, ", " between them, + notConvergedTail).
    std::string notConvergedHead = "Поиск остановлен по времени, не сойдясь: ";
    std::string notConvergedTail =
        " (шаги параметров не стали меньше допусков). Их оценки могут быть не наилучшими: повторите расчет "
        "или уменьшите коэффициент уменьшения шага.";
    std::string kUndeterminedNote =
        "На этих данных K и B не разделимы (модель 3): коэффициент повторности других моделей - лишь одна из "
        "многих равноценных точек.";
    // A fleet in service (an ages file loaded): what the table's figures assume.
    std::string inServiceNote =
        "Загружен файл наработок парка: столбцы таблицы рассчитаны в предположении полного гарантийного учета "
        "(каждое изделие уже вышло из гарантии); модель 3 подобрана по тому, что каждое изделие показало к своей "
        "наработке, — ее оценки с интервалами и прогноз даны ниже.";
    // The note on where each column's warranty end times came from: all columns
    // alike (warrantyAll + source) or column by column (warrantyHead + caption +
    // " — " + source, "; " between them).
    std::string warrantyAll = "Время окончания гарантии во всех моделях: ";
    std::string warrantyHead = "Время окончания гарантии: ";
    std::string sourceHeader = "из заголовка файла данных";
    std::string sourceFileMeanSd = "среднее и СКО файла ";  // + «name»
    std::string sourceFileList = "список времен файла ";    // + «name»
    std::string sourceFittedBoth = ", среднее и СКО подобраны";
    std::string sourceFittedMean = ", среднее подобрано";
    std::string sourceFittedSd = ", СКО подобрано";
    // The models' table captions and titles in English (each method's own English
    // names) rather than in Russian.
    bool englishModelNames = false;
    // Chart series titles by series name ("Series3", ...); a name not here keeps its Russian title.
    std::map<std::string, std::string> seriesTitles;
    std::string observedSuffix = " ценз.";  // a model's observed rate
    std::string accumulatedObservedSuffix = " с влиянием цензурирования";
    std::string causeTimes = " раз (";  // "Двигатель 92 раз (21,9% /машину"
    std::string causePerProduct = "% /машину";
    std::string causeCorrected = " с учетом цензурирования";
    std::string fleetPieces = " шт.)";
    // The built-in causes' names ("Брак", "Другие") in the legends; a cause the file
    // names keeps its name.
    std::map<std::string, std::string> causeNames;  // title line: "... (420 шт.)"
    // Model 3's block.
    std::string mlTitle = "Модель 3 (макс. правдоподобия): оценки и 95% доверительные интервалы";
    std::array<std::string, 8> mlRows{
        "Форма A",
        "Масштаб B, ч",
        "Коэффициент повторности K",
        "Отказов на изделие за 2000 ч",
        "Отказов на изделие за 4000 ч",
        "Отказов на изделие за 6000 ч",
        "Гамма 90%, ч",
        "Гамма 50%, ч",
    };
    std::string gofHead = "Критерий согласия (бутстреп): ";
    // The forecast of a fleet in service.
    std::string forecastTitle = "Прогноз отказов парка в эксплуатации до окончания гарантии";
    std::string forecastRemaining = "Ожидается еще отказов до окончания гарантии: ";  // + "377,2 [320; 440]"
    std::string forecastInterval = "95% прогнозный интервал";
    std::array<std::string, 5> forecastColumns{"Месяц", "Ожидается отказов", "95% прогнозный интервал",
                                               "Нарастающим итогом", "95% прогнозный интервал"};
    std::string forecastChartTitle = "Прогноз отказов по месяцам";
    std::string forecastAxisX = "Месяц";
    std::string forecastAxisY = "Отказов в месяц";
    std::string forecastSeries = "Ожидается";
    std::string forecastBand = "95% прогнозный интервал";
    // Model 3 per cause.
    std::string causesTitle = "Модель 3 по причинам отказов: оценки и 95% доверительные интервалы";
    std::array<std::string, 8> causesColumns{"Причина",
                                             "Отказов",
                                             "Форма A [95%]",
                                             "Масштаб B, ч",
                                             "N(2000) [95%]",
                                             "N(4000) [95%]",
                                             "За гарантию на изделие [95%]",
                                             "Доля, %"};
    std::string causesTooFew = "мало отказов";
    std::string causesNotSeparable = "не разделимы";
    std::string causesNotFitted = "не подобрана";
    std::string causesTestHead = "Один закон для всех причин против своего закона у каждой: χ² = ";
    std::string causesTestDf = " при числе степеней свободы ";
    std::string causesDiffer = "законы отказов по причинам различаются";
    std::string causesSame = "законы отказов по причинам не различаются";
    std::string causesTooFewNote =
        "Причины менее чем с 5 отказами отдельно не подобраны: в проверке они следуют общему закону.";
    std::string causesTooFewFitted = "Причины менее чем с 5 отказами подобраны по запросу: их оценки ненадежны.";
    std::string causesChartTitle = "Ожидаемые отказы на изделие за гарантию по причинам";
    std::string causesChartAxis = "Отказов на изделие за гарантию";
    std::string agrees = " (согласуется)";
    std::string disagrees = " (не согласуется)";
    std::string notSeparableNote = "K и B по данным не разделимы: надежны только N(t) и гамма-ресурсы";
    // Model 3's other notes are the fit's own (Russian) texts unless this is false.
    bool fitNotes = true;
    // Phrases of those notes replaced, in this order, by the words of this language
    // (the numbers in the notes stay); none in Russian.
    std::vector<std::pair<std::string, std::string>> notePhrases;

    // A method's table caption and title in these words.
    std::string Caption(const FitMethod& m) const { return englishModelNames ? m.tableCaptionEn : m.tableCaption; }
    std::string Title(const FitMethod& m) const { return englishModelNames ? m.titleEn : m.title; }

    // The caption, title or series title for a name, or `fallback` when not given.
    static std::string Or(const std::map<std::string, std::string>& m, const std::string& name,
                          const std::string& fallback) {
        const auto it = m.find(name);
        return it == m.end() ? fallback : it->second;
    }
};

// The Russian words (the defaults).
const ResultsWords& RussianWords();

// The English words: every label, unit, title and series title of the output. Model
// 3's notes on edge cases of its fit (a bound reached, an undefined gamma life) stay
// the fit's own Russian texts.
const ResultsWords& EnglishWords();

}  // namespace rel
