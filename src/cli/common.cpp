#include "cli/common.h"

#include "cli/english.h"
#include "results/results_table.h"
#include "text/format.h"
#include "text/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace relcli {

nlohmann::json Num(double x) {
    if (!std::isfinite(x)) return nullptr;
    return x;
}

nlohmann::json Nums(const std::vector<double>& xs) {
    nlohmann::json a = nlohmann::json::array();
    for (double x : xs) a.push_back(Num(x));
    return a;
}

bool LoadInputs(rel::AnalysisState& st, const std::string& dataPath, const std::string& warrantyPath,
                char decimalSep, rel::LoadedInputs& in, rel::BadRowPolicy badRows, HelpLang lang) {
    in = rel::LoadInputs(st, dataPath, warrantyPath, decimalSep, badRows);
    // The messages name the files: a path's control characters are written out.
    // The line ends of a message of several lines stay line ends.
    auto shown = [lang](const std::string& m) {
        std::string out;
        std::size_t from = 0;
        for (std::size_t nl = m.find('\n');; nl = m.find('\n', from)) {
            out += rel::EscapeControls(m.substr(from, nl == std::string::npos ? std::string::npos : nl - from));
            if (nl == std::string::npos) break;
            out += '\n';
            from = nl + 1;
        }
        return Worded(out, lang);
    };
    const char* warning = Pick(lang, "Warning", "Предупреждение");
    if (in.data.ok && !in.data.BadRows.empty())
        std::fprintf(stderr, "%s: %s\n", warning,
                     shown(rel::BadRowsSummary(in.data.BadRows, in.data.GoodRows, dataPath)).c_str());
    if (in.data.ok)
        for (const std::string& w : in.data.Warnings) std::fprintf(stderr, "%s: %s\n", warning, shown(w).c_str());
    if (!in.error.empty()) {
        std::fprintf(stderr, "%s\n", shown(in.error).c_str());
        return false;
    }
    return true;
}

std::string Figures::operator()(const std::string& name, double x) {
    if (std::isfinite(x)) return rel::FormatGeneral(x, sep_);
    if (std::find(undefined_.begin(), undefined_.end(), name) == undefined_.end()) undefined_.push_back(name);
    return rel::kNoValue;
}

std::string Figures::Note() const {
    if (undefined_.empty()) return {};
    std::string note = std::string("«") + rel::kNoValue + "»: не определены для этих данных: ";
    for (std::size_t i = 0; i < undefined_.size(); ++i) {
        if (i > 0) note += ", ";
        note += undefined_[i];
        if (undefined_[i] == "SKO_out") note += " (нужно не менее двух отказов)";
    }
    return note;
}

void PrintJson(const nlohmann::json& j) {
    std::printf("%s\n", j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

nlohmann::json ModelRecordJson(const rel::AnalysisState& st, const rel::Mod_Weib& M, double criterion,
                               double seconds) {
    const std::size_t H = st.ArrHist.size();
    auto intervals = [H](const rel::DoubArr& a) {
        return std::vector<double>(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(std::min(H, a.size())));
    };
    nlohmann::json j = nlohmann::json::object();
    j["A"] = Num(M.A);
    j["B"] = Num(M.B);
    j["K_powtor"] = Num(M.K_powtor);
    j["Sred"] = Num(M.Sred);
    j["SKO"] = Num(M.SKO);
    j["Kol_Nakopl"] = Num(M.Kol_Nakopl);
    j["SKO_out"] = Num(M.SKO_out);
    j["Unsens"] = Num(M.Unsens);
    j["LamStart"] = Num(M.LamStart);
    j["Lam1000"] = Num(M.Lam1000);
    j["Executed"] = M.Executed;
    j["F_Weib"] = Nums(intervals(M.F_Weib));
    j["F_norm"] = Nums(intervals(M.F_norm));
    j["Kol_F_priv"] = Nums(intervals(M.Kol_F_priv));
    j["Criterion"] = Num(criterion);
    j["Seconds"] = Num(seconds);
    return j;
}

}  // namespace relcli
