#include "data/failure_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
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

void SplitFailureRemainder(std::string_view rem, std::string& source, std::string& komment) {
    const std::size_t star = rem.find('*');
    if (star == std::string_view::npos) {
        source.assign(rem);
        komment.clear();
        return;
    }
    if (star == 0) {
        source.assign(rem);
    } else {
        std::size_t cut = star - 1;  // drop the character just before the asterisk
        while (cut > 0 && (static_cast<unsigned char>(rem[cut]) & 0xC0) == 0x80) --cut;
        source.assign(rem.substr(0, cut));
    }
    std::size_t from = star + 1;  // skip the one character after the asterisk
    if (from < rem.size()) {
        ++from;
        while (from < rem.size() && (static_cast<unsigned char>(rem[from]) & 0xC0) == 0x80) ++from;
    }
    komment.assign(rem.substr(std::min(from, rem.size())));
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

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& why, bool* missing) {
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "Не удалось открыть файл " + Quoted(path);
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) {
        why = "Не удалось прочитать файл " + Quoted(path);
        return false;
    }
    return true;
}

void SortByTime(FailureList& failures) {
    const std::vector<double>& t = failures.Times();
    std::vector<std::uint32_t> order(t.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&t](std::uint32_t a, std::uint32_t b) { return t[a] < t[b]; });
    failures.Permute(order);
}

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

FailureFileRead ReadFailureBytes(std::string_view bytes, const std::string& path, BadRowPolicy policy) {
    const InputText in = DecodeInputFile(bytes, path);
    if (!in.ok) {
        FailureFileRead res;
        res.error = in.error + " Файл данных не загружен.";
        return res;
    }
    return ReadFailureText(in.text, path, policy);
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
    const std::size_t tab = row.find('\t');
    if (tab != std::string_view::npos) return {row.substr(0, tab), row.substr(tab + 1)};
    const std::size_t sp = row.find(' ');
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

// The header of a data file: the title, the two warranty figures, the fleet and the
// declared failure count, read into `L` from line `li` on; `li` ends after the
// header. The reason when a number is missing, not a number or out of its range.
std::optional<std::string> ReadHeader(const std::vector<std::string_view>& lines, const std::string& path,
                                      std::size_t& li, FailureFileData& L) {
    // The title line, then five numbers, each the first word of the next
    // line that is not blank; the rest of each number's line is ignored. A control
    // character anywhere in a number's line refuses the file: "4<NUL> 20" must not
    // read as 4.
    L.Title = std::string(lines[0]);
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
        while (li < lines.size() && IsBlankLine(lines[li])) ++li;
        if (li == lines.size())
            return "Файл " + Quoted(path) + " кончается в заголовке: нет числа «" + kHeader[h].what + "».";
        if (auto bad = ControlCharInNumberLine(lines[li], li, path, kHeader[h].what)) return bad;
        const std::string_view tok = FirstToken(lines[li]);
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
        ++li;
    }
    L.SredGar = real[0];
    L.SKOGar = real[1];
    L.Park = real[2];
    L.KolOtkAll = ints[0];
    return std::nullopt;
}

}  // namespace

