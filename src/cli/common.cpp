#include "cli/common.h"

#include "cli/english.h"
#include "results/results_table.h"
#include "text/format.h"
#include "text/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace relcli {

bool LoadInputs(rel::AnalysisState& st, const std::string& dataPath, const std::string& warrantyPath,
                char decimalSep, rel::LoadedInputs& in, rel::BadRowPolicy badRows, HelpLang lang,
                const std::string& agesPath) {
    in = rel::LoadInputs(st, dataPath, warrantyPath, decimalSep, badRows, agesPath);
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

}  // namespace relcli
