#include "data/failure_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>

#include "data/input_text.h"
#include "text/text.h"

namespace rel {

namespace {

constexpr const char* kBrak = "Брак";
constexpr const char* kDrugie = "Другие";
constexpr double kRejectTime = 1.0;  // failures below 1 h are rejects
constexpr std::uintmax_t kMaxFileBytes = 256u << 20;
constexpr std::size_t kPathShownChars = 120;  // of a path too long to open

std::string Quoted(std::string_view s) { return "«" + std::string(s) + "»"; }

std::string LineNo(std::size_t index) { return std::to_string(index + 1); }

}  // namespace

namespace {

bool Continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The first `c` in a row's text, or npos: a plain loop, as a row is a few dozen
// bytes (a call to the library's search per field of a million rows costs more).
std::size_t FindIn(std::string_view s, char c) {
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == c) return i;
    return std::string_view::npos;
}

// SplitFailureRemainder on the text where it lies; `codePage`: one byte to a
// character (Windows-1251), else UTF-8.
void SplitRemainder(std::string_view rem, bool codePage, std::string_view& source, std::string_view& komment) {
    const std::size_t star = FindIn(rem, '*');
    if (star == std::string_view::npos) {
        source = rem;
        komment = {};
        return;
    }
    if (star == 0) {
        source = rem;
    } else {
        std::size_t cut = star - 1;  // drop the character just before the asterisk
        while (!codePage && cut > 0 && Continues(rem[cut])) --cut;
        source = rem.substr(0, cut);
    }
    std::size_t from = star + 1;  // skip the one character after the asterisk
    if (from < rem.size()) {
        ++from;
        while (!codePage && from < rem.size() && Continues(rem[from])) ++from;
    }
    komment = rem.substr(std::min(from, rem.size()));
}

}  // namespace

void SplitFailureRemainder(std::string_view rem, std::string& source, std::string& komment) {
    std::string_view s, k;
    SplitRemainder(rem, false, s, k);
    source.assign(s);
    komment.assign(k);
}

namespace {

// A lower-case cause name prepared for repeated searching (Horspool's method: the
// byte under the end of the window tells how far the window may move).
class NameSearch {
public:
    explicit NameSearch(std::string lower) : s_(std::move(lower)) {
        const std::size_t m = s_.size();
        skip_.fill(m);
        for (std::size_t k = 0; k + 1 < m; ++k) skip_[static_cast<unsigned char>(s_[k])] = m - 1 - k;
    }
    // Whether the name occurs in the text; an empty name occurs nowhere.
    bool In(std::string_view text) const {
        const std::size_t m = s_.size();
        if (m == 0 || text.size() < m) return false;
        const char lastByte = s_[m - 1];
        for (std::size_t i = 0; i <= text.size() - m;) {
            const char c = text[i + m - 1];
            if (c == lastByte && std::memcmp(text.data() + i, s_.data(), m - 1) == 0) return true;
            i += skip_[static_cast<unsigned char>(c)];
        }
        return false;
    }

private:
    std::string s_;
    std::array<std::size_t, 256> skip_{};
};

}  // namespace