FailureFileRead ReadFailureText(std::string_view text, const std::string& path, BadRowPolicy policy) {
    FailureFileRead res;
    const std::vector<std::string_view> lines = SplitLines(text);
    auto fail = [&](std::string why) {
        res.ok = false;
        res.error = std::move(why) + " Файл данных не загружен.";
        res.data = FailureFileData{};
        return res;
    };

    FailureFileData& L = res.data;
    if (lines.empty()) return fail("Файл " + Quoted(path) + " пуст.");

    // 1. The header.
    std::size_t li = 1;
    if (auto bad = ReadHeader(lines, path, li, L)) return fail(std::move(*bad));

    // 2. Cause names: every line of at most 20 characters (counted before trimming).
    L.ArrVidFile = {{kBrak, 0.0}, {kDrugie, 0.0}};
    while (li < lines.size() && Utf8Length(lines[li]) <= kCauseNameMaxLength) {
        if (static_cast<int>(L.ArrVidFile.size()) - 2 == kMaxNamedCauses)
            return fail("В файле " + Quoted(path) + " названо более " + std::to_string(kMaxNamedCauses) +
                        " причины отказов (строка №" + LineNo(li) + "); допускается не более " +
                        std::to_string(kMaxNamedCauses) + ".");
        L.ArrVidFile.push_back({std::string(Trim(lines[li])), 0.0});
        ++li;
    }
    const int maxPrich = static_cast<int>(L.ArrVidFile.size()) - 1;
    if (li == lines.size())
        return fail("В файле " + Quoted(path) +
                    " нет ни одной строки отказа: после заголовка и названий причин нет строки "
                    "длиннее " +
                    std::to_string(kCauseNameMaxLength) + " символов.");

    std::vector<NameSearch> names;
    names.reserve(L.ArrVidFile.size());
    for (const auto& v : L.ArrVidFile) names.emplace_back(LowerCase(v.Nazv_Prich));

    // Which named causes (file entries 2 and up) occur in a text, one bit each.
    std::size_t rowCount = 0;
    for (std::size_t k = li; k < lines.size(); ++k) rowCount += !Trim(lines[k]).empty();
    if (rowCount > kMaxFailureRows)
        return fail("В файле " + Quoted(path) + " " + std::to_string(rowCount) +
                    " строк отказов; допускается не более " + std::to_string(kMaxFailureRows) + ".");

    using CauseMask = std::uint64_t;
    auto namedIn = [&](const std::string& textLower) {
        CauseMask m = 0;
        for (int j = 2; j <= maxPrich; ++j)
            if (names[j].In(textLower)) m |= CauseMask{1} << j;
        return m;
    };
    const CauseMask brakMask = namedIn(LowerCase(kBrak));
    const CauseMask drugieMask = namedIn(LowerCase(kDrugie));

    // Failure rows: from the first line longer than 20 characters to the end of the
    // file. Blank lines among them are not failures and are passed over.
    L.ArrProblems.reserve(rowCount, text.size() - static_cast<std::size_t>(lines[li].data() - text.data()));
    std::vector<CauseMask> priMask;  // named causes occurring in each failure's Pri
    priMask.reserve(rowCount);
    int rows = 0;
    std::string source, komment, srcLower;
    for (; li < lines.size(); ++li) {
        const std::string_view row = Trim(lines[li]);
        if (row.empty()) continue;
        struct {
            double time = 0.0;
            int chey = 0;
            std::string_view Pri;
        } p;
        const std::size_t firstTab = lines[li].find('\t');
        const bool timeMissing = firstTab != std::string_view::npos && row.find('\t') == std::string_view::npos &&
                                 Trim(lines[li].substr(0, firstTab)).empty();
        const RowSplit split = timeMissing ? RowSplit{{}, {}, "наработка не указана"} : SplitRow(row);
        const std::string_view rem = split.rem;
        // A time that is not a number, negative or beyond the plausible range is a
        // misprint, and so is one with a control character in its field (before the
        // tab), wherever it stands: the row is reported and not loaded.
        const char* why = split.why;
        if (!why) {
            const auto t = ParseTimeField(split.time);
            // The raw line up to the end of the time field (what Trim took off included).
            const std::size_t timeEnd =
                static_cast<std::size_t>(split.time.data() + split.time.size() - lines[li].data());
            if (HasControlChar(lines[li].substr(0, timeEnd)))
                why = "в поле наработки управляющий символ";
            else if (!t)
                why = "наработка не является числом";
            else if (*t < 0.0)
                why = "наработка отрицательна";
            else if (*t > kMaxFailureTime)
                why = "наработка больше 1e9 ч";
            else
                p.time = *t + 0.0;  // -0 becomes 0
        }
        if (why) {
            res.BadRows.push_back({li + 1, Excerpt(EscapeControls(std::string(split.time))), why});
            continue;
        }
        ++rows;

        SplitFailureRemainder(Trim(rem), source, komment);

        // Every cause whose name occurs in the source text is credited; the last one
        // found gives the cause number. Rejects go to "Брак" whatever they name.
        CauseMask mask = 0;
        if (p.time >= kRejectTime) {
            LowerCaseInto(srcLower, source);
            bool classified = false;
            for (int j = 0; j <= maxPrich; ++j) {
                if (names[j].In(srcLower)) {
                    p.chey = j;
                    L.ArrVidFile[j].Dolya = L.ArrVidFile[j].Dolya + 1;
                    classified = true;
                    if (j >= 2) mask |= CauseMask{1} << j;
                }
            }
            if (classified) {
                p.Pri = source;
            } else {
                p.chey = 1;
                p.Pri = kDrugie;
                L.ArrVidFile[1].Dolya = L.ArrVidFile[1].Dolya + 1;
                mask = drugieMask;
            }
        } else {
            p.chey = 0;
            p.Pri = kBrak;
            L.ArrVidFile[0].Dolya = L.ArrVidFile[0].Dolya + 1;
            mask = brakMask;
        }
        L.ArrProblems.Append(p.time, p.chey, p.Pri, komment);
        priMask.push_back(mask);
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
    for (std::size_t i = 0; i < L.ArrProblems.size(); ++i) {
        const CauseMask m = priMask[i];
        if (m == 0) continue;
        int last = -1;
        for (int j = 2; j <= maxPrich; ++j)
            if ((m >> j) & 1) last = std::max(last, sortedPos[j]);
        L.ArrProblems.SetCause(i, last);
    }
    priMask = {};

    L.KolOtkNez = static_cast<int>(L.ArrProblems.size()) - static_cast<int>(std::ceil(L.ArrVid[0].Dolya));

    // Stable ascending sort by time: order by (time, file position).
    SortByTime(L.ArrProblems);

    L.MaxPrich = maxPrich;
    res.ok = true;
    return res;
}

}  // namespace rel
