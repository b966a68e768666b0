#include "results/words.h"

namespace rel {

const ResultsWords& RussianWords() {
    static const ResultsWords words;
    return words;
}

namespace {

ResultsWords MakeEnglish() {
    ResultsWords w;
    w.rowLabels = {
        "Results for the models:",
        "Weibull distr. (A, B as in Excel)",
        "Repetition coefficient",
        "Gamma 50% (Nfail/Nfleet)",
        "Gamma 90%",
        "Number of known failures",
        "95% confidence int./model SD",
        "Actual warranty time, mean",
        "Actual warranty time, SD",
        "Kolmogorov criterion",
        "",
        "Failures/product in 2000/4000 h",
    };
    w.frequencyHead = "Failure rate/1000 h (";
    w.hoursClose = " h)";
    w.dataColumn = "Field data";
    w.hoursDot = " h";
    w.hours = " h";
    w.observed = "(obs.)";
    w.censored = "(cens.)";
    w.upTo1000 = " (up to 1000 h)";
    w.notSeparableCell = "K and B not separable";
    w.rejectedHead = "The Kolmogorov test rejects the models: ";
    w.rejectedTail =
        " (λ above the critical value at the 5 % significance level). Their estimates disagree with the field "
        "data.";
    w.warrantyAll = "Warranty end times of every model: ";
    w.warrantyHead = "Warranty end times: ";
    w.sourceHeader = "from the data file's header";
    w.sourceFileMeanSd = "the mean and SD of file ";
    w.sourceFileList = "the list of times of file ";
    w.sourceFittedBoth = ", mean and SD fitted";
    w.sourceFittedMean = ", mean fitted";
    w.sourceFittedSd = ", SD fitted";
    w.notConvergedHead = "Search stopped by its time limit before converging: ";
    w.notConvergedTail =
        " (the parameter steps did not fall below their tolerances). Their estimates may not be the best: run the "
        "calculation again or lower the step-reduction coefficient.";
    w.kUndeterminedNote =
        "On these data K and B are not separable (model 3): the repetition coefficient of the other models is "
        "only one of many equally good points.";
    w.englishModelNames = true;
    w.seriesTitles = {
        {"Series1", "Leaving warranty"},
        {"Series17", "Actual accumulation, % of fleet"},
        {"Series3", "Pearson model 1.1"},
        {"Series2", "Pearson model 1.1 cens."},
        {"Series4", "Smirnov model 2"},
        {"Series20", "Pearson/Newton 1.2"},
        {"Series21", "Pearson/Newton 1.2 cens."},
        {"Series6", "Genetic"},
        {"Series5", "Genetic, cens."},
        {"Series15", "Failures (actual)"},
        {"Series7", "Leaving warranty, %"},
        {"Series28", "MCF: failures per product (model-free)"},
        {"Series29", "MCF: 95 % confidence band"},
        {"Series30", "Model 3: sum over causes"},
        {"Series8", "Pearson model"},
        {"Series9", "Pearson model with censoring"},
        {"Series10", "Smirnov model"},
        {"Series11", "\"Genetic\" model"},
        {"Series12", "\"Genetic\" model with censoring"},
        {"Series13", "Leaving warranty"},
        {"Series18", "Ln accumulation"},
        {"Series19", "Ln accumulation fit"},
    };
    w.observedSuffix = " cens.";
    w.accumulatedObservedSuffix = " with censoring";
    w.causeTimes = " times (";
    w.causePerProduct = "% per vehicle";
    w.causeCorrected = " corrected for censoring";
    w.fleetPieces = " units)";
    w.causeNames = {{"Брак", "Rejects"}, {"Другие", "Other"}};
    w.mlTitle = "Model 3 (maximum likelihood): estimates and 95% confidence intervals";
    w.inServiceNote =
        "A fleet's ages file is loaded: the table's columns assume a complete warranty record (every product has "
        "left warranty); model 3 is fitted on what each product has shown by its operating time — its estimates "
        "with intervals and the forecast are given below.";
    w.forecastTitle = "Forecast of the fleet in service: claims still to come under warranty";
    w.forecastRemaining = "Claims still expected before warranty ends: ";
    w.forecastInterval = "95% prediction interval";
    w.forecastColumns = {"Month", "Expected claims", "95% prediction interval", "Cumulative",
                         "95% prediction interval"};
    w.forecastChartTitle = "Forecast of claims by month";
    w.forecastAxisX = "Month";
    w.forecastAxisY = "Claims a month";
    w.forecastSeries = "Expected";
    w.forecastBand = "95% prediction interval";
    w.causesTitle = "Model 3 by cause of failure: estimates and 95% confidence intervals";
    w.causesColumns = {"Cause",
                       "Failures",
                       "Shape A [95%]",
                       "Scale B, h",
                       "N(2000) [95%]",
                       "N(4000) [95%]",
                       "Within warranty per product [95%]",
                       "Share, %"};
    w.causesTooFew = "too few failures";
    w.causesNotSeparable = "not separable";
    w.causesNotFitted = "not fitted";
    w.causesTestHead = "One law for all causes against a law for each: χ² = ";
    w.causesTestDf = " with degrees of freedom ";
    w.causesDiffer = "the causes' failure laws differ";
    w.causesSame = "the causes' failure laws do not differ";
    w.causesTooFewNote =
        "Causes with fewer than 5 failures are not fitted on their own: in the test they follow the "
        "common law.";
    w.causesTooFewFitted =
        "Causes with fewer than 5 failures are fitted as asked: their estimates are unreliable.";
    w.causesChartTitle = "Expected claims per product within warranty by cause";
    w.causesChartAxis = "Claims per product within warranty";
    w.mlRows = {
        "Shape A",
        "Scale B, h",
        "Repetition coefficient K",
        "Failures per product in 2000 h",
        "Failures per product in 4000 h",
        "Failures per product in 6000 h",
        "Gamma 90%, h",
        "Gamma 50%, h",
    };
    w.gofHead = "Goodness of fit (bootstrap): ";
    w.agrees = " (agrees)";
    w.disagrees = " (does not agree)";
    w.notSeparableNote = "K and B cannot be separated by the data: only N(t) and the gamma lives are reliable";
    // Model 3's notes on edge cases of its fit; the longer phrases before their parts.
    w.notePhrases = {
        {"Модель 3: ", "Model 3: "},
        {"отказы ниже 1 ч (брак) не учитываются: ", "failures below 1 h (rejects) are not counted: "},
        {"A на границе допустимого диапазона (", "A is at the bound of its allowed range ("},
        {"B на нижней границе допустимого диапазона (", "B is at the lower bound of its allowed range ("},
        {"K·F(t) не достигает 0", "K·F(t) does not reach 0"},
        {" — гамма-ресурс 90% не определен", ": the 90% gamma life is undefined"},
        {" — гамма-ресурс 50% не определен", ": the 50% gamma life is undefined"},
        {"согласие не оценено — бутстреп моделирует парки от 1 изделия, а парк ",
         "goodness of fit not assessed: the bootstrap simulates fleets of 1 product or more and the fleet of "},
        {" вне пределов 1 … ", " is outside 1 … "},
        {"бутстреп остановлен командой «Стоп» после ", "the bootstrap was stopped by «Stop» after "},
        {" повторов из ", " replicates of "},
        {"согласие не оценено — ни один смоделированный парк не дал подбора",
         "goodness of fit not assessed: no simulated fleet could be fitted"},
        {"в списке окончаний гарантии ", "the list of warranty ends holds "},
        {" значений при парке ", " values for a fleet of "},
        {" — используются доли списка", ": the list is used as shares"},
        {"задан список окончаний гарантии — Sred и СКО не подбираются",
         "a list of warranty ends is given: the warranty mean and SD are not fitted"},
        {"СКО = 0, подбор СКО начат с ", "SD = 0, the SD fit starts from "},
        {"при СКО = 0 гарантия кончается у всех изделий при Sred — Sred не подбирается",
         "with SD = 0 every product leaves warranty at the mean: the mean is not fitted"},
        {"нижняя граница интервала ", "the lower end of the interval of "},
        {"верхняя граница интервала ", "the upper end of the interval of "},
        {" оставлена открытой — отклонение не сходится к порогу 95%",
         " is left open: the deviance does not settle at the 95% threshold there"},
        {" оставлена открытой — поиск не сошелся", " is left open: the search did not converge"},
        {"Гамма ", "Gamma "},
        {" ч)", " h)"},
        {" ч", " h"},
    };
    return w;
}

}  // namespace

const ResultsWords& EnglishWords() {
    static const ResultsWords words = MakeEnglish();
    return words;
}

}  // namespace rel