namespace {

// A file opened for a whole read and its size, or why it cannot be read.
bool OpenWhole(const std::string& path, std::ifstream& in, std::size_t& bytes, std::string& why, bool* missing) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (missing) *missing = false;
    if (path.empty()) {
        why = "Не указан файл";
        return false;
    }
    const fs::file_status st = fs::status(path, ec);
    if (ec == std::errc::too_many_symbolic_link_levels) {
        why = "Файл " + Quoted(path) + " не открыт: символические ссылки на этом пути образуют петлю";
        return false;
    }
    if (ec == std::errc::filename_too_long) {
        why = "Путь " + Quoted(Excerpt(path, kPathShownChars)) + " слишком длинный (" +
              std::to_string(path.size()) +
              " байт): система не открывает файлы по пути длиннее 4095 байт или с именем папки или файла длиннее "
              "255 байт";
        return false;
    }
    if (ec == std::errc::permission_denied) {
        why = "Файл " + Quoted(path) + " не открыт: нет прав на доступ к папке, в которой он лежит";
        return false;
    }
    if (ec || !fs::exists(st)) {
        if (missing) *missing = true;
        why = "Файл " + Quoted(path) + " не существует";
        return false;
    }
    if (fs::is_directory(st)) {
        why = Quoted(path) + " — это папка, а не файл";
        return false;
    }
    if (!fs::is_regular_file(st)) {
        why = Quoted(path) + " — не обычный файл";
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        why = "Не удалось открыть файл " + Quoted(path);
        return false;
    }
    if (size > kMaxFileBytes) {
        why = "Файл " + Quoted(path) + " слишком велик (" + std::to_string(size) + " байт, допускается не более " +
              std::to_string(kMaxFileBytes) + ")";
        return false;
    }
    in.open(path, std::ios::binary);
    if (!in) {
        why = "Не удалось открыть файл " + Quoted(path);
        return false;
    }
    bytes = static_cast<std::size_t>(size);
    return true;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& why, bool* missing) {
    std::ifstream in;
    std::size_t size = 0;
    if (!OpenWhole(path, in, size, why, missing)) return false;
    // Room for the whole file at once, filled by the reads themselves (no zeroed
    // copy first): a piece at a time through a small buffer.
    bytes.clear();
    bytes.reserve(size);
    std::array<char, 1 << 16> piece;
    for (std::size_t left = size; left > 0;) {
        const std::size_t want = std::min(left, piece.size());
        in.read(piece.data(), static_cast<std::streamsize>(want));
        if (in.gcount() != static_cast<std::streamsize>(want)) {
            why = "Не удалось прочитать файл " + Quoted(path);
            return false;
        }
        bytes.append(piece.data(), want);
        left -= want;
    }
    return true;
}

bool ReadFileBytes(const std::string& path, FileBytes& bytes, std::string& why, bool* missing) {
    std::ifstream in;
    std::size_t size = 0;
    bytes = FileBytes{};
    if (!OpenWhole(path, in, size, why, missing)) return false;
    // Read straight into memory that nothing has written before.
    std::unique_ptr<char[]> data(new char[size]);
    in.read(data.get(), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) {
        why = "Не удалось прочитать файл " + Quoted(path);
        return false;
    }
    bytes.data = std::move(data);
    bytes.size = size;
    return true;
}

void SortByTime(FailureList& failures) { failures.SortByTime(); }

void SortProblems(AnalysisState& st) { SortByTime(st.ArrProblems); }

std::string BadRowText(const BadRow& bad, const std::string& path) {
    return "Ошибка в строке №" + std::to_string(bad.line) + " файла " + Quoted(path) + ": " + Quoted(bad.value) +
           " — " + bad.why;
}

std::string BadRowsSummary(const std::vector<BadRow>& bad, std::size_t goodRows, const std::string& path) {
    if (bad.empty()) return {};
    std::string s = "Строк отказов с ошибками в файле " + Quoted(path) + ": " + std::to_string(bad.size()) +
                    " (всего строк отказов: " + std::to_string(bad.size() + goodRows) + "):";
    const std::size_t shown = std::min(bad.size(), kBadRowsShown);
    for (std::size_t i = 0; i < shown; ++i)
        s += "\nстрока №" + std::to_string(bad[i].line) + ": " + Quoted(bad[i].value) + " — " + bad[i].why +
             (i + 1 < shown ? ";" : (shown < bad.size() ? ";" : "."));
    if (shown < bad.size()) s += "\n… и ещё " + std::to_string(bad.size() - shown) + ".";
    return s;
}

namespace {

FailureFileRead ReadText(std::string_view text, bool codePage, const std::string& path, BadRowPolicy policy,
                         const std::function<void()>& rowsRead = {});

}  // namespace

FailureFileRead ReadFailureBytes(std::string_view bytes, const std::string& path, BadRowPolicy policy) {
    // 8-bit text is read where it lies: no decoded copy of the file.
    const InputText in = OpenInputFile(bytes, path);
    if (!in.ok) {
        FailureFileRead res;
        res.error = in.error + " Файл данных не загружен.";
        return res;
    }
    return ReadText(in.Text(bytes), in.inPlace && in.encoding == TextEncoding::Windows1251, path, policy);
}

