// relan-cli crit DATA --B b --A a --K k [--sred s] [--sko s] [--burn-in t]
//                     [--warranty GAR] [--decimal-comma] [--json]
// Evaluates every criterion of the failure-accumulation model at one parameter
// point over the loaded data and its histogram.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "analysis/request.h"
#include "cli/common.h"
#include "cli/english.h"
#include "data/histogram.h"
#include "fit/defaults.h"
#include "text/format.h"
#include "text/text.h"
#include "stats/criteria.h"
#include "stats/distrib.h"

namespace relcli {

namespace {

struct CritOptions {
    std::string data, warranty;
    double A = 0, B = 0, K = 0;
    double sred = 0, sko = 0, burnIn = rel::defaults::kBurnIn;
    std::string textA, textB, textK, textSred, textSko, textBurnIn = rel::defaults::kBurnInText;
    bool sredGiven = false, skoGiven = false;
    bool decimalComma = false;
    bool json = false;
    bool skipBadRows = false;
    HelpLang lang = HelpLang::Russian;
};

struct CritValues {
    double pearson[3] = {};
    rel::Mod_Weib standard;  // the model record of PearsonCrit with item 1
    double hist = 0, histSKO = 0, smirnov = 0, kolm = 0, sigma = 0;
    std::string kolmTxt, confidenceLine;
    rel::Mod_Weib indicators;  // LamStart, Lam1000, SKO_out
};

CritValues Evaluate(const rel::AnalysisState& st, const CritOptions& o, double Sred, double SKO, char sep) {
    CritValues v;
    for (int item = 0; item < 3; ++item) {
        rel::Mod_Weib M;
        v.pearson[item] = rel::PearsonCrit(st, M, o.A, o.B, o.K, Sred, SKO, item);
        if (item == rel::kItemStandard) v.standard = std::move(M);
    }
    rel::Mod_Weib G;
    v.hist = rel::HistCrit(st, G, st.ArrHist, o.A, o.B, o.K, Sred, SKO);
    v.histSKO = G.SKO_out;

    rel::Mod_Weib S;  // per-failure warranty shares, as the Smirnov fit prepares them
    for (const auto& p : st.ArrProblems) S.F_norm.push_back(rel::NormF(Sred, SKO, p.time));
    v.smirnov = rel::SmirnovCrit(st, S, o.A, o.B, o.K);

    rel::KolmogorovCrit(st, v.kolm, v.kolmTxt, o.K, o.A, o.B, Sred, SKO);

    rel::Mod_Weib& M = v.indicators;
    M.A = o.A;
    M.B = o.B;
    M.K_powtor = o.K;
    M.Sred = Sred;
    M.SKO = SKO;
    const rel::Confidence c = rel::HistConfidence(st, M, sep);
    v.sigma = c.sigma;
    v.confidenceLine = c.line;
    rel::ModelIndicators(st, M, o.burnIn);
    return v;
}

// The point's figures: finite, the Weibull law's and the repetition coefficient
// positive, the warranty figures and the burn-in within 0 .. 1e9 h.
std::optional<rel::RequestError> CheckPoint(CritOptions& o) {
    constexpr double kBig = 1e9;
    if (auto e = rel::CheckNumberOption("--A", o.textA, 0, 1e3, true, "больше 0, не больше 1000", o.A)) return e;
    if (auto e = rel::CheckNumberOption("--B", o.textB, 0, 1e12, true, "больше 0, не больше 1e12 ч", o.B))
        return e;
    if (auto e = rel::CheckNumberOption("--K", o.textK, 0, 1e6, true, "больше 0, не больше 1e6", o.K)) return e;
    if (o.sredGiven)
        if (auto e = rel::CheckNumberOption("--sred", o.textSred, 0, kBig, false, "от 0 до 1e9 ч", o.sred))
            return e;
    if (o.skoGiven)
        if (auto e = rel::CheckNumberOption("--sko", o.textSko, 0, kBig, false, "от 0 до 1e9 ч", o.sko)) return e;
    return rel::CheckNumberOption("--burn-in", o.textBurnIn, 0, kBig, false, "от 0 до 1e9 ч", o.burnIn);
}

int RunCrit(CritOptions& o) {
    if (const auto bad = CheckPoint(o)) {
        std::fprintf(stderr, "relan-cli crit: %s\n", Worded(bad->message, o.lang).c_str());
        return kExitUsage;
    }
    const char sep = o.decimalComma ? ',' : '.';
    rel::AnalysisState st;
    rel::LoadedInputs in;
    if (!LoadInputs(st, o.data, o.warranty, sep, in, BadRows(o.skipBadRows), o.lang)) return kExitInput;
    rel::BuildHist(st);
    const double Sred = o.sredGiven ? o.sred : st.SredGar;
    const double SKO = o.skoGiven ? o.sko : st.SKOGar;
    const CritValues v = Evaluate(st, o, Sred, SKO, sep);

    if (o.json) {
        nlohmann::json j = nlohmann::json::object();
        j["PearsonCrit"] = nlohmann::json::array({Num(v.pearson[0]), Num(v.pearson[1]), Num(v.pearson[2])});
        j["Kol_Nakopl"] = Num(v.standard.Kol_Nakopl);
        j["Kol_F_priv"] = Nums(v.standard.Kol_F_priv);
        j["F_Weib"] = Nums(v.standard.F_Weib);
        j["F_norm"] = Nums(v.standard.F_norm);
        j["HistCrit"] = Num(v.hist);
        j["HistCrit_SKO_out"] = Num(v.histSKO);
        j["SmirnovCrit"] = Num(v.smirnov);
        j["KolmCrt"] = Num(v.kolm);
        j["KolmTxt"] = v.kolmTxt;
        j["HistConfidence"] = Num(v.sigma);
        j["LamStart"] = Num(v.indicators.LamStart);
        j["Lam1000"] = Num(v.indicators.Lam1000);
        j["SKO_out"] = Num(v.indicators.SKO_out);
        std::printf("%s\n", j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
        return kExitOk;
    }

    Figures g(sep);
    std::printf("Файл данных: %s\n", rel::EscapeControls(o.data).c_str());
    std::printf("Точка: A=%s B=%s K=%s Sred=%s SKO=%s, приработка %s ч\n", g("A", o.A).c_str(),
                g("B", o.B).c_str(), g("K", o.K).c_str(), g("Sred", Sred).c_str(), g("SKO", SKO).c_str(),
                g("приработка", o.burnIn).c_str());
    std::printf("Интервалов гистограммы: %zu\n\n", st.ArrHist.size());
    const char* items[3] = {"Специальный 1", "Стандарт", "Специальный 2"};
    for (int i = 0; i < 3; ++i)
        std::printf("PearsonCrit, пункт %d (%s): %s\n", i, items[i], g("PearsonCrit", v.pearson[i]).c_str());
    std::printf("Kol_Nakopl (пункт 1): %s\n", g("Kol_Nakopl", v.standard.Kol_Nakopl).c_str());
    std::printf("HistCrit: %s, SKO_out: %s\n", g("HistCrit", v.hist).c_str(),
                g("HistCrit SKO_out", v.histSKO).c_str());
    std::printf("SmirnovCrit: %s\n", g("SmirnovCrit", v.smirnov).c_str());
    std::printf("KolmogorovCrit: %s%s\n", g("KolmogorovCrit", v.kolm).c_str(), v.kolmTxt.c_str());
    std::printf("%s\n", v.confidenceLine.c_str());
    std::printf("LamStart: %s, Lam1000: %s, SKO_out: %s\n", g("LamStart", v.indicators.LamStart).c_str(),
                g("Lam1000", v.indicators.Lam1000).c_str(), g("SKO_out", v.indicators.SKO_out).c_str());
    if (!g.Note().empty()) std::printf("%s\n", g.Note().c_str());
    return kExitOk;
}

}  // namespace

void RegisterCrit(CLI::App& app, int& status, HelpLang lang) {
    auto o = std::make_shared<CritOptions>();
    o->lang = lang;
    auto t = [lang](const char* en, const char* ru) { return std::string(Pick(lang, en, ru)); };
    CLI::App* cmd = app.add_subcommand("crit", t("Evaluate every criterion of the model at one parameter point",
                                                 "Вычислить все критерии модели в одной точке параметров"));
    SetCommandWords(*cmd, lang);
    cmd->add_option("DATA", o->data, t("failure data file", "файл исходных данных"))->required();
    cmd->add_option("--B", o->textB, t("Weibull scale, h", "масштаб распределения Вейбулла, ч"))->required();
    cmd->add_option("--A", o->textA, t("Weibull shape", "форма распределения Вейбулла"))->required();
    cmd->add_option("--K", o->textK, t("repetition coefficient K_powtor", "коэффициент повторности K_powtor"))
        ->required();
    CLI::Option* sred = cmd->add_option("--sred", o->textSred,
                                        t("mean warranty end time, h (default: the file's)",
                                          "среднее время гарантии, ч (по умолчанию - из файла)"));
    CLI::Option* sko = cmd->add_option(
        "--sko", o->textSko,
        t("its standard deviation, h (default: the file's)", "СКО времени гарантии, ч (по умолчанию - из файла)"));
    cmd->add_option("--burn-in", o->textBurnIn, t("burn-in time, h", "время приработки, ч"))
        ->capture_default_str();
    cmd->add_option("--warranty", o->warranty,
                    t("warranty end-time file, loaded after the data file",
                      "файл времен окончания гарантии, загружается после файла данных"));
    cmd->add_flag("--decimal-comma", o->decimalComma,
                  t("write texts with a decimal comma", "писать числа с десятичной запятой"));
    cmd->add_flag("--json", o->json, t("print one JSON object", "вывести один объект JSON"));
    cmd->add_flag("--skip-bad-rows", o->skipBadRows, SkipBadRowsHelp(lang));
    cmd->callback([o, sred, sko, &status] {
        o->sredGiven = sred->count() > 0;
        o->skoGiven = sko->count() > 0;
        try {
            status = RunCrit(*o);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", Pick(o->lang, "Error", "Ошибка"), e.what());
            status = kExitInput;
        }
    });
}

}  // namespace relcli
