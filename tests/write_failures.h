// Runs a program that writes a file while the write cannot succeed, and reports what
// the target's folder held afterwards: the outputs' tests of relan-cli and of
// relan --report share it.
//
// Two ways to make a write fail:
//  - a full disc: the target's folder is a 64 KB tmpfs in a private mount namespace
//    (unshare -m), filled before the program starts; only where the machine lets a
//    test mount one (root, unshare permitted), else the case is skipped;
//  - a file size limit (ulimit -f): every write beyond 4 KB fails with EFBIG; this
//    one works everywhere.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace relan::writes {

namespace fs = std::filesystem;

// A command's outcome: its exit status (-1 when a signal ended it), the signal, and
// its outputs.
struct Run {
    int status = -1;
    int signal = 0;
    std::string out, err;
};

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Runs `script` with bash; standard output and standard error are kept.
inline Run Bash(const std::string& script, const fs::path& scratch) {
    const fs::path out = scratch / "bash.out", err = scratch / "bash.err";
    Run r;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(o, 1);
        ::dup2(e, 2);
        ::execl("/bin/bash", "bash", "-c", script.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int st = 0;
    ::waitpid(pid, &st, 0);
    if (WIFEXITED(st)) r.status = WEXITSTATUS(st);
    if (WIFSIGNALED(st)) r.signal = WTERMSIG(st);
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    fs::remove(out);
    fs::remove(err);
    return r;
}

enum class Failure { FullDisc, SizeLimit };

inline const char* Name(Failure f) { return f == Failure::FullDisc ? "full disc" : "file size limit"; }

// Whether this machine lets a test mount a private tmpfs.
inline bool FullDiscPossible(const fs::path& scratch) {
    if (::geteuid() != 0) return false;
    const fs::path probe = scratch / "mount-probe";
    fs::create_directories(probe);
    const Run r = Bash("unshare -m sh -c " +
                           Quote("mount -t tmpfs -o size=64k tmpfs " + Quote(probe.string()) + " && umount " +
                                 Quote(probe.string())) +
                           " 2>/dev/null",
                       scratch);
    fs::remove(probe);
    return r.status == 0;
}

// What a failing write left.
struct Left {
    Run run;                          // the program's outcome (status, messages)
    bool targetThere = false;         // the target exists afterwards
    std::string target;               // its bytes then
    std::vector<std::string> others;  // every other name in its folder
};

// Runs `command` (bash; "{DIR}" in it is the target's folder) with the target's folder
// failing as `failure` says; the target `name` holds `old` before.
inline Left WriteFailing(Failure failure, const std::string& command, const std::string& name,
                         const std::string& old, const fs::path& scratch) {
    const fs::path dir = scratch / "target", keep = scratch / "kept";
    fs::remove_all(dir);
    fs::remove_all(keep);
    fs::create_directories(dir);
    fs::create_directories(keep);
    std::string run = command;
    for (std::size_t at; (at = run.find("{DIR}")) != std::string::npos;) run.replace(at, 5, Quote(dir.string()));
    const std::string d = Quote(dir.string()), k = Quote(keep.string());
    std::string script;
    if (failure == Failure::FullDisc) {
        // Inside the namespace: the old file, the disc filled, the program, then what
        // the folder holds is copied out before the tmpfs goes.
        const std::string inside = "mount -t tmpfs -o size=64k tmpfs " + d + " || exit 99\n" + "cat " +
                                   Quote((keep / "old").string()) + " > " + d + "/" + Quote(name) + "\n" +
                                   "dd if=/dev/zero of=" + d + "/.fill bs=1k count=128 2>/dev/null\n" + run +
                                   "\necho $? > " + k + "/status\n" + "cp -a " + d + "/. " + k + "/after/\n" +
                                   "umount " + d + "\n";
        script = "mkdir -p " + k + "/after && unshare -m bash -c " + Quote(inside);
    } else {
        script = "cat " + Quote((keep / "old").string()) + " > " + d + "/" + Quote(name) + "\n" +
                 "(ulimit -f 4; " + run + "); echo $? > " + k + "/status; mkdir -p " + k + "/after; cp -a " + d +
                 "/. " + k + "/after/";
    }
    WriteFile(keep / "old", old);
    Left left;
    const Run outer = Bash(script, scratch);
    left.run = outer;
    left.run.status = std::atoi(ReadFile(keep / "status").c_str());
    if (!fs::exists(keep / "status")) left.run.status = -1;
    const fs::path after = keep / "after";
    left.targetThere = fs::exists(after / name);
    if (left.targetThere) left.target = ReadFile(after / name);
    if (fs::exists(after))
        for (const auto& e : fs::directory_iterator(after)) {
            const std::string n = e.path().filename().string();
            if (n != name && n != ".fill") left.others.push_back(n);
        }
    std::sort(left.others.begin(), left.others.end());
    return left;
}

}  // namespace relan::writes