FailureFileRead ReadFailureText(std::string_view text, const std::string& path, BadRowPolicy policy) {
    return ReadText(text, false, path, policy);
}

FailureFileRead ReadFailureBytes(FileBytes&& bytes, const std::string& path, BadRowPolicy policy) {
    FileBytes held = std::move(bytes);
    InputText in = OpenInputFile(held.View(), path);
    if (!in.ok) {
        FailureFileRead res;
        res.error = in.error + " Файл данных не загружен.";
        return res;
    }
    // Once the rows are read the list holds all it needs: the file goes.
    return ReadText(in.Text(held.View()), in.inPlace && in.encoding == TextEncoding::Windows1251, path, policy,
                    [&] {
                        held = FileBytes{};
                        in.text = std::string();
                    });
}

namespace {

// Where a failure row's time field ends and the rest begins. The columns are
// separated by a tab; a row without one (tabs turned into spaces by an editor or
// a mail program) is read at its first run of spaces when that is unambiguous:
// the first word is a time and the next word does not start with a digit (as in
// "1 500 насос", where the time may be "1" or "1 500").
struct RowSplit {
    std::string_view time, rem;
    const char* why = nullptr;  // the row cannot be split: the reason
};

RowSplit SplitRow(std::string_view row) {
    const std::size_t tab = FindIn(row, '\t');
    if (tab != std::string_view::npos) return {row.substr(0, tab), row.substr(tab + 1)};
    const std::size_t sp = FindIn(row, ' ');
    const std::string_view first = row.substr(0, sp);
    if (!ParseTimeField(first))
        return {first,
                {},
                "строка без табуляции, и ее первое слово — не наработка (разделите наработку и "
                "источник отказа табуляцией)"};
    if (sp == std::string_view::npos) return {first, {}};
    std::string_view rest = row.substr(sp);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() >= '0' && rest.front() <= '9')
        return {row.substr(0, row.find(' ', rest.data() - row.data())),
                {},
                "строка без табуляции, и неясно, где кончается наработка (разделите наработку и источник "
                "отказа табуляцией)"};
    return {first, rest};
}

}  // namespace

