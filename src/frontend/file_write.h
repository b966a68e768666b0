// Writing an output file whole or not at all: a workbook, a report, a table, a chart
// or the settings. The new contents go to a temporary file in the target's own
// folder; it is flushed to the disc and checked (its size, and what the caller's
// check says of its end), and only then renamed over the target. Whatever fails on
// the way — a full disc, a folder that cannot be written, an interrupt — the target
// keeps its old contents and the temporary file is removed; when two programs write
// the same target, the last rename wins and each version is whole.
//
// A target that is not a regular file (a device such as /dev/full or /dev/stdout, a
// pipe) cannot be replaced: it is written directly, every write checked.
//
// Paths are the system's bytes, used as given (a name need not be UTF-8).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace relcli {

// Why a file was not written. `reason` is one of WriteReasons(), in Russian; the
// window translates it. `error` is the system's error number when it said why (it
// names an error the table has no text for).
struct WriteOutcome {
    bool ok = true;
    const char* reason = nullptr;
    int error = 0;

    static WriteOutcome Done() { return {}; }
    static WriteOutcome Failed(const char* reason, int error = 0) { return {false, reason, error}; }
    explicit operator bool() const { return ok; }
};

// A workbook the spreadsheet library could not finish for a reason the system did
// not name.
inline constexpr const char* kWorkbookNotMade = "библиотека книг Excel не смогла составить книгу";
// A page or an image that could not be drawn or encoded.
inline constexpr const char* kNotDrawn = "не удалось составить содержимое файла";

// Every reason text an outcome can carry.
const std::vector<const char*>& WriteReasons();
// The reason for the system's error number `error`; the text for an unknown error
// names its number at its end (ReasonText).
const char* ReasonForError(int error);
// Whether the table has a text of its own for `error`.
bool KnownError(int error);
// The reason as said to the user: the text, and for an error the table does not
// know, its number ("системная ошибка 1234").
std::string ReasonText(const WriteOutcome& outcome);
// "Файл «PATH» не записан: REASON".
std::string FailureMessage(const std::string& path, const WriteOutcome& outcome);

// Checks the finished temporary file before it replaces the target: `fd` is open for
// reading, `size` its length. Returns nullptr when the file is whole, else the reason.
using FileCheck = std::function<const char*(int fd, std::uint64_t size)>;

// Writes `bytes` to `path`; `check` (optional) looks at the written file as well.
WriteOutcome WriteWholeFile(const std::string& path, std::string_view bytes, const FileCheck& check = {});

// Makes the file with `produce`, which writes the whole contents to the file named
// by its argument (a temporary file in the target's folder, already created empty)
// and says whether it succeeded; then checks it with `check` and puts it in place.
// For a target that is not a regular file, the contents are made in a temporary file
// of the system's temporary folder and copied to it.
using FileProducer = std::function<WriteOutcome(const std::string& tempPath)>;
WriteOutcome WriteWholeFileWith(const std::string& path, const FileProducer& produce, const FileCheck& check = {});

// Whether `path` can be written, checked before any long work that ends in writing
// it: the target is not a folder, and its folder takes a new file (a probe file is
// created there and removed). A device or a pipe is taken as writable.
WriteOutcome CheckWritable(const std::string& path);

// A PDF document ends with its trailer: "startxref", the offset of its cross-reference
// table, and "%%EOF"; the offset must point at that table. nullptr when it does.
const char* PdfCheck(std::string_view bytes);
FileCheck PdfFileCheck();
// A zip archive (a workbook) closes with its central directory: the end record, and
// the directory where that record says it starts. nullptr when it does.
FileCheck ZipFileCheck();

// The temporary file of a write under way, beside its target: removed when the
// program is ended by SIGINT, SIGTERM or SIGHUP before it was put in place (the signal
// then ends the program as it would have), and when the guard goes without Release().
// The handlers are installed with each file, for the signals that have their default
// action then (a signal the program set aside or handles itself stays so).
class TempFileGuard {
public:
    TempFileGuard() = default;
    ~TempFileGuard();
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;

    // Creates the empty file in `folder` (its bytes; "" for the current one) for the
    // target named `base`, with the permissions a new file gets. It is known to the
    // interrupt's handler before it exists.
    WriteOutcome Create(const std::string& folder, const std::string& base);
    // Creates an empty work folder there instead, for a library's own temporary
    // files: removed with whatever it holds.
    WriteOutcome CreateFolder(const std::string& folder, const std::string& base);
    // Takes charge of a file made by someone else (it is removed like its own).
    void Adopt(const std::string& path);

    const std::string& Path() const { return path_; }
    // The file was renamed into place: nothing to remove any more.
    void Release();

private:
    std::string path_;
    int slot_ = -1;
    bool folder_ = false;
};

// Flushes `tempPath` to the disc, checks it (its size when `expectedSize` is not
// negative, then `check`), gives it the target's permissions when the target exists,
// and renames it over `target`. The temporary file is left for the caller to remove
// on failure.
WriteOutcome CommitTemp(const std::string& tempPath, const std::string& target, std::int64_t expectedSize,
                        const FileCheck& check);

}  // namespace relcli
