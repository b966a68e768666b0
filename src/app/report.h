// relan --report OUT.pdf DATA [--warranty GAR] [--models 1.1,1.2,2] [--fit-sred]
//       [--fit-sko] [--burn-in T] [--item N] [--step-coef-1.1 X] [--step-coef-1.2 X]
//       [--step-coef-2 X] [--virtual-clock N]
//
// The calculation run of "Расчет" without a window: the data file (and the warranty
// file) loaded, the chosen fits run with the window's settings after a load, and the
// results window (title line, table, three charts) written to a landscape PDF. The
// memo lines go to standard output as they come; every refusal goes to standard
// error with a non-zero exit status.
#pragma once

class QApplication;

namespace relan {

// Exit statuses of a report run.
inline constexpr int kReportOk = 0;
inline constexpr int kReportUsage = 1;   // bad options or option values
inline constexpr int kReportInput = 2;   // an input file could not be loaded
inline constexpr int kReportRun = 3;     // the calculation run stopped (bad coefficient, no failures)
inline constexpr int kReportWrite = 4;   // the PDF file could not be written

// True when the command line asks for a report ("--report" or "--report=...").
bool IsReportCall(int argc, char** argv);

// Runs the report for the application's arguments; returns the exit status.
int RunReport(QApplication& app);

}  // namespace relan