namespace {

// The text of a data file where it lies: UTF-8, or Windows-1251 read one byte to a
// character and decoded only where a text is kept or shown.
struct FileText {
    std::string_view bytes;
    bool codePage = false;
    std::string Utf8(std::string_view piece) const { return codePage ? Cp1251ToUtf8(piece) : std::string(piece); }
};

// The lines of the text one after another, with their numbers (from 0).
class Lines {
public:
    explicit Lines(const FileText& t) : text_(t), cursor_(t.bytes) { has_ = cursor_.Next(line_); }
    bool AtEnd() const { return !has_; }
    std::size_t Index() const { return index_; }
    std::string_view Raw() const { return line_; }  // in the file's character set
    std::string Utf8() const { return text_.Utf8(line_); }
    // The bytes from the start of the current line to the end of the text.
    std::size_t Remaining() const {
        return text_.bytes.size() - static_cast<std::size_t>(line_.data() - text_.bytes.data());
    }
    void Advance() {
        has_ = cursor_.Next(line_);
        ++index_;
    }

private:
    FileText text_;
    LineCursor cursor_;
    std::string_view line_;
    bool has_ = false;
    std::size_t index_ = 0;
};

// The header of a data file: the title, the two warranty figures, the fleet and the
// declared failure count, read into `L` from the line after the title on; `lines`
// ends after the header. The reason when a number is missing, not a number or out
// of its range.
std::optional<std::string> ReadHeader(Lines& lines, const std::string& path, FailureFileData& L) {
    // The title line, then five numbers, each the first word of the next
    // line that is not blank; the rest of each number's line is ignored. A control
    // character anywhere in a number's line refuses the file: "4<NUL> 20" must not
    // read as 4.
    L.Title = lines.Utf8();
    lines.Advance();
    const std::string fileRef = "файла " + Quoted(path);
    struct HeaderItem {
        const char* what;
        bool integer;
        double lo, hi;          // accepted range of a real
        const char* rangeText;  // how the range is named to the user
    };
    static constexpr HeaderItem kHeader[5] = {
        {"среднее время гарантии", false, 0, kMaxHours, "от 0 до 1e9 ч"},
        {"СКО времени гарантии", false, 0, kMaxHours, "от 0 до 1e9 ч"},
        {"размер парка", false, kMinFleet, kMaxFleet, "от 1 до 1e9 изделий"},
        {"число отказов", true, 0, 0, ""},
        {"шестое число заголовка", true, 0, 0, ""},
    };
    double real[3] = {0, 0, 0};
    int ints[2] = {0, 0};
    for (int h = 0; h < 5; ++h) {
        while (!lines.AtEnd() && IsBlankLine(lines.Raw())) lines.Advance();
        if (lines.AtEnd())
            return "Файл " + Quoted(path) + " кончается в заголовке: нет числа «" + kHeader[h].what + "».";
        const std::string line = lines.Utf8();
        const std::size_t li = lines.Index();
        if (auto bad = ControlCharInNumberLine(line, li, path, kHeader[h].what)) return bad;
        const std::string_view tok = FirstToken(line);
        if (kHeader[h].integer) {
            const auto v = ParseInt(tok);
            if (!v)
                return "Ошибка в строке №" + LineNo(li) + " " + fileRef + ": " + Quoted(Excerpt(tok)) +
                       " не является целым числом (" + kHeader[h].what + ").";
            ints[h - 3] = *v;
        } else {
            const auto v = ParseReal(tok);
            if (!v)
                return "Ошибка в строке №" + LineNo(li) + " " + fileRef + ": " + Quoted(Excerpt(tok)) +
                       " не является числом (" + kHeader[h].what + "; десятичный разделитель — точка).";
            if (!(*v >= kHeader[h].lo && *v <= kHeader[h].hi))
                return "Ошибка в строке №" + LineNo(li) + " " + fileRef + ": " + kHeader[h].what + " " +
                       Quoted(Excerpt(tok)) + " вне допустимых пределов (" + kHeader[h].rangeText + ").";
            real[h] = *v;
        }
        lines.Advance();
    }
    L.SredGar = real[0];
    L.SKOGar = real[1];
    L.Park = real[2];
    L.KolOtkAll = ints[0];
    return std::nullopt;
}

// A text of Russian letters (the built-in cause names) in Windows-1251.
std::string RussianInCp1251(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i + 1 < utf8.size(); i += 2) {
        const unsigned u = ((static_cast<unsigned char>(utf8[i]) & 0x1Fu) << 6) |
                           (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);  // А..я
        out += static_cast<char>(0xC0 + (u - 0x410));
    }
    return out;
}

// Which causes a text names, one bit per file entry (0 "Брак", 1 "Другие", 2.. the
// named ones).
using CauseMask = std::uint64_t;

// A hash of a text's bytes, a word at a time.
std::uint64_t HashText(std::string_view s) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
    std::uint64_t h = s.size() * kMul;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h = (h ^ w) * kMul;
        h ^= h >> 29;
    }
    if (i < s.size()) {
        std::uint64_t w = 0;
        std::memcpy(&w, s.data() + i, s.size() - i);
        h = (h ^ w) * kMul;
        h ^= h >> 29;
    }
    return h * kMul;
}

// The texts of the rows met last, by a hash of their bytes: a text the file repeats
// (a source, a description) is classified and stored once and then only looked up.
// Each slot keeps the last text of its hash; a text pushed out is simply classified
// and stored again when it comes back.
class RecentTexts {
public:
    struct Entry {
        const char* at = nullptr;  // the text's bytes in the file
        std::size_t len = 0;
        FailureList::TextSpan stored;
        CauseMask named = 0;  // the causes it names (sources)
    };
    explicit RecentTexts(std::size_t textBytes) {
        std::size_t slots = 64;
        while (slots < 4096 && slots * 64 < textBytes) slots *= 2;
        slots_.resize(slots);
        shift_ = 64 - static_cast<unsigned>(std::countr_zero(slots));
    }
    // The slot of a text and whether it holds that text already.
    Entry& Find(std::string_view text, bool& found) {
        Entry& e = slots_[static_cast<std::size_t>(HashText(text) >> shift_)];
        found = e.at != nullptr && e.len == text.size() &&
                (text.empty() || std::memcmp(e.at, text.data(), text.size()) == 0);
        if (!found) {
            e.at = text.data();
            e.len = text.size();
        }
        return e;
    }

private:
    std::vector<Entry> slots_;
    unsigned shift_ = 58;
};

