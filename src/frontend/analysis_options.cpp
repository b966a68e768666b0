#include "frontend/analysis_options.h"

#include "text/text.h"

namespace relcli {

namespace {

const char* Text(HelpLang lang, const char* en, const char* ru) { return Pick(lang, en, ru); }

}  // namespace

AnalysisOptions::AnalysisOptions(CLI::App& cmd, bool withGen, HelpLang lang) {
    auto t = [lang](const char* en, const char* ru) { return std::string(Text(lang, en, ru)); };
    // An option given twice takes its last value, as a script that appends a
    // setting to a default command line expects.
    cmd.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    cmd.add_option("DATA", req_.data, t("failure data file", "файл исходных данных"))->required();
    cmd.add_option("--warranty", req_.warranty,
                   t("warranty end-time file, loaded after the data file",
                     "файл времен окончания гарантии, загружается после файла данных"));
    cmd.add_option("--ages", req_.ages,
                   t("the fleet's ages file: a fleet still in service (model 3 fits what each product has shown "
                     "so far and forecasts the claims still to come)",
                     "файл наработок парка: парк в эксплуатации (модель 3 и прогноз отказов до конца гарантии)"));
    usage_ = cmd.add_option("--usage", usage,
                            t("operating hours per month of the products whose ages line gives none",
                              "наработка в месяц изделий, для которых она не задана в файле наработок, ч"));
    cmd.add_option("--horizon", req_.horizon,
                   t("months of the forecast of a fleet in service", "число месяцев прогноза"))
        ->capture_default_str();
    cmd.add_flag("--skip-bad-rows", req_.skipBadRows,
                 t("load the good failure rows of a file with bad ones (default: refuse the file)",
                   "загрузить исправные строки отказов файла со строками с ошибками (по умолчанию файл не "
                   "загружается)"));
    cmd.add_option("--models", req_.models,
                   withGen ? t("models to fit, from 1.1,1.2,2,3,gen", "модели: 1.1, 1.2, 2, 3, gen через запятую")
                           : t("models to fit, from 1.1,1.2,2,3", "модели: 1.1, 1.2, 2, 3 через запятую"))
        ->capture_default_str();
    cmd.add_flag("--fit-sred", req_.fitSred,
                 t("also fit the mean warranty end time", "подбор среднего времени гарантии"));
    cmd.add_flag("--fit-sko", req_.fitSKO, t("also fit its standard deviation", "подбор СКО времени гарантии"));
    cmd.add_option("--burn-in", req_.burnIn, t("burn-in time, h", "время приработки, ч"))->capture_default_str();
    cmd.add_option("--item", req_.item,
                   t("deviation form of the Pearson criterion: 0, 1 (standard) or 2",
                     "способ подбора параметров: 0, 1 (стандарт) или 2"))
        ->capture_default_str();
    coef11_ =
        cmd.add_option("--step-coef-1.1", coef11,
                       t("step-reduction coefficient of model 1.1", "коэффициент уменьшения шага модели 1.1"));
    coef12_ =
        cmd.add_option("--step-coef-1.2", coef12,
                       t("step-reduction coefficient of model 1.2", "коэффициент уменьшения шага модели 1.2"));
    coef2_ = cmd.add_option("--step-coef-2", coef2,
                            t("step-reduction coefficient of model 2", "коэффициент уменьшения шага модели 2"));
    clock_ = cmd.add_option("--virtual-clock", clock,
                            t("elapsed time = criterion evaluations / N: repeatable fits",
                              "время подбора = число вычислений критерия / N: повторяемый результат"));
    cmd.add_option("--bootstrap", req_.bootstrap,
                   t("model 3: bootstrap replicates of its goodness of fit (0: none)",
                     "модель 3: число бутстреп-выборок критерия согласия (0 - без него)"))
        ->capture_default_str();
    cmd.add_flag("--all-causes", req_.allCauses,
                 t("model 3 per cause: fit causes with fewer than 5 failures too",
                   "модель 3 по причинам: подбирать и причины менее чем с 5 отказами"));
    seed_ = cmd.add_option("--seed", seed,
                           t("fixed seed of the optimiser and of model 3's bootstrap (default: model 3 uses 1, "
                             "the optimiser the clock)",
                             "начальное число генератора: повторяемый подбор и бутстреп"));
    if (!withGen) return;
    cmd.add_option("--population", req_.population, t("optimiser: population size", "размер популяции"))
        ->capture_default_str();
    generations_ = cmd.add_option("--generations", generations,
                                  t("optimiser: number of generations (default: as set by the load)",
                                    "число поколений (по умолчанию - как после загрузки файла)"));
    cmd.add_option("--precision", req_.precision, t("optimiser: relative precision", "точность подбора"))
        ->capture_default_str();
    cmd.add_option("--copy-count", req_.copyCount,
                   t("optimiser: members put back by a copy-back", "сколько лучших возвращать при копировании"))
        ->capture_default_str();
}

rel::FitRequest AnalysisOptions::Request() const {
    rel::FitRequest r = req_;
    auto given = [](const CLI::Option* o, const std::string& v) {
        return o && o->count() > 0 ? std::optional<std::string>(v) : std::nullopt;
    };
    r.stepCoef11 = given(coef11_, coef11);
    r.stepCoef12 = given(coef12_, coef12);
    r.stepCoef2 = given(coef2_, coef2);
    r.virtualClock = given(clock_, clock);
    r.generations = given(generations_, generations);
    r.seed = given(seed_, seed);
    r.usage = given(usage_, usage);
    return r;
}

HelpLang LangFromArgs(int argc, const char* const* argv) {
    HelpLang lang = HelpLang::Russian;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") break;
        if (a == "--lang" && i + 1 < argc)
            lang = std::string(argv[i + 1]) == "en" ? HelpLang::English : HelpLang::Russian;
        if (a.rfind("--lang=", 0) == 0) lang = a.substr(7) == "en" ? HelpLang::English : HelpLang::Russian;
    }
    return lang;
}

