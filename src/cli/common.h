// Shared pieces of the command-line tool: loading the input files with the readers'
// messages on standard error, and writing numbers into JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/load.h"
#include "frontend/exit_codes.h"
#include "frontend/analysis_options.h"
#include "data/state.h"
#include "export/results_json.h"

namespace relcli {

// Loads the data file (and the warranty file after it, when its path is not empty)
// into the state: the reader's line messages, its warnings ("Предупреждение: ...")
// and a refusal go to standard error. False when a file could not be loaded; the
// state is then as before.
// What --skip-bad-rows asks of the load.
inline rel::BadRowPolicy BadRows(bool skip) { return skip ? rel::BadRowPolicy::Skip : rel::BadRowPolicy::Refuse; }
inline std::string SkipBadRowsHelp(HelpLang lang) {
    return Pick(lang, "load the good failure rows of a file with bad ones (default: refuse the file)",
                "загрузить исправные строки отказов файла со строками с ошибками (по умолчанию файл не "
                "загружается)");
}

bool LoadInputs(rel::AnalysisState& st, const std::string& dataPath, const std::string& warrantyPath,
                char decimalSep, rel::LoadedInputs& in, rel::BadRowPolicy badRows, HelpLang lang,
                const std::string& agesPath = {});

// Numbers of the text output: the general text, or "—" for a figure the data leave
// undefined; the figures shown as "—" are named once at the end (Note()).
class Figures {
public:
    explicit Figures(char sep) : sep_(sep) {}
    std::string operator()(const std::string& name, double x);
    // "«—»: не определены для этих данных: SKO_out (нужно не менее двух отказов)";
    // empty when every figure was defined.
    std::string Note() const;

private:
    char sep_;
    std::vector<std::string> undefined_;
};

// One JSON object on a line of standard output.
void PrintJson(const nlohmann::json& j);

}  // namespace relcli
