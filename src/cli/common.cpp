#include "cli/common.h"

#include <cmath>

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

bool LoadInputs(rel::AnalysisState&, const std::string&, const std::string&, char,
                std::vector<std::string>*) {
    return false;  // the readers come with the data subsystem
}

}  // namespace relcli
