#include "frontend/standard_output.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "frontend/exit_codes.h"
#include "frontend/file_write.h"

namespace relcli {

namespace {

// The first failure met on standard output (the system's error number), 0 while none.
int gOutputError = 0;

[[noreturn]] void EndQuietly() {
    // As a program writing into a pipe whose reader is gone ends by default.
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    std::_Exit(128 + SIGPIPE);
}

// Whether standard output is a pipe or a socket whose reader has gone.
bool ReaderGone() {
    struct stat st {};
    if (::fstat(STDOUT_FILENO, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))) return false;
    pollfd p{STDOUT_FILENO, POLLOUT, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & (POLLERR | POLLHUP)) != 0;
}

// The reason of a failure whose error number was not kept: a regular file on a
// full disc, else an input-output error.
int Guessed() {
    struct stat st {};
    struct statvfs fs {};
    if (::fstat(STDOUT_FILENO, &st) == 0 && S_ISREG(st.st_mode) && ::fstatvfs(STDOUT_FILENO, &fs) == 0 &&
        fs.f_bavail == 0)
        return ENOSPC;
    return EIO;
}

void Remember(int error) {
    if (error == EPIPE || ReaderGone()) EndQuietly();
    if (gOutputError == 0) gOutputError = KnownError(error) ? error : Guessed();
}

}  // namespace

void GuardStandardStreams() {
    // A limit on the size of files (ulimit -f) makes a write fail like a full disc,
    // with its message, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
        if (fd == STDOUT_FILENO && gOutputError == 0) gOutputError = EBADF;
    }
}

void FlushStandardOutput() {
    // A write that failed since the last check left its reason in errno, unless
    // something else has set it since: taken when it is one of a write's.
    const int before = errno;
    if (std::ferror(stdout) && KnownError(before)) Remember(before);
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) Remember(errno);
    // The stream's own flush goes to the same descriptor (it shares standard output's
    // buffer).
    errno = 0;
    std::cout.flush();
    if (!std::cout) Remember(errno);
}

int FinishStandardOutput(int status, const std::string& program) {
    FlushStandardOutput();
    // Whatever the descriptor still holds must reach its file: a network disc may
    // refuse only at a close. A copy of the descriptor is closed, so that standard
    // output stays usable for whatever the program's end still prints.
    if (gOutputError == 0) {
        const int copy = ::dup(STDOUT_FILENO);
        if (copy >= 0 && ::close(copy) != 0) Remember(errno);
    }
    if (gOutputError == 0) return status;
    const WriteOutcome failed = WriteOutcome::Failed(ReasonForError(gOutputError), gOutputError);
    std::fprintf(stderr, "%s: результаты не выведены: стандартный вывод не записан: %s\n", program.c_str(),
                 ReasonText(failed).c_str());
    return status == kExitOk ? kExitWrite : status;
}

}  // namespace relcli
