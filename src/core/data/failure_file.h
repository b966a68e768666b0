// The failure data file: header (title, warranty end time mean and deviation,
// fleet, declared failure count, one unused number), cause names, failure rows.
// Reading it gives the failures classified by cause and sorted by time; the
// figures derived from them are computed above this layer (stats/empirical.h) and
// the whole load that puts both into the analysis state is analysis/load.h.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/records.h"
#include "data/state.h"

namespace rel {

// What a data file holds, read and classified.
struct FailureFileData {
    std::string Title;                   // first line
    double SredGar = 0.0;                // mean warranty end time, h
    double SKOGar = 0.0;                 // its standard deviation, h
    double Park = 0.0;                   // fleet size
    int KolOtkAll = 0;                   // failure rows + 1
    int KolOtkNez = 0;                   // failures minus rejects
    int MaxPrich = 0;                    // highest cause number
    std::vector<Vid_otkaza> ArrVidFile;  // causes in file order
    std::vector<Vid_otkaza> ArrVid;      // causes 2.. ordered by count, highest first
    FailureList ArrProblems;             // sorted by time ascending (stable)
};

// A failure row whose time cannot be taken: its line, the time as written and why.
// Such a row is never loaded (as a reject or otherwise): a misprinted time would
// turn a real failure into a reject.
struct BadRow {
    std::size_t line = 0;  // from 1
    std::string value;     // the time field as written, cut for a message
    std::string why;       // the reason, in Russian
};

// What a read does with a file that has bad rows: refuse the whole file (the
// default: nothing is loaded behind the user's back), or load the good rows and
// report the bad ones.
enum class BadRowPolicy { Refuse, Skip };

struct FailureFileRead {
    bool ok = false;
    std::string error;            // why the file was refused (ok == false)
    std::vector<BadRow> BadRows;  // failure rows whose time cannot be taken, in file order
    std::size_t GoodRows = 0;     // failure rows that can be loaded
    FailureFileData data;
};

// The bad rows told in one message ("Строк отказов с ошибками в файле «path»: N
// (всего строк отказов: M):" and a line per row): their count among the failure rows, the first
// few with line, value and reason; "" when there are none.
std::string BadRowsSummary(const std::vector<BadRow>& bad, std::size_t goodRows, const std::string& path);
// One bad row as a line of its own: "Ошибка в строке №N файла «path»: «value» — why".
std::string BadRowText(const BadRow& bad, const std::string& path);
// How many bad rows a summary lists before "и ещё N".
inline constexpr std::size_t kBadRowsShown = 10;

// At most this many cause names in a file (53 causes with "Брак" and "Другие").
inline constexpr int kMaxNamedCauses = 51;
// Longest cause-name line, in characters before trimming.
inline constexpr std::size_t kCauseNameMaxLength = 20;
// Failure times below 0 or beyond this many hours are refused as misprints.
inline constexpr double kMaxFailureTime = 1e9;
// Accepted ranges of the header's figures: warranty times in hours, the fleet in
// products (at least one product, at most a billion).
inline constexpr double kMaxHours = 1e9;
inline constexpr double kMinFleet = 1.0;
inline constexpr double kMaxFleet = 1e9;
// At most this many failure rows in a file (ten times the largest fleet record
// the optimiser's generation rule provides for); a longer file is refused.
inline constexpr std::size_t kMaxFailureRows = 1000000;

// A whole file's bytes in memory that the read itself fills (nothing writes there
// first).
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view View() const { return {data.get(), size}; }
};

// Reads the bytes of a data file; `path` names it in the messages.
FailureFileRead ReadFailureBytes(std::string_view bytes, const std::string& path,
                                 BadRowPolicy policy = BadRowPolicy::Refuse);
// The same on bytes it takes over and lets go as soon as the rows are read, before
// the failures are sorted: a large file is not held beside its sorted list.
FailureFileRead ReadFailureBytes(FileBytes&& bytes, const std::string& path,
                                 BadRowPolicy policy = BadRowPolicy::Refuse);
// The same on the file's text already decoded to UTF-8 (DecodeInputFile).
FailureFileRead ReadFailureText(std::string_view text, const std::string& path,
                                BadRowPolicy policy = BadRowPolicy::Refuse);

// Splits the trimmed remainder of a failure row (the text after the time field's
// tab) at its first asterisk: the source text ends one character before the
// asterisk (the whole remainder when the asterisk comes first), the description
// starts with the second character after it. Without an asterisk the source is
// the whole remainder and the description is empty.
void SplitFailureRemainder(std::string_view rem, std::string& source, std::string& komment);

// Stable ascending sort of failures by time (equal times keep their order).
void SortByTime(FailureList& failures);
void SortProblems(AnalysisState& st);

// Reads a whole file into memory. On failure returns false and says why in Russian
// (a file that is not there, a loop of symbolic links, a path too long for the
// system, a folder without access...); `missing`, when given, tells whether the file
// is simply not there.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& why, bool* missing = nullptr);
bool ReadFileBytes(const std::string& path, FileBytes& bytes, std::string& why, bool* missing = nullptr);

}  // namespace rel
