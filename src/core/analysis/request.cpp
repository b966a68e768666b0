#include "analysis/request.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

#include "data/ages_file.h"
#include "data/failure_file.h"
#include "text/text.h"

namespace rel {

namespace {

// A number given on a command line: blanks around it, the point or the comma.
std::optional<double> OptionNumber(const std::string& text) {
    std::string t(TrimBlanks(text));
    for (char& c : t)
        if (c == ',') c = '.';
    const std::optional<double> v = ParseLocaleNumber(t, '.');
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

// A whole number of at most 19 digits, without a sign.
std::optional<std::uint64_t> OptionUnsigned(const std::string& text) {
    const std::string_view t = TrimBlanks(text);
    if (t.empty() || t.size() > 20) return std::nullopt;
    std::uint64_t v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
    return v;
}

RequestError Refuse(const char* option, std::string why) { return {option, std::string(option) + ": " + why}; }

// A value as the messages echo it: a long one (a script's runaway argument) cut to
// its first 40 characters, control characters written out.
std::string Quoted(const std::string& s) { return "\"" + EscapeControls(Excerpt(s)) + "\""; }

}  // namespace

std::string WithSeparator(std::string text, char sep) {
    text = std::string(TrimBlanks(text));
    for (char& c : text)
        if (c == '.' || c == ',') c = sep;
    return text;
}

std::optional<RequestError> CheckNumberOption(const char* option, const std::string& text, double lo, double hi,
                                              bool aboveLo, const char* rangeText, double& value) {
    const std::optional<double> v = OptionNumber(text);
    if (!v) return Refuse(option, Quoted(text) + " не является числом");
    if (!((aboveLo ? *v > lo : *v >= lo) && *v <= hi))
        return Refuse(option, Quoted(text) + " вне допустимых пределов (" + rangeText + ")");
    value = *v;
    return std::nullopt;
}

bool FitPlan::Has(std::string_view id) const {
    for (const std::string& m : methods)
        if (m == id) return true;
    return false;
}

CheckedRequest CheckFitRequest(const FitRequest& r, bool allowGen, const MethodTable& methods) {
    CheckedRequest out;
    FitPlan p;
    p.data = r.data;
    p.badRows = r.skipBadRows ? BadRowPolicy::Skip : BadRowPolicy::Refuse;
    p.warranty = r.warranty;
    p.ages = r.ages;
    p.fitSred = r.fitSred;
    p.fitSKO = r.fitSKO;
    p.decimalSep = r.decimalComma ? ',' : '.';
    auto refuse = [&](RequestError e) {
        out.error = std::move(e);
        return out;
    };

    // Models: a comma-separated list; blanks around each name are ignored. A method
    // the calculation run does not fit (the optimiser) only where it may be asked for.
    const std::string allowed = " (допустимы " + methods.IdList(allowGen) + ")";
    std::stringstream ss(r.models);
    std::string m;
    while (std::getline(ss, m, ',')) {
        const std::string name(TrimBlanks(m));
        if (name.empty()) continue;
        const FitMethod* method = methods.Find(name);
        if (!method || (!method->fit && !allowGen))
            return refuse({"--models", "неизвестная модель в --models: " + Quoted(name) + allowed});
        if (!p.Has(name)) p.methods.push_back(name);
    }
    if (p.methods.empty()) return refuse({"--models", "--models: не задано ни одной модели" + allowed});

    if (auto bad = CheckNumberOption("--burn-in", r.burnIn, kBurnInRange.lo, kBurnInRange.hi, false,
                                     kBurnInRange.text, p.burnIn))
        return refuse(*bad);

    if (r.usage)
        if (auto bad =
                CheckNumberOption("--usage", *r.usage, 0, kMaxHoursPerMonth, true, "больше 0, до 744 ч", p.usage))
            return refuse(*bad);
    const std::optional<int> horizon = ParseIntText(r.horizon);
    if (!horizon || *horizon < 1 || *horizon > kMlMaxHorizon)
        return refuse(Refuse("--horizon", Quoted(r.horizon) + " вне допустимых пределов (целое от 1 до " +
                                              std::to_string(kMlMaxHorizon) + ")"));
    p.horizon = *horizon;

    const std::optional<int> item = ParseIntText(r.item);
    if (!item || *item < 0 || *item > 2) return refuse(Refuse("--item", Quoted(r.item) + " (допустимы 0, 1, 2)"));
    p.item = *item;

    if (r.virtualClock) {
        const std::optional<std::uint64_t> n = OptionUnsigned(*r.virtualClock);
        if (!n || *n == 0)
            return refuse(
                Refuse("--virtual-clock", Quoted(*r.virtualClock) + " не является положительным целым числом"));
        // At a higher rate the fits' time rules would never come: a fit could run for days.
        if (*n > kMaxVirtualClock)
            return refuse(Refuse("--virtual-clock", Quoted(*r.virtualClock) +
                                                        " вне допустимых пределов (от 1 до " +
                                                        std::to_string(kMaxVirtualClock) + ")"));
        p.virtualClock = static_cast<std::int64_t>(*n);
    }
    // A step-reduction coefficient must be a number of at least 1 (the steps would
    // grow instead of shrinking); the run checks it again as the window's box does.
    const struct {
        const char* option;
        const std::optional<std::string>& text;
    } coefs[] = {
        {"--step-coef-1.1", r.stepCoef11}, {"--step-coef-1.2", r.stepCoef12}, {"--step-coef-2", r.stepCoef2}};
    for (const auto& c : coefs) {
        if (!c.text) continue;
        const std::optional<double> v = OptionNumber(*c.text);
        if (!v) return refuse(Refuse(c.option, Quoted(*c.text) + " не является числом"));
        if (*v < 1.0)
            return refuse(Refuse(c.option, Quoted(*c.text) + " меньше 1 - шаг поиска рос бы вместо уменьшения"));
    }
    p.stepCoef11 = r.stepCoef11;
    p.stepCoef12 = r.stepCoef12;
    p.stepCoef2 = r.stepCoef2;

    // The optimiser's settings, as its page holds them.
    p.genTexts.population = std::string(TrimBlanks(r.population));
    p.generationsGiven = r.generations.has_value();
    if (r.generations) p.genTexts.generations = std::string(TrimBlanks(*r.generations));
    p.genTexts.precision = WithSeparator(r.precision, p.decimalSep);
    p.genTexts.copyCount = r.copyCount;
    if (p.Has("gen")) {
        // The optimiser's own rules for its settings, as its start button applies them.
        GenOptions o;
        o.decimalSep = p.decimalSep;
        const std::string bad = ParseGenTexts(p.genTexts.population,
                                              r.generations ? p.genTexts.generations : defaults::kGenerationsText,
                                              p.genTexts.precision, p.decimalSep, o);
        if (!bad.empty()) {
            const char* option = bad.rfind("Размер популяции", 0) == 0  ? "--population"
                                 : bad.rfind("Число поколений", 0) == 0 ? "--generations"
                                                                        : "--precision";
            return refuse({option, std::string(option) + ": " + bad});
        }
        const std::optional<int> copies = ParseIntText(r.copyCount);
        if (!copies || *copies < 0 || *copies > kMaxPopulation)
            return refuse(Refuse("--copy-count", Quoted(r.copyCount) + " не является целым числом от 0 до " +
                                                     std::to_string(kMaxPopulation)));
    }
    const std::optional<int> reps = ParseIntText(r.bootstrap);
    if (!reps || *reps < 0 || *reps > kMaxBootstrap)
        return refuse(Refuse("--bootstrap", Quoted(r.bootstrap) + " не является целым числом от 0 до " +
                                                std::to_string(kMaxBootstrap)));
    p.bootstrap = *reps;
    p.allCauses = r.allCauses;
    if (r.seed) {
        const std::optional<std::uint64_t> seed = OptionUnsigned(*r.seed);
        if (!seed) return refuse(Refuse("--seed", Quoted(*r.seed) + " не является целым неотрицательным числом"));
        p.genTexts.seed = *seed;
    }
    out.plan = std::move(p);
    return out;
}

std::optional<RequestError> CheckClockForFailures(const FitPlan& plan, std::size_t failureRows) {
    if (!plan.Has("2") || plan.virtualClock <= 0 || failureRows == 0) return std::nullopt;
    const std::uint64_t highest = std::max<std::uint64_t>(1, kMaxVirtualClockWork / failureRows);
    if (static_cast<std::uint64_t>(plan.virtualClock) <= highest) return std::nullopt;
    return Refuse("--virtual-clock", "\"" + std::to_string(plan.virtualClock) +
                                         "\" вне допустимых пределов для модели 2 на " +
                                         std::to_string(failureRows) + " строках отказов (от 1 до " +
                                         std::to_string(highest) + "): ее критерий вычисляется по каждому отказу");
}

RunParams RunParamsAfterLoad(const FitPlan& plan, const LoadedInputs& in, const AnalysisState& st) {
    const char sep = plan.decimalSep;
    const FailureFileView& v = in.data.view;
    RunParams p;
    p.methods = plan.methods;  // the optimiser's id is not the calculation run's
    p.mlBootstrap = plan.bootstrap;
    p.mlAllCauses = plan.allCauses;
    p.mlSeed = plan.genTexts.seed.value_or(1);
    // The window converts the texts it shows, so a run takes the warranty figures at
    // the precision of those texts.
    const std::string& sredText = in.warrantyLoaded ? in.warranty.SredText : v.SredText;
    const std::string& skoText = in.warrantyLoaded ? in.warranty.SKOText : v.SKOText;
    p.SredGar = ParseLocaleNumber(sredText, sep).value_or(st.SredGar);
    p.SKOGar = ParseLocaleNumber(skoText, sep).value_or(st.SKOGar);
    p.PeriodUchet = ParseLocaleNumber(v.PeriodText, sep).value_or(p.SredGar);
    p.TPrirab = plan.burnIn;
    p.FitSred = plan.fitSred;
    p.FitSKO = plan.fitSKO;
    p.UsageMonth = plan.usage;
    p.Horizon = plan.horizon;
    p.StepCoef11 = plan.stepCoef11 ? WithSeparator(*plan.stepCoef11, sep) : v.StepCoef11Text;
    p.StepCoef12 = plan.stepCoef12 ? WithSeparator(*plan.stepCoef12, sep) : v.StepCoef12Text;
    p.StepCoef2 = plan.stepCoef2 ? WithSeparator(*plan.stepCoef2, sep) : v.StepCoef2Text;
    p.item = plan.item;
    p.decimalSep = sep;
    p.clock.evaluationsPerSecond = plan.virtualClock;
    p.mlProgress = plan.mlProgress;
    return p;
}

}  // namespace rel
