#include "frontend/file_write.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace relcli {

namespace {

// Reasons that are not the system's error numbers.
constexpr const char* kShort = "файл записан не полностью";
constexpr const char* kPdfOpen = "документ PDF не завершен";
constexpr const char* kZipOpen = "архив книги Excel не завершен";
constexpr const char* kNoName = "не указано имя файла";
constexpr const char* kOther = "системная ошибка";

struct ErrorText {
    int error;
    const char* text;
};
// The system's errors a write meets, in the user's words.
constexpr ErrorText kErrors[] = {
    {ENOSPC, "нет места на диске"},
    {EDQUOT, "превышена квота на диске"},
    {EACCES, "нет прав на запись"},
    {EPERM, "нет прав на запись"},
    {EROFS, "диск доступен только для чтения"},
    {ENOENT, "папка не существует"},
    {ENOTDIR, "часть пути не является папкой"},
    {EISDIR, "это папка, а не файл"},
    {ENAMETOOLONG, "слишком длинное имя файла"},
    {ELOOP, "в пути петля символических ссылок"},
    {EIO, "ошибка ввода-вывода"},
    {EFBIG, "файл больше допустимого размера"},
    {EMFILE, "открыто слишком много файлов"},
    {ENFILE, "открыто слишком много файлов"},
    {ETXTBSY, "файл занят"},
    {EBUSY, "файл занят"},
    {ENOMEM, "недостаточно памяти"},
    {EPIPE, "читающая программа закрыла канал"},
    {EBADF, "вывод закрыт"},
    {ENXIO, "устройство недоступно"},
};

// ----- Temporary files removed on an interrupt --------------------------------------
//
// A fixed table the signal handler can read without taking a lock: a slot is
// claimed (1), its path copied, then published as a file (2) or a work folder (3);
// the handler removes the published ones. A work folder holds the files of a
// library that writes the contents (it removes their names as it makes them, but an
// interrupt may fall between): the handler empties it with the system's calls alone,
// as a handler must.
constexpr int kSlots = 16;
struct Slot {
    std::atomic<int> state{0};
    char path[PATH_MAX];
};
Slot gSlots[kSlots];
alignas(8) char gEntries[4096];

void EmptyAndRemoveFolder(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        for (;;) {
            const long n = ::syscall(SYS_getdents64, fd, gEntries, sizeof gEntries);
            if (n <= 0) break;
            for (long at = 0; at < n;) {
                // struct linux_dirent64: inode (8), offset (8), record length (2), type (1), name.
                unsigned short len = 0;
                std::memcpy(&len, gEntries + at + 16, sizeof len);
                const char* name = gEntries + at + 19;
                if (!(name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))))
                    ::unlinkat(fd, name, 0);
                at += len;
            }
        }
        ::close(fd);
    }
    ::rmdir(path);
}

extern "C" void RemoveTempsAndEnd(int sig) {
    for (Slot& s : gSlots) {
        const int state = s.state.load(std::memory_order_acquire);
        if (state == 2) ::unlink(s.path);
        if (state == 3) EmptyAndRemoveFolder(s.path);
    }
    // The signal's own ending: the handler was reset on entry (SA_RESETHAND).
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void InstallHandlers() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0) continue;
        // A signal the program (or whoever started it) set aside or handles stays so.
        if ((old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL) continue;
        struct sigaction act {};
        act.sa_handler = &RemoveTempsAndEnd;
        sigemptyset(&act.sa_mask);
        act.sa_flags = SA_RESETHAND | SA_RESTART;
        ::sigaction(sig, &act, nullptr);
    }
}

