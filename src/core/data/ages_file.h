// The fleet's ages file: a fleet still in service. A title line, then one line per
// product: its operating time now (h), its warranty end (h) when known ("-" or nothing
// when not), its operating hours per month when known. Columns are separated by blanks,
// tabs or ';'; decimals take a point or a comma.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/state.h"

namespace rel {

// Operating hours a month can hold at most (31 days of 24 hours).
inline constexpr double kMaxHoursPerMonth = 744.0;

// The result of a load and the texts a front end shows.
struct AgesResult {
    bool ok = false;
    std::string error;      // why nothing was loaded (ok == false)
    std::string ShortName;  // abbreviated file name
    std::string Title;
    std::string CountText;    // products read
    std::string KnownText;    // products with a known warranty end
    std::string UsageText;    // products with their hours per month
    std::string MeanAgeText;  // their mean operating time now, h
};

// Reads the bytes of an ages file into `ages` (its title and path included); returns the
// refusal naming the line, the value and the accepted range, empty on success.
// `fleet`: the data file's fleet size, which the number of products must equal.
std::string ReadAges(std::string_view bytes, const std::string& path, double fleet, FleetAges& ages);

// Reads and loads the file into the state: on success the state's ages are replaced and
// the fitted models cleared (their figures were of the fleet without ages); on any
// failure the state is left exactly as it was.
AgesResult LoadAgesFile(AnalysisState& st, const std::string& path, char decimalSep);
AgesResult LoadAgesBytes(AnalysisState& st, std::string_view bytes, const std::string& path, char decimalSep);

}  // namespace rel