// Rows of a cause that a renumbering by the sorted causes sets: a row's number is
// kept in the list until the causes are sorted, and these stand in for it.
constexpr std::uint8_t kOneNamed = 64;       // 64 + j: only cause j (2..52) named
constexpr std::uint8_t kOthersRow = 253;     // no cause named: "Другие"
constexpr std::uint8_t kRejectRow = 254;     // before 1 h: "Брак"
constexpr std::uint8_t kSeveralNamed = 255;  // several named: their mask kept aside

FailureFileRead ReadText(std::string_view bytes, bool codePage, const std::string& path, BadRowPolicy policy,
                         const std::function<void()>& rowsRead) {
    FailureFileRead res;
    const FileText text{bytes, codePage};
    Lines lines(text);
    auto fail = [&](std::string why) {
        res.ok = false;
        res.error = std::move(why) + " Файл данных не загружен.";
        res.data = FailureFileData{};
        return res;
    };

    FailureFileData& L = res.data;
    if (lines.AtEnd()) return fail("Файл " + Quoted(path) + " пуст.");

    // 1. The header.
    if (auto bad = ReadHeader(lines, path, L)) return fail(std::move(*bad));

    // 2. Cause names: every line of at most 20 characters (counted before trimming).
    L.ArrVidFile = {{kBrak, 0.0}, {kDrugie, 0.0}};
    std::vector<std::string_view> rawNames = {{}, {}};  // as the file writes them
    auto chars = [codePage](std::string_view s) { return codePage ? s.size() : Utf8Length(s); };
    while (!lines.AtEnd() && chars(lines.Raw()) <= kCauseNameMaxLength) {
        if (static_cast<int>(L.ArrVidFile.size()) - 2 == kMaxNamedCauses)
            return fail("В файле " + Quoted(path) + " названо более " + std::to_string(kMaxNamedCauses) +
                        " причины отказов (строка №" + LineNo(lines.Index()) + "); допускается не более " +
                        std::to_string(kMaxNamedCauses) + ".");
        rawNames.push_back(Trim(lines.Raw()));
        L.ArrVidFile.push_back({text.Utf8(rawNames.back()), 0.0});
        lines.Advance();
    }
    const int maxPrich = static_cast<int>(L.ArrVidFile.size()) - 1;
    if (lines.AtEnd())
        return fail("В файле " + Quoted(path) +
                    " нет ни одной строки отказа: после заголовка и названий причин нет строки "
                    "длиннее " +
                    std::to_string(kCauseNameMaxLength) + " символов.");

    // The names searched for, in lower case and in the file's character set.
    std::vector<NameSearch> names;
    names.reserve(L.ArrVidFile.size());
    std::string lower;
    for (int j = 0; j <= maxPrich; ++j) {
        if (!codePage) {
            LowerCaseInto(lower, L.ArrVidFile[static_cast<std::size_t>(j)].Nazv_Prich);
        } else {
            const std::string raw = j < 2 ? RussianInCp1251(L.ArrVidFile[static_cast<std::size_t>(j)].Nazv_Prich)
                                          : std::string(rawNames[static_cast<std::size_t>(j)]);
            LowerCaseCp1251Into(lower, raw);
        }
        names.emplace_back(lower);
    }
    auto namedIn = [&](std::string_view textLower) {
        CauseMask m = 0;
        for (int j = 0; j <= maxPrich; ++j)
            if (names[static_cast<std::size_t>(j)].In(textLower)) m |= CauseMask{1} << j;
        return m;
    };
    // Named causes (entries 2 and up) occurring in the built-in names.
    CauseMask brakMask = 0, drugieMask = 0;
    for (int j = 2; j <= maxPrich; ++j) {
        const std::string name = LowerCase(L.ArrVidFile[static_cast<std::size_t>(j)].Nazv_Prich);
        const NameSearch search(name);
        if (search.In(LowerCase(kBrak))) brakMask |= CauseMask{1} << j;
        if (search.In(LowerCase(kDrugie))) drugieMask |= CauseMask{1} << j;
    }

    // Failure rows: from the first line longer than 20 characters to the end of the
    // file. Blank lines among them are not failures and are passed over. Room for as
    // many rows as the rest of the file can hold (a row is two bytes at least); the
    // part never filled is never touched.
    const std::size_t rest = lines.Remaining();
    L.ArrProblems.reserve(std::min(kMaxFailureRows, rest / 2 + 1), codePage ? 2 * rest : rest);
    const FailureList::TextSpan brakText = L.ArrProblems.StoreText(kBrak);
    const FailureList::TextSpan drugieText = L.ArrProblems.StoreText(kDrugie);
    auto store = [&](std::string_view raw) {
        return codePage ? L.ArrProblems.StoreCp1251Text(raw) : L.ArrProblems.StoreText(raw);
    };
    RecentTexts sources(rest), descriptions(rest);
    std::vector<CauseMask> severalNamed;             // masks of the kSeveralNamed rows, in file order
    std::array<std::size_t, kMaxCauses> credited{};  // failures credited to each file entry
    std::size_t rowCount = 0;
    int rows = 0;
    for (; !lines.AtEnd(); lines.Advance()) {
        const std::string_view line = lines.Raw();
        const std::string_view row = Trim(line);
        if (row.empty()) continue;
        // Beyond the limit the rows are only counted, for the message.
        if (++rowCount > kMaxFailureRows) continue;
        double time = 0.0;
        const std::size_t firstTab = FindIn(line, '\t');
        const bool timeMissing = firstTab != std::string_view::npos &&
                                 FindIn(row, '\t') == std::string_view::npos &&
                                 Trim(line.substr(0, firstTab)).empty();
        const RowSplit split = timeMissing ? RowSplit{{}, {}, "наработка не указана"} : SplitRow(row);
        // A time that is not a number, negative or beyond the plausible range is a
        // misprint, and so is one with a control character in its field (before the
        // tab), wherever it stands: the row is reported and not loaded.
        const char* why = split.why;
        if (!why) {
            const auto t = ParseTimeField(split.time);
            // The raw line up to the end of the time field (what Trim took off included).
            const std::string_view field =
                line.substr(0, static_cast<std::size_t>(split.time.data() + split.time.size() - line.data()));
            // In the code page a control character is one byte: C0 or DEL.
            const bool control =
                codePage ? std::any_of(field.begin(), field.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })
                         : HasControlChar(field);
            if (control)
                why = "в поле наработки управляющий символ";
            else if (!t)
                why = "наработка не является числом";
            else if (*t < 0.0)
                why = "наработка отрицательна";
            else if (*t > kMaxFailureTime)
                why = "наработка больше 1e9 ч";
            else
                time = *t + 0.0;  // -0 becomes 0
        }
        if (why) {
            res.BadRows.push_back({lines.Index() + 1, Excerpt(EscapeControls(text.Utf8(split.time))), why});
            continue;
        }
        ++rows;

        std::string_view source, komment;
        SplitRemainder(Trim(split.rem), codePage, source, komment);

        // Every cause whose name occurs in the source text is credited; the last one
        // found gives the cause number. Rejects go to "Брак" whatever they name.
        FailureList::TextSpan pri;
        std::uint8_t code;
        if (time >= kRejectTime) {
            bool known = false;
            RecentTexts::Entry& e = sources.Find(source, known);
            if (!known) {
                if (codePage)
                    LowerCaseCp1251Into(lower, source);
                else
                    LowerCaseInto(lower, source);
                e.named = namedIn(lower);
                e.stored = e.named != 0 ? store(source) : drugieText;
            }
            const CauseMask named = e.named;
            for (CauseMask m = named; m != 0; m &= m - 1)
                ++credited[static_cast<std::size_t>(std::countr_zero(m))];
            pri = e.stored;
            if (named == 0) {
                ++credited[1];
                code = kOthersRow;
            } else {
                const CauseMask several = named & ~CauseMask{3};
                if (several == 0) {
                    code = static_cast<std::uint8_t>(63 - std::countl_zero(named));  // "Брак" or "Другие" by name
                } else if ((several & (several - 1)) == 0) {
                    code = static_cast<std::uint8_t>(kOneNamed + std::countr_zero(several));
                } else {
                    code = kSeveralNamed;
                    severalNamed.push_back(several);
                }
            }
        } else {
            pri = brakText;
            ++credited[0];
            code = kRejectRow;
        }
        FailureList::TextSpan note;
        if (!komment.empty()) {
            bool known = false;
            RecentTexts::Entry& e = descriptions.Find(komment, known);
            if (!known) e.stored = store(komment);
            note = e.stored;
        }
        L.ArrProblems.AppendStored(time, code, pri, note);
    }
    // Nothing below reads the file's text.
    if (rowsRead) rowsRead();
    if (rowCount > kMaxFailureRows) {
        res.BadRows.clear();
        return fail("В файле " + Quoted(path) + " " + std::to_string(rowCount) +
                    " строк отказов; допускается не более " + std::to_string(kMaxFailureRows) + ".");
    }
    res.GoodRows = static_cast<std::size_t>(rows);
    if (!res.BadRows.empty() && (policy == BadRowPolicy::Refuse || L.ArrProblems.empty()))
        return fail(BadRowsSummary(res.BadRows, res.GoodRows, path) +
                    (L.ArrProblems.empty() ? "\nНи одна строка отказа не прочитана." : ""));
    if (L.ArrProblems.empty())
        return fail("В файле " + Quoted(path) +
                    " нет ни одной строки отказа: строки после "
                    "названий причин пусты.");
    L.KolOtkAll = rows + 1;
    for (int j = 0; j <= maxPrich; ++j)
        L.ArrVidFile[static_cast<std::size_t>(j)].Dolya =
            static_cast<double>(credited[static_cast<std::size_t>(j)]);

    // Causes named in the file ordered by count, highest first; equal counts keep
    // their file order. sortedPos[j]: the place of file entry j in ArrVid.
    std::vector<int> order;
    for (int j = 2; j <= maxPrich; ++j) order.push_back(j);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return L.ArrVidFile[a].Dolya > L.ArrVidFile[b].Dolya; });
    std::vector<int> sortedPos(L.ArrVidFile.size());
    L.ArrVid.assign(L.ArrVidFile.begin(), L.ArrVidFile.begin() + 2);
    for (int p = 2; p <= maxPrich; ++p) {
        L.ArrVid.push_back(L.ArrVidFile[order[p - 2]]);
        sortedPos[order[p - 2]] = p;
    }

    // Renumber by the sorted list: among the named causes occurring in Pri, the one
    // placed last in ArrVid gives the number; without any the number stays.
    auto lastNamed = [&](CauseMask m) {
        int last = -1;
        for (int j = 2; j <= maxPrich; ++j)
            if ((m >> j) & 1) last = std::max(last, sortedPos[j]);
        return last;
    };
    const int rejectCause = brakMask != 0 ? lastNamed(brakMask) : 0;
    const int othersCause = drugieMask != 0 ? lastNamed(drugieMask) : 1;
    std::size_t nextSeveral = 0;
    const std::vector<std::uint8_t>& codes = L.ArrProblems.Causes();
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::uint8_t c = codes[i];
        if (c < kOneNamed) continue;
        const int cause = c == kRejectRow      ? rejectCause
                          : c == kOthersRow    ? othersCause
                          : c == kSeveralNamed ? lastNamed(severalNamed[nextSeveral++])
                                               : sortedPos[c - kOneNamed];
        L.ArrProblems.SetCause(i, cause);
    }
    severalNamed = {};

    L.KolOtkNez = static_cast<int>(L.ArrProblems.size()) - static_cast<int>(std::ceil(L.ArrVid[0].Dolya));

    // Stable ascending sort by time: order by (time, file position).
    L.ArrProblems.SortByTime();

    L.MaxPrich = maxPrich;
    res.ok = true;
    return res;
}

}  // namespace

}  // namespace rel