int Claim(const std::string& path, int kind = 2) {
    // At each file: a signal put back to its default since is taken again.
    InstallHandlers();
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (gSlots[i].state.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) {
            std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
            gSlots[i].state.store(kind, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void Free(int slot) {
    if (slot >= 0) gSlots[slot].state.store(0, std::memory_order_release);
}

// ----- Small system helpers ----------------------------------------------------------

bool WriteAll(int fd, const char* data, std::size_t size, int& error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAt(int fd, std::uint64_t offset, std::size_t size, std::string& out) {
    out.resize(size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, out.data() + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

int CloseChecked(int fd) {
    // A close that reports an error still frees the descriptor (Linux): no retry.
    return ::close(fd) == 0 ? 0 : errno;
}

std::uint64_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The folder and the name of `path` ("." for a name without a folder).
void SplitPath(const std::string& path, std::string& folder, std::string& base) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        base = path;
    } else {
        folder = slash == 0 ? std::string("/") : path.substr(0, slash);
        base = path.substr(slash + 1);
    }
}

// Where the file goes and how: a regular file (or none yet) is replaced through a
// temporary file; anything else is written directly.
struct Target {
    std::string path;  // the file renamed over (a symbolic link's target)
    bool direct = false;
};

WriteOutcome ResolveTarget(const std::string& given, Target& t) {
    if (given.empty()) return WriteOutcome::Failed(kNoName);
    t.path = given;
    t.direct = false;
    // The system's devices and a process's descriptors (/dev/stdout, /proc/self/fd/1)
    // are written through, never replaced.
    if (StartsWith(given, "/dev/") || StartsWith(given, "/proc/")) {
        struct stat st {};
        if (::stat(given.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return WriteOutcome::Failed(ReasonForError(EISDIR), EISDIR);
        t.direct = true;
        return WriteOutcome::Done();
    }
    struct stat st {};
    if (::stat(given.c_str(), &st) != 0) {
        const int e = errno;
        if (e != ENOENT) return WriteOutcome::Failed(ReasonForError(e), e);
        return WriteOutcome::Done();  // a new file (or a link to none): made where named
    }
    if (S_ISDIR(st.st_mode)) return WriteOutcome::Failed(ReasonForError(EISDIR), EISDIR);
    if (!S_ISREG(st.st_mode)) {
        t.direct = true;
        return WriteOutcome::Done();
    }
    struct stat lst {};
    if (::lstat(given.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        // The file the link names is replaced; the link stays.
        if (char* real = ::realpath(given.c_str(), nullptr)) {
            t.path = real;
            std::free(real);
        }
    }
    return WriteOutcome::Done();
}

WriteOutcome WriteDirect(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    int e = 0;
    if (!WriteAll(fd, bytes.data(), bytes.size(), e)) {
        ::close(fd);
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd) != 0) {
        e = errno;
        ::close(fd);
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    if ((e = CloseChecked(fd)) != 0) return WriteOutcome::Failed(ReasonForError(e), e);
    return WriteOutcome::Done();
}

std::string RandomSuffix() {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 gen{std::random_device{}() ^ static_cast<unsigned>(::getpid())};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kChars) - 2);
    std::string s(6, 'x');
    for (char& c : s) c = kChars[pick(gen)];
    return s;
}

}  // namespace

// ----- Reasons -------------------------------------------------------------------------

const std::vector<const char*>& WriteReasons() {
    static const std::vector<const char*> all = [] {
        std::vector<const char*> v{kShort, kPdfOpen, kZipOpen, kNoName, kOther, kWorkbookNotMade, kNotDrawn};
        for (const ErrorText& e : kErrors) {
            bool seen = false;
            for (const char* t : v) seen = seen || std::strcmp(t, e.text) == 0;
            if (!seen) v.push_back(e.text);
        }
        return v;
    }();
    return all;
}

const char* ReasonForError(int error) {
    for (const ErrorText& e : kErrors)
        if (e.error == error) return e.text;
    return kOther;
}

bool KnownError(int error) {
    for (const ErrorText& e : kErrors)
        if (e.error == error) return true;
    return false;
}

std::string ReasonText(const WriteOutcome& outcome) {
    if (outcome.ok) return {};
    const char* reason = outcome.reason ? outcome.reason : kOther;
    std::string text = reason;
    if (std::strcmp(reason, kOther) == 0 && outcome.error != 0) text += " " + std::to_string(outcome.error);
    return text;
}

std::string FailureMessage(const std::string& path, const WriteOutcome& outcome) {
    return "Файл «" + path + "» не записан: " + ReasonText(outcome);
}

// ----- Checks of a finished file -------------------------------------------------------

const char* PdfCheck(std::string_view b) {
    std::size_t end = b.size();
    while (end > 0 && (b[end - 1] == '\n' || b[end - 1] == '\r' || b[end - 1] == ' ')) --end;
    const std::string_view eof = "%%EOF";
    if (end < eof.size() || b.substr(end - eof.size(), eof.size()) != eof) return kPdfOpen;
    const std::size_t from = end > 1024 ? end - 1024 : 0;
    const std::size_t at = b.rfind("startxref", end);
    if (at == std::string_view::npos || at < from) return kPdfOpen;
    std::size_t i = at + 9;
    while (i < end && (b[i] == '\n' || b[i] == '\r' || b[i] == ' ')) ++i;
    std::uint64_t offset = 0;
    std::size_t digits = 0;
    for (; i < end && b[i] >= '0' && b[i] <= '9' && digits < 19; ++i, ++digits)
        offset = offset * 10 + static_cast<std::uint64_t>(b[i] - '0');
    if (digits == 0 || offset >= at) return kPdfOpen;
    // The cross-reference table (or stream) the trailer points at.
    const std::string_view xref = b.substr(static_cast<std::size_t>(offset), 32);
    if (StartsWith(xref, "xref")) return nullptr;
    std::size_t k = 0;
    while (k < xref.size() && ((xref[k] >= '0' && xref[k] <= '9') || xref[k] == ' ')) ++k;
    if (k > 0 && StartsWith(xref.substr(k), "obj")) return nullptr;
    return kPdfOpen;
}

FileCheck PdfFileCheck() {
    return [](int fd, std::uint64_t size) -> const char* {
        // A report page is a few hundred kilobytes: read whole and checked as text.
        std::string bytes;
        if (!ReadAt(fd, 0, static_cast<std::size_t>(size), bytes)) return kPdfOpen;
        return PdfCheck(bytes);
    };
}

FileCheck ZipFileCheck() {
    return [](int fd, std::uint64_t size) -> const char* {
        // The end record (22 bytes and a comment of up to 65535) closes the archive.
        constexpr std::uint64_t kEnd = 22;
        if (size < kEnd) return kZipOpen;
        const std::uint64_t tail = std::min<std::uint64_t>(size, kEnd + 65535 + 20);
        std::string b;
        if (!ReadAt(fd, size - tail, static_cast<std::size_t>(tail), b)) return kZipOpen;
        std::size_t pos = std::string::npos;
        for (std::size_t i = b.size() - kEnd + 1; i-- > 0;) {
            if (Le(b, i, 4) == 0x06054b50 && i + kEnd + Le(b, i + 20, 2) == b.size()) {
                pos = i;
                break;
            }
        }
        if (pos == std::string::npos) return kZipOpen;
        const std::uint64_t endAt = size - tail + pos;
        std::uint64_t entries = Le(b, pos + 10, 2);
        std::uint64_t dirSize = Le(b, pos + 12, 4);
        std::uint64_t dirAt = Le(b, pos + 16, 4);
        std::uint64_t dirEnd = endAt;  // where the directory must end
        if (entries == 0xFFFF || dirSize == 0xFFFFFFFF || dirAt == 0xFFFFFFFF) {
            // A large archive: the zip64 locator before the end record names the zip64
            // end record, which holds the directory's place.
            if (pos < 20 || Le(b, pos - 20, 4) != 0x07064b50) return kZipOpen;
            const std::uint64_t rec = Le(b, pos - 20 + 8, 8);
            std::string z;
            if (rec + 56 > endAt || !ReadAt(fd, rec, 56, z) || Le(z, 0, 4) != 0x06064b50) return kZipOpen;
            entries = Le(z, 32, 8);
            dirSize = Le(z, 40, 8);
            dirAt = Le(z, 48, 8);
            dirEnd = rec;
        }
        if (entries == 0 || dirAt + dirSize != dirEnd) return kZipOpen;
        std::string head;
        if (!ReadAt(fd, dirAt, 4, head) || Le(head, 0, 4) != 0x02014b50) return kZipOpen;
        return nullptr;
    };
}

// ----- The temporary file and its commit ------------------------------------------------

TempFileGuard::~TempFileGuard() {
    if (path_.empty()) return;
    if (folder_) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    } else {
        ::unlink(path_.c_str());
    }
    Free(slot_);
}

void TempFileGuard::Adopt(const std::string& path) {
    Release();
    path_ = path;
    slot_ = Claim(path_);
}

void TempFileGuard::Release() {
    Free(slot_);
    slot_ = -1;
    path_.clear();
    folder_ = false;
}

WriteOutcome TempFileGuard::CreateFolder(const std::string& folder, const std::string& base) {
    Release();
    const std::string stem = base.substr(0, std::min<std::size_t>(base.size(), 200));
    std::string dir = folder.empty() ? std::string(".") : folder;
    if (dir.back() != '/') dir += '/';
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = dir + stem + "." + RandomSuffix() + ".work";
        const int slot = Claim(name, 3);
        if (::mkdir(name.c_str(), 0700) == 0) {
            path_ = name;
            slot_ = slot;
            folder_ = true;
            return WriteOutcome::Done();
        }
        const int e = errno;
        Free(slot);
        if (e == EINTR || e == EEXIST) continue;
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    return WriteOutcome::Failed(ReasonForError(EEXIST), EEXIST);
}

WriteOutcome TempFileGuard::Create(const std::string& folder, const std::string& base) {
    Release();
    // The temporary file's name: the target's (shortened so that the suffix still
    // fits the system's limit on a name) and a random part.
    const std::string stem = base.substr(0, std::min<std::size_t>(base.size(), 200));
    std::string dir = folder.empty() ? std::string(".") : folder;
    if (dir.back() != '/') dir += '/';
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = dir + stem + "." + RandomSuffix() + ".part";
        // Known to the handler first: an interrupt between the two leaves nothing.
        const int slot = Claim(name);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            path_ = name;
            slot_ = slot;
            return WriteOutcome::Done();
        }
        const int e = errno;
        Free(slot);
        if (e == EINTR || e == EEXIST) continue;
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    return WriteOutcome::Failed(ReasonForError(EEXIST), EEXIST);
}

WriteOutcome CommitTemp(const std::string& tempPath, const std::string& target, std::int64_t expectedSize,
                        const FileCheck& check) {
    const int fd = ::open(tempPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    auto fail = [fd](const char* reason, int error) {
        ::close(fd);
        return WriteOutcome::Failed(reason, error);
    };
    // On the disc before it replaces anything: a full disc may refuse only now.
    if (::fsync(fd) != 0) return fail(ReasonForError(errno), errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(ReasonForError(errno), errno);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (expectedSize >= 0 ? size != static_cast<std::uint64_t>(expectedSize) : size == 0) return fail(kShort, 0);
    if (check) {
        if (const char* why = check(fd, size)) return fail(why, 0);
    }
    // A replaced file keeps its permissions (and its group, where allowed).
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);
        if (old.st_gid != st.st_gid || old.st_uid != st.st_uid) [[maybe_unused]]
            const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ::close(fd);
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const int e = errno;
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    // The new name on the disc too (a folder that cannot be synced is no error).
    std::string folder, base;
    SplitPath(target, folder, base);
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return WriteOutcome::Done();
}

WriteOutcome WriteWholeFile(const std::string& path, std::string_view bytes, const FileCheck& check) {
    Target t;
    if (WriteOutcome r = ResolveTarget(path, t); !r) return r;
    if (t.direct) return WriteDirect(t.path, bytes);
    std::string folder, base;
    SplitPath(t.path, folder, base);
    TempFileGuard guard;
    if (WriteOutcome r = guard.Create(folder, base); !r) return r;
    const std::string& temp = guard.Path();
    const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return WriteOutcome::Failed(ReasonForError(errno), errno);
    int e = 0;
    if (!WriteAll(fd, bytes.data(), bytes.size(), e)) {
        ::close(fd);
        return WriteOutcome::Failed(ReasonForError(e), e);
    }
    if ((e = CloseChecked(fd)) != 0) return WriteOutcome::Failed(ReasonForError(e), e);
    if (WriteOutcome r = CommitTemp(temp, t.path, static_cast<std::int64_t>(bytes.size()), check); !r) return r;
    guard.Release();
    return WriteOutcome::Done();
}

WriteOutcome CheckWritable(const std::string& path) {
    Target t;
    if (WriteOutcome r = ResolveTarget(path, t); !r) return r;
    if (t.direct) return WriteOutcome::Done();
    std::string folder, base;
    SplitPath(t.path, folder, base);
    TempFileGuard probe;  // removed as it goes
    return probe.Create(folder, base);
}

WriteOutcome WriteWholeFileWith(const std::string& path, const FileProducer& produce, const FileCheck& check) {
    Target t;
    if (WriteOutcome r = ResolveTarget(path, t); !r) return r;
    std::string folder, base;
    SplitPath(t.path, folder, base);
    if (t.direct) {
        // Made whole in the temporary folder first, then copied to the device.
        const char* tmp = std::getenv("TMPDIR");
        folder = tmp && *tmp ? tmp : "/tmp";
        base = "relan";
    }
    TempFileGuard guard;
    if (WriteOutcome r = guard.Create(folder, base); !r) return r;
    const std::string temp = guard.Path();
    if (WriteOutcome r = produce(temp); !r) return r;
    if (!t.direct) {
        if (WriteOutcome r = CommitTemp(temp, t.path, -1, check); !r) return r;
        guard.Release();
        return WriteOutcome::Done();
    }
    const int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return WriteOutcome::Failed(ReasonForError(errno), errno);
    struct stat st {};
    std::string bytes;
    const bool read = ::fstat(fd, &st) == 0 && ReadAt(fd, 0, static_cast<std::size_t>(st.st_size), bytes);
    const char* bad = read && check ? check(fd, static_cast<std::uint64_t>(st.st_size)) : nullptr;
    ::close(fd);
    if (!read) return WriteOutcome::Failed(kShort);
    if (bad) return WriteOutcome::Failed(bad);
    return WriteDirect(t.path, bytes);
}

}  // namespace relcli
