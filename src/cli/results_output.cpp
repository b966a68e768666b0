#include "cli/results_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/common.h"
#include "stats/distrib.h"
#include "stats/mcf.h"
#include "text/text.h"

namespace relcli {

namespace {

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

std::string PadTo(const std::string& s, std::size_t width) {
    const std::size_t n = rel::Utf8Length(s);
    return n < width ? s + std::string(width - n, ' ') : s;
}

// A number as the shortest text that reads back to the same double; empty when
// the number is not finite.
std::string CsvNumber(double x) {
    if (!std::isfinite(x)) return {};
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

}  // namespace

void PrintNumericCsv(std::ostream& os, const rel::AnalysisState& st, const rel::ResultsContent& rc,
                     const rel::MlResult* ml) {
    static constexpr const char* kHeader[] = {"model",
                                              "caption",
                                              "A",
                                              "B_h",
                                              "K_powtor",
                                              "Gamma50_h",
                                              "Gamma50_observed_h",
                                              "Gamma90_h",
                                              "failures",
                                              "failures_per_divisor",
                                              "CI95_failures",
                                              "SKO_out",
                                              "Sred_h",
                                              "SKO_h",
                                              "Kolmogorov",
                                              "Kolmogorov_critical",
                                              "Kolmogorov_rejected",
                                              "LamStart_per_1000h",
                                              "Lam1000_per_1000h",
                                              "Lam_observed_per_1000h",
                                              "N2000",
                                              "N4000",
                                              "N6000",
                                              "A_lo",
                                              "A_hi",
                                              "B_lo_h",
                                              "B_hi_h",
                                              "K_powtor_lo",
                                              "K_powtor_hi",
                                              "N2000_lo",
                                              "N2000_hi",
                                              "N4000_lo",
                                              "N4000_hi",
                                              "N6000_lo",
                                              "N6000_hi",
                                              "Gamma50_lo_h",
                                              "Gamma50_hi_h",
                                              "Gamma90_lo_h",
                                              "Gamma90_hi_h",
                                              "warranty_source"};
    // A fleet in service adds model 3's claims still to come under warranty, in all and
    // over the forecast's months, with their 95 % predictive intervals.
    const bool inService = ml && ml->ok && ml->Forecast.InService;
    std::vector<std::string> header(std::begin(kHeader), std::end(kHeader));
    if (inService)
        for (const char* h : {"claims_to_come", "claims_to_come_lo", "claims_to_come_hi", "claims_horizon",
                              "claims_horizon_lo", "claims_horizon_hi", "horizon_months"})
            header.push_back(h);
    // Model 3 per cause adds each cause's expected claims within warranty per product
    // with their interval and its share, and the test of one law for all causes.
    const rel::MlCauses* causes = ml && ml->ok && !ml->Causes.causes.empty() ? &ml->Causes : nullptr;
    if (causes)
        for (const char* h : {"claims_within_warranty", "claims_within_warranty_lo", "claims_within_warranty_hi",
                              "cause_share", "chi2", "df", "p"})
            header.push_back(h);
    const std::size_t kCols = header.size();
    auto put = [&os](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) os << (i ? "," : "") << CsvField(cells[i]);
        os << '\n';
    };
    put(header);
    auto at = [&header, kCols](const char* name) {
        for (std::size_t i = 0; i < kCols; ++i)
            if (header[i] == name) return i;
        return kCols;  // not reached: every name is in the header
    };
    const double nan = std::nan("");
    const rel::ResultsTable& t = rc.Table;
    for (const rel::ResultModelColumn& mc : t.Models) {
        const rel::Mod_Weib* rec = st.ModelNamed(mc.record);
        if (!rec) continue;
        const rel::Mod_Weib& M = *rec;
        const bool isML = mc.record == "ModML" && ml;
        const bool ridge = isML && !ml->Separable;
        std::vector<std::string> row(kCols);
        auto set = [&](const char* name, double x) { row[at(name)] = CsvNumber(x); };
        row[0] = mc.record;
        row[1] = mc.caption;
        row[at("warranty_source")] = mc.WarrantySource;
        set("A", M.A);
        set("B_h", ridge ? nan : M.B);
        set("K_powtor", ridge ? nan : M.K_powtor);
        set("Gamma50_h", isML ? ml->Gamma50.est : rel::WeibQuantile(M.A, M.B, 0.5 / M.K_powtor));
        set("Gamma90_h", isML ? ml->Gamma90.est : rel::WeibQuantile(M.A, M.B, 0.1 / M.K_powtor));
        set("failures", M.Kol_Nakopl);
        set("failures_per_divisor", M.Kol_Nakopl / st.DelitOtk);
        set("CI95_failures", 1.96 * M.SKO_out);
        set("SKO_out", M.SKO_out);
        set("Sred_h", M.Sred);
        set("SKO_h", M.SKO);
        set("Kolmogorov", mc.KolmCrt);
        set("Kolmogorov_critical", mc.KolmTxt.empty() ? nan : 1.3581);
        row[at("Kolmogorov_rejected")] = mc.KolmTxt.empty() ? "" : (mc.Rejected ? "1" : "0");
        set("LamStart_per_1000h", M.LamStart);
        set("Lam1000_per_1000h", M.Lam1000);
        set("N2000", isML ? ml->N2000.est : M.K_powtor * rel::WeibInterval(M.A, M.B, 0.0, 2000.0));
        set("N4000", isML ? ml->N4000.est : M.K_powtor * rel::WeibInterval(M.A, M.B, 0.0, 4000.0));
        set("N6000", isML ? ml->N6000.est : M.K_powtor * rel::WeibInterval(M.A, M.B, 0.0, 6000.0));
        if (isML) {
            set("A_lo", ml->IntA.lo);
            set("A_hi", ml->IntA.hi);
            set("B_lo_h", ml->IntB.lo);
            set("B_hi_h", ml->IntB.hi);
            set("K_powtor_lo", ml->IntK.lo);
            set("K_powtor_hi", ml->IntK.hi);
            set("N2000_lo", ml->N2000.lo);
            set("N2000_hi", ml->N2000.hi);
            set("N4000_lo", ml->N4000.lo);
            set("N4000_hi", ml->N4000.hi);
            set("N6000_lo", ml->N6000.lo);
            set("N6000_hi", ml->N6000.hi);
            set("Gamma50_lo_h", ml->Gamma50.lo);
            set("Gamma50_hi_h", ml->Gamma50.hi);
            set("Gamma90_lo_h", ml->Gamma90.lo);
            set("Gamma90_hi_h", ml->Gamma90.hi);
            if (inService) {
                const rel::MlForecast& f = ml->Forecast;
                set("claims_to_come", f.Remaining.est);
                set("claims_to_come_lo", f.Remaining.lo);
                set("claims_to_come_hi", f.Remaining.hi);
                if (!f.Months.empty()) {
                    set("claims_horizon", f.Months.back().Cumulative);
                    set("claims_horizon_lo", f.Months.back().CumLo);
                    set("claims_horizon_hi", f.Months.back().CumHi);
                    set("horizon_months", f.Months.back().Month);
                }
            }
        }
        put(row);
    }
    // Model 3 per cause: a row a cause, then the test.
    if (causes) {
        for (const rel::MlCauseFit& c : causes->causes) {
            std::vector<std::string> row(kCols);
            auto set = [&](const char* name, double x) { row[at(name)] = CsvNumber(x); };
            row[0] = "cause " + std::to_string(c.cause);
            row[1] = c.name;
            set("failures", c.failures);
            if (c.fitted) {
                set("A", c.A);
                set("A_lo", c.IntA.lo);
                set("A_hi", c.IntA.hi);
                set("B_h", c.Separable ? c.B : nan);
                set("K_powtor", c.Separable ? c.K : nan);
                set("B_lo_h", c.IntB.lo);
                set("B_hi_h", c.IntB.hi);
                set("N2000", c.N2000.est);
                set("N2000_lo", c.N2000.lo);
                set("N2000_hi", c.N2000.hi);
                set("N4000", c.N4000.est);
                set("N4000_lo", c.N4000.lo);
                set("N4000_hi", c.N4000.hi);
            }
            set("claims_within_warranty", c.Claims.est);
            set("claims_within_warranty_lo", c.Claims.lo);
            set("claims_within_warranty_hi", c.Claims.hi);
            set("cause_share", c.Share);
            put(row);
        }
        if (causes->tested) {
            std::vector<std::string> row(kCols);
            row[0] = "causes_test";
            row[1] = causes->Differ ? "differ" : "same";
            row[at("chi2")] = CsvNumber(causes->Chi2);
            row[at("df")] = CsvNumber(causes->Df);
            row[at("p")] = CsvNumber(causes->P);
            put(row);
        }
    }
    // The figures of the operational data.
    std::vector<std::string> row(kCols);
    auto set = [&](const char* name, double x) { row[at(name)] = CsvNumber(x); };
    row[0] = "data";
    row[1] = rel::Trim(t.Cell(t.ColRes, 0).text);
    set("Gamma50_h", st.Gamma50Cenz);
    set("Gamma50_observed_h", st.Gamma50Nabl);
    set("Gamma90_h", st.Gamma90);
    set("failures", st.KolOtkNez);
    set("Lam_observed_per_1000h", t.LamData);
    set("N2000", st.Otk2000);
    put(row);
    // The mean cumulative function at 2000, 4000 and 6000 h with its band, where
    // products are still observed then.
    std::vector<std::string> mcf(kCols);
    mcf[0] = "mcf";
    mcf[1] = "MCF";
    for (const auto& [name, at_t] : {std::pair{"N2000", 2000.0}, {"N4000", 4000.0}, {"N6000", 6000.0}}) {
        const std::optional<rel::McfPoint> p = rel::McfPointAt(rc.MCF, at_t);
        if (!p) continue;
        const std::string n = name;
        mcf[at(n.c_str())] = CsvNumber(p->Value);
        mcf[at((n + "_lo").c_str())] = CsvNumber(p->Lo);
        mcf[at((n + "_hi").c_str())] = CsvNumber(p->Hi);
    }
    put(mcf);
}

void PrintResultsTable(std::ostream& os, const rel::ResultsContent& rc, bool csv) {
    const rel::ResultsTable& t = rc.Table;
    if (csv) {
        for (int row = 0; row < rel::kResRows; ++row) {
            for (int c = 0; c < t.ShownColumns(); ++c) {
                if (c > 0) os << ',';
                os << CsvField(t.Cell(c, row).text);
            }
            os << '\n';
        }
        return;
    }
    const int cols = std::clamp(t.ColRes + 1, 1, rel::kResCols);
    std::vector<std::size_t> width(static_cast<std::size_t>(cols), 0);
    for (int c = 0; c < cols; ++c)
        for (int row = 0; row < rel::kResRows; ++row)
            width[static_cast<std::size_t>(c)] =
                std::max(width[static_cast<std::size_t>(c)], rel::Utf8Length(t.Cell(c, row).text));
    for (int row = 0; row < rel::kResRows; ++row) {
        std::string line;
        for (int c = 0; c < cols; ++c) {
            if (c > 0) line += " | ";
            line += PadTo(t.Cell(c, row).text, width[static_cast<std::size_t>(c)]);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        os << line << '\n';
        if (row == 0) {
            std::string rule;
            for (int c = 0; c < cols; ++c) {
                if (c > 0) rule += "-+-";
                rule += std::string(width[static_cast<std::size_t>(c)], '-');
            }
            os << rule << '\n';
        }
    }
}

}  // namespace relcli
