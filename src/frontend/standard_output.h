// Standard output of the command lines (relan-cli, relan --report): the results
// printed there are an output like a file, so a failed write is an error (status 4
// with a message on standard error), except a pipe its reader closed on purpose
// (`relan-cli load F | head -1`): the program then ends quietly, as on SIGPIPE.
#pragma once

#include <string>

namespace relcli {

// At the start, before any file is opened: a standard descriptor that is closed
// (`relan-cli ... >&-`) is opened on /dev/null, so that no file the program opens
// takes its place and receives its printing; a closed standard output is remembered
// as a failed output.
void GuardStandardStreams();

// Flushes standard output; a reader that closed the pipe ends the program quietly
// here; another failure is remembered for FinishStandardOutput.
void FlushStandardOutput();

// At the end: flushes standard output and, when it could not be written whole,
// prints "PROGRAM: результаты не выведены: стандартный вывод …" on standard error and
// returns kExitWrite (or `status` when that already says a failure). Otherwise
// `status`.
int FinishStandardOutput(int status, const std::string& program);

}  // namespace relcli
