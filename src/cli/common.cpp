#include "cli/common.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/inputs.h"

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

bool LoadInputsDetailed(rel::AnalysisState& st, const std::string& dataPath,
                        const std::string& warrantyPath, char decimalSep, LoadedInputs& out) {
    rel::AnalysisState work = st;
    rel::LoadResult data = rel::LoadFailureFile(work, dataPath, decimalSep);
    for (const std::string& m : data.Messages) std::fprintf(stderr, "%s\n", m.c_str());
    if (!data.ok) {
        std::fprintf(stderr, "%s\n", data.error.c_str());
        return false;
    }
    for (const std::string& w : data.Warnings) std::fprintf(stderr, "Предупреждение: %s\n", w.c_str());
    out.data = std::move(data.view);
    out.messages = std::move(data.Messages);
    out.warnings = std::move(data.Warnings);
    out.warrantyLoaded = false;
    if (!warrantyPath.empty()) {
        out.warranty = rel::LoadWarrantyFile(work, warrantyPath, decimalSep);
        if (!out.warranty.ok) {
            if (out.warranty.error == rel::kWarrantyMissingText)
                std::fprintf(stderr, "%s: %s\n", warrantyPath.c_str(), out.warranty.error.c_str());
            else
                std::fprintf(stderr, "%s\n", out.warranty.error.c_str());
            return false;
        }
        out.warrantyLoaded = true;
    }
    st = std::move(work);
    return true;
}

nlohmann::json ModelRecordJson(const rel::AnalysisState& st, const rel::Mod_Weib& M,
                               double criterion, double seconds) {
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

bool LoadInputs(rel::AnalysisState& st, const std::string& dataPath,
                const std::string& warrantyPath, char decimalSep,
                std::vector<std::string>* messages) {
    LoadedInputs in;
    const bool ok = LoadInputsDetailed(st, dataPath, warrantyPath, decimalSep, in);
    if (ok && messages) *messages = std::move(in.messages);
    return ok;
}

}  // namespace relcli
