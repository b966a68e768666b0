// relan --report OUT.pdf|OUT.svg|OUT.png DATA [--warranty GAR] [--models 1.1,1.2,2] [--fit-sred]
//       [--fit-sko] [--burn-in T] [--item N] [--step-coef-1.1 X] [--step-coef-1.2 X]
//       [--step-coef-2 X] [--virtual-clock N]
//
// The calculation run of "Расчет" without a window: the data file (and the warranty
// file) loaded, the chosen fits run with the window's settings after a load, and the
// results window (title line, table, three charts) written to a landscape page: a
// PDF, SVG or PNG file by the output file's extension. The
// memo lines go to standard output as they come; every refusal goes to standard
// error with a non-zero exit status.
#pragma once

#include "frontend/exit_codes.h"

class QApplication;
class QString;

namespace relan {

// Exit statuses of a report run: those of relan-cli.
inline constexpr int kReportOk = relcli::kExitOk;
inline constexpr int kReportUsage = relcli::kExitUsage;  // bad options or option values
inline constexpr int kReportInput = relcli::kExitInput;  // an input file could not be loaded
inline constexpr int kReportRun = relcli::kExitRun;      // the calculation run stopped (no failures to fit)
inline constexpr int kReportWrite = relcli::kExitWrite;  // the report file could not be written

// True when the command line asks for a report ("--report" or "--report=...").
bool IsReportCall(int argc, char** argv);

// "relan --help" (or "-h") alone: the usage is printed, no window is made.
bool IsHelpCall(int argc, char** argv);
// The program's usage text, in Russian.
QString UsageText();

// Runs the report for the program's arguments (`argc`, `argv` as main() received
// them); returns the exit status.
int RunReport(QApplication& app, int argc, char** argv);

}  // namespace relan