void SetHelpWords(CLI::App& app, HelpLang lang) {
    const bool en = lang == HelpLang::English;
    app.option_defaults()->group(en ? "Options" : "Параметры");
    app.set_help_flag("-h,--help", en ? "print this help and exit" : "показать эту справку и выйти");
    if (en) return;
    auto f = app.get_formatter();
    f->label("Usage", "Использование");
    f->label("OPTIONS", "ПАРАМЕТРЫ");
    f->label("SUBCOMMAND", "КОМАНДА");
    f->label("SUBCOMMANDS", "КОМАНДЫ");
    f->label("Positionals", "Аргументы");
    f->label("REQUIRED", "(обязателен)");
    // The library pads by bytes: a Cyrillic placeholder would push the help texts
    // out of their column, so the value placeholder is left out.
    f->label("TEXT", "");
    f->label("Needs", "Требует");
    f->label("Excludes", "Исключает");
    f->column_width(34);
}

void SetCommandWords(CLI::App& cmd, HelpLang lang) {
    cmd.group(Pick(lang, "Subcommands", "Команды"));
    cmd.set_help_flag("-h,--help", Pick(lang, "print this help and exit", "показать эту справку и выйти"));
}

std::string ParseErrorText(const CLI::ParseError& e, HelpLang lang) {
    const bool en = lang == HelpLang::English;
    const std::string what = e.what();
    auto before = [&](const std::string& marker) {
        const std::size_t at = what.find(marker);
        return at == std::string::npos ? what : what.substr(0, at);
    };
    auto after = [&](const std::string& marker) {
        const std::size_t at = what.find(marker);
        return at == std::string::npos ? what : what.substr(at + marker.size());
    };
    // The library's texts echo the arguments: a long one is cut, as the option
    // checks cut the values they refuse.
    auto shown = [](const std::string& text) { return rel::EscapeControls(rel::Excerpt(text, 200)); };
    if (dynamic_cast<const CLI::RequiredError*>(&e)) {
        if (what.find("subcommand") != std::string::npos)
            return en ? "no command given (load, crit or fit)" : "не указана команда (load, crit или fit)";
        const std::string missing = before(" is required");
        if (missing == "DATA") return en ? "no failure data file given" : "не указан файл исходных данных";
        if (missing == "--report")
            return en ? "no report file given after --report" : "не указан файл отчета после --report";
        if (missing == what) return en ? "a required argument is missing" : "не указан обязательный аргумент";
        return (en ? "missing " : "не указан ") + shown(missing);
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&e))
        return (en ? "unexpected arguments: " : "лишние аргументы: ") + shown(after(": "));
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e))
        return shown(before(":")) +
               (en ? ": no value, or more values than it takes" : ": нет значения или значений больше, чем нужно");
    if (dynamic_cast<const CLI::ValidationError*>(&e) || dynamic_cast<const CLI::ConversionError*>(&e))
        return (en ? "value refused: " : "значение не принято: ") + shown(what);
    if (dynamic_cast<const CLI::ExcludesError*>(&e))
        return (en ? "options exclude each other: " : "параметры исключают друг друга: ") + shown(what);
    return shown(what);
}

}  // namespace relcli
