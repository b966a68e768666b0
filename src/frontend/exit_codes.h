// Exit statuses of the command lines, the same for relan-cli and relan --report:
// one status per condition.
#pragma once

namespace relcli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;     // a bad option or option value
inline constexpr int kExitInput = 2;     // an input file could not be loaded
inline constexpr int kExitRun = 3;       // the analysis stopped: the data give nothing to fit
inline constexpr int kExitWrite = 4;     // an output file could not be written
inline constexpr int kExitInternal = 5;  // a reversed interval reached the Weibull routine

}  // namespace relcli
