#include "data/failure_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "text/text.h"
#include "text/format.h"
#include "stats/distrib.h"

namespace rel {

namespace {

constexpr const char* kBrak = "Брак";
constexpr const char* kDrugie = "Другие";
constexpr double kLogOffset = 0.00001;   // hours added to a time before its logarithm
constexpr double kRejectTime = 1.0;      // failures below 1 h are rejects
constexpr double kRateTime = 2000.0;     // reference time of the failures per product
constexpr std::uintmax_t kMaxFileBytes = 256u << 20;

std::string Quoted(std::string_view s) { return "«" + std::string(s) + "»"; }

// A short piece of a bad field for a message: long garbage is cut.
std::string Excerpt(std::string_view s) {
    constexpr std::size_t kMax = 40;
    if (Utf8Length(s) <= kMax) return std::string(s);
    std::size_t chars = 0, i = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == kMax) break;
            ++chars;
        }
    }
    return std::string(s.substr(0, i)) + "…";
}

std::string LineNo(std::size_t index) { return std::to_string(index + 1); }

// Everything a load computes before it is put into the state.
struct Loaded {
    std::string title;
    double sred = 0.0, sko = 0.0, park = 0.0;
    int kolOtkAll = 0;
    std::vector<Vid_otkaza> vidFile, vid;
    std::vector<Problems> problems;
    int kolOtkNez = 0;
    int iFirstPos = -1;
    double aLn = 0.0, bLn = 0.0;
    double gamma90 = 0.0, gamma50Cenz = 0.0, gamma50Nabl = 0.0, otk2000 = 0.0;
};

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

// Sums of the log-log regression over the failures at 1 h or more.
struct LnSums {
    double SumLnT = 0.0, SumLnN = 0.0, SumLnT2 = 0.0, SumLnTN = 0.0;
    int n = 0;
    bool distinct = false;  // at least two different times among them
};

void AddLnPoint(LnSums& s, double x, double y) {
    s.SumLnT = s.SumLnT + x;
    s.SumLnN = s.SumLnN + y;
    s.SumLnT2 = s.SumLnT2 + x * x;
    s.SumLnTN = s.SumLnTN + x * y;
}

// Slope and intercept of the line; false when the data do not define it.
bool SolveLine(const LnSums& s, double& a, double& b) {
    if (s.n < 2 || !s.distinct) return false;
    const double n = s.n;
    const double den = n * s.SumLnT2 - s.SumLnT * s.SumLnT;
    if (!(den > 0.0) || !std::isfinite(den)) return false;
    a = (n * s.SumLnTN - s.SumLnT * s.SumLnN) / den;
    b = (s.SumLnN - a * s.SumLnT) / n;
    return std::isfinite(a) && std::isfinite(b);
}

// Weight 1 / (1 - P) of a failure at time t, P the share of the fleet whose
// warranty has ended by t. With a zero deviation the share at the mean itself is
// taken as one half; a share of exactly 1 gives the largest finite weight.
double CensorWeight(double mean, double sd, double t, bool& saturated) {
    double p = NormF(mean, sd, t);
    if (std::isnan(p)) p = 0.5;
    const double r = 1.0 - p;
    if (!(r > 0.0)) {
        saturated = true;
        return kMaxCensorWeight;
    }
    return 1.0 / r;
}

double Frac(double x) { return x - std::trunc(x); }

}  // namespace

std::string TimeText(double t, char sep) {
    // The shortest text that reads back as t: when it has at most 15 significant
    // digits it is also the 15-digit rounding, so it is the general text itself.
    if (t >= 1e-5 && t < 1e15) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, t, std::chars_format::fixed);
        if (r.ec == std::errc()) {
            int digits = 0;
            bool leading = true;
            for (char* c = buf; c != r.ptr; ++c) {
                if (*c == '.') continue;
                if (leading && *c == '0') continue;
                leading = false;
                ++digits;
            }
            if (digits <= 15) {
                std::string s(buf, r.ptr);
                for (char& c : s)
                    if (c == '.') c = sep;
                return s;
            }
        }
    }
    return FormatGeneral(t, sep);
}

namespace {

std::string DecimalText(const char* intPart, char sep, const char* fracPart) {
    return std::string(intPart) + sep + fracPart;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& why) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (path.empty()) {
        why = "Не указан файл";
        return false;
    }
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) {
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
        why = "Файл " + Quoted(path) + " слишком велик (" + std::to_string(size) +
              " байт, допускается не более " + std::to_string(kMaxFileBytes) + ")";
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

void SortProblems(AnalysisState& st) {
    std::stable_sort(st.ArrProblems.begin(), st.ArrProblems.end(),
                     [](const Problems& a, const Problems& b) { return a.time < b.time; });
}

bool LnLineDefined(const AnalysisState& st) {
    LnSums s;
    double first = 0.0;
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i) {
        const double t = st.ArrProblems[i].time;
        if (!(t >= kRejectTime)) continue;
        if (s.n == 0) first = t;
        else if (t != first) s.distinct = true;
        ++s.n;
        AddLnPoint(s, std::log(t + kLogOffset), std::log(static_cast<double>(i + 1)));
    }
    double a = 0.0, b = 0.0;
    return SolveLine(s, a, b);
}

LoadResult LoadFailureFile(AnalysisState& st, const std::string& path, char decimalSep) {
    std::string bytes, why;
    if (!ReadFileBytes(path, bytes, why)) {
        LoadResult r;
        r.error = why + ". Файл данных не загружен.";
        return r;
    }
    return LoadFailureBytes(st, bytes, path, decimalSep);
}

LoadResult LoadFailureBytes(AnalysisState& st, std::string_view bytes, const std::string& path,
                            char decimalSep) {
    LoadResult res;
    const char sep = decimalSep;
    const std::string text = DecodeFileBytes(bytes);
    const std::vector<std::string_view> lines = SplitLines(text);
    const std::string fileRef = "файла " + Quoted(path);
    auto fail = [&](std::string why) {
        res.ok = false;
        res.error = std::move(why) + " Файл данных не загружен.";
        res.Messages.clear();
        res.Warnings.clear();
        res.view = FailureFileView{};
        return res;
    };

    Loaded L;
    if (lines.empty()) return fail("Файл " + Quoted(path) + " пуст.");

    // Header: the title line, then five numbers, each the first word of the next
    // line that is not blank; the rest of each number's line is ignored.
    L.title = std::string(lines[0]);
    std::size_t li = 1;
    struct HeaderItem {
        const char* what;
        bool integer;
    };
    static constexpr HeaderItem kHeader[5] = {
        {"среднее время гарантии", false}, {"СКО времени гарантии", false},
        {"размер парка", false},           {"число отказов", true},
        {"шестое число заголовка", true},
    };
    double real[3] = {0, 0, 0};
    int ints[2] = {0, 0};
    for (int h = 0; h < 5; ++h) {
        while (li < lines.size() && Trim(lines[li]).empty()) ++li;
        if (li == lines.size())
            return fail("Файл " + Quoted(path) + " кончается в заголовке: нет числа «" +
                        kHeader[h].what + "».");
        const std::string_view tok = FirstToken(lines[li]);
        if (kHeader[h].integer) {
            const auto v = ParseInt(tok);
            if (!v)
                return fail("Ошибка в строке №" + LineNo(li) + " " + fileRef + ": " +
                            Quoted(Excerpt(tok)) + " не является целым числом (" + kHeader[h].what +
                            ").");
            ints[h - 3] = *v;
        } else {
            const auto v = ParseReal(tok);
            if (!v)
                return fail("Ошибка в строке №" + LineNo(li) + " " + fileRef + ": " +
                            Quoted(Excerpt(tok)) + " не является числом (" + kHeader[h].what +
                            "; десятичный разделитель — точка).");
            real[h] = *v;
        }
        ++li;
    }
    L.sred = real[0];
    L.sko = real[1];
    L.park = real[2];
    L.kolOtkAll = ints[0];

    // Cause names: every line of at most 20 characters (counted before trimming).
    L.vidFile = {{kBrak, 0.0}, {kDrugie, 0.0}};
    while (li < lines.size() && Utf8Length(lines[li]) <= kCauseNameMaxLength) {
        if (static_cast<int>(L.vidFile.size()) - 2 == kMaxNamedCauses)
            return fail("В файле " + Quoted(path) + " названо более " +
                        std::to_string(kMaxNamedCauses) +
                        " причины отказов (строка №" + LineNo(li) +
                        "); допускается не более " + std::to_string(kMaxNamedCauses) + ".");
        L.vidFile.push_back({std::string(Trim(lines[li])), 0.0});
        ++li;
    }
    const int maxPrich = static_cast<int>(L.vidFile.size()) - 1;
    if (li == lines.size())
        return fail("В файле " + Quoted(path) +
                    " нет ни одной строки отказа: после заголовка и названий причин нет строки "
                    "длиннее " + std::to_string(kCauseNameMaxLength) + " символов.");

    std::vector<NameSearch> names;
    names.reserve(L.vidFile.size());
    for (const auto& v : L.vidFile) names.emplace_back(LowerCase(v.Nazv_Prich));

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
    L.problems.reserve(rowCount);
    std::vector<CauseMask> priMask;  // named causes occurring in each failure's Pri
    priMask.reserve(rowCount);
    int rows = 0;
    std::string source, srcLower;
    for (; li < lines.size(); ++li) {
        const std::string_view row = Trim(lines[li]);
        if (row.empty()) continue;
        ++rows;
        Problems p;
        const std::size_t tab = row.find('\t');
        const std::string_view timeField = tab == std::string_view::npos ? std::string_view{} : row.substr(0, tab);
        const std::string_view rem = tab == std::string_view::npos ? row : row.substr(tab + 1);
        const auto t = ParseTimeField(timeField);
        if (t && std::fabs(*t) <= kMaxFailureTime)
            p.time = *t;
        else
            res.Messages.push_back("Ошибка в строке №" + LineNo(li) + " файла " + path + ", исправьте)");

        SplitFailureRemainder(Trim(rem), source, p.komment);

        // Every cause whose name occurs in the source text is credited; the last one
        // found gives the cause number. Rejects go to "Брак" whatever they name.
        CauseMask mask = 0;
        if (p.time >= kRejectTime) {
            LowerCaseInto(srcLower, source);
            bool classified = false;
            for (int j = 0; j <= maxPrich; ++j) {
                if (names[j].In(srcLower)) {
                    p.chey = j;
                    L.vidFile[j].Dolya = L.vidFile[j].Dolya + 1;
                    classified = true;
                    if (j >= 2) mask |= CauseMask{1} << j;
                }
            }
            if (classified) {
                p.Pri = source;
            } else {
                p.chey = 1;
                p.Pri = kDrugie;
                L.vidFile[1].Dolya = L.vidFile[1].Dolya + 1;
                mask = drugieMask;
            }
        } else {
            p.chey = 0;
            p.Pri = kBrak;
            L.vidFile[0].Dolya = L.vidFile[0].Dolya + 1;
            mask = brakMask;
        }
        L.problems.push_back(std::move(p));
        priMask.push_back(mask);
    }
    if (L.problems.empty())
        return fail("В файле " + Quoted(path) + " нет ни одной строки отказа: строки после "
                    "названий причин пусты.");
    L.kolOtkAll = rows + 1;

    // Causes named in the file ordered by count, highest first; equal counts keep
    // their file order. sortedPos[j]: the place of file entry j in ArrVid.
    std::vector<int> order;
    for (int j = 2; j <= maxPrich; ++j) order.push_back(j);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return L.vidFile[a].Dolya > L.vidFile[b].Dolya; });
    std::vector<int> sortedPos(L.vidFile.size());
    L.vid.assign(L.vidFile.begin(), L.vidFile.begin() + 2);
    for (int p = 2; p <= maxPrich; ++p) {
        L.vid.push_back(L.vidFile[order[p - 2]]);
        sortedPos[order[p - 2]] = p;
    }

    // Renumber by the sorted list: among the named causes occurring in Pri, the one
    // placed last in ArrVid gives the number; without any the number stays.
    for (std::size_t i = 0; i < L.problems.size(); ++i) {
        const CauseMask m = priMask[i];
        if (m == 0) continue;
        int last = -1;
        for (int j = 2; j <= maxPrich; ++j)
            if ((m >> j) & 1) last = std::max(last, sortedPos[j]);
        L.problems[i].chey = last;
    }
    priMask = {};

    L.kolOtkNez = static_cast<int>(L.problems.size()) - static_cast<int>(std::ceil(L.vid[0].Dolya));

    // Stable ascending sort by time: order by (time, file position), then move.
    {
        std::vector<std::pair<double, std::uint32_t>> keys(L.problems.size());
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = {L.problems[i].time, static_cast<std::uint32_t>(i)};
        std::sort(keys.begin(), keys.end());
        std::vector<Problems> sorted;
        sorted.reserve(keys.size());
        for (const auto& k : keys) sorted.push_back(std::move(L.problems[k.second]));
        L.problems = std::move(sorted);
    }

    // Grid rows, crossings of shares of the fleet, the figures and the log-log sums.
    FailureFileView& v = res.view;
    v.Grid.reserve(L.problems.size() + 1);
    v.Grid.push_back({kGridHeader[0], kGridHeader[1], kGridHeader[2], kGridHeader[3]});
    v.Series1.reserve(L.problems.size());
    const double park = L.park;
    const bool parkUsable = park > 0.0;
    double C = 0.0;
    double marker20 = 0.0, marker80 = 0.0;
    bool saturated = false;
    LnSums sums;
    double firstLnTime = 0.0;
    for (std::size_t i = 0; i < L.problems.size(); ++i) {
        const Problems& f = L.problems[i];
        const double t = f.time;
        const double tPrev = i == 0 ? 0.0 : L.problems[i - 1].time;
        if (t > 0 && L.iFirstPos == -1) L.iFirstPos = static_cast<int>(i);
        if (t >= kRejectTime) {
            const double x = std::log(t + kLogOffset);
            const double y = std::log(static_cast<double>(i + 1));
            if (sums.n == 0) firstLnTime = t;
            else if (t != firstLnTime) sums.distinct = true;
            ++sums.n;
            AddLnPoint(sums, x, y);
            v.Series1.emplace_back(x, y);
        }
        std::array<std::string, 4> cells;
        cells[0] = std::to_string(i + 1);
        cells[1] = TimeText(t, sep);
        if (t > 0) C = C + CensorWeight(L.sred, L.sko, t, saturated);
        const std::string& causeName = L.vid[f.chey].Nazv_Prich;
        cells[2] = causeName;
        cells[3] = f.komment;
        if (parkUsable) {
            if (t >= kRateTime && L.otk2000 == 0) L.otk2000 = C / park * kRateTime / t;
            const double q = C / park;
            auto T = [&](double p) { return t - Frac(C - p * park) * (t - tPrev); };
            if (q >= 0.1 && L.gamma90 == 0) {
                cells[2] = causeName + ", отказов 10% от парка";
                L.gamma90 = T(0.1);
            }
            if (q >= 0.2 && marker20 == 0) {
                cells[2] = causeName + ", отказов 20% от парка";
                marker20 = 1;
            }
            if (q >= 0.5 && L.gamma50Nabl == 0) {
                cells[2] = causeName + ", отказов 50% от наблюдаемого парка";
                L.gamma50Nabl = T(0.5);
            }
            if (q >= 0.5 && L.gamma50Cenz == 0) {
                cells[2] = causeName + ", отказов 50% от парка с учетом цензурирования";
                L.gamma50Cenz = T(0.5);
            }
            if (q >= 0.8 && marker80 == 0) {
                cells[2] = causeName + ", отказов 80% от парка";
                marker80 = 1;
            }
        }
        v.Grid.push_back(std::move(cells));
    }
    const double lastTime = L.problems.back().time;
    if (parkUsable && lastTime < kRateTime && L.otk2000 == 0 && lastTime > 0)
        L.otk2000 = C / park * kRateTime / lastTime;

    if (SolveLine(sums, L.aLn, L.bLn) && L.iFirstPos >= 0) {
        for (double t : {L.problems[L.iFirstPos].time, lastTime}) {
            const double x = std::log(t + kLogOffset);
            v.Series2.emplace_back(x, L.aLn * x + L.bLn);
        }
    } else {
        L.aLn = 0.0;
        L.bLn = 0.0;
    }

    if (!parkUsable)
        res.Warnings.push_back("Размер парка в файле " + Quoted(path) + " не положителен (" +
                               FormatGeneral(park, sep) +
                               "): гамма-ресурсы и отказы на изделие за 2000 ч не вычислены.");
    if (!(L.sko > 0.0))
        res.Warnings.push_back("СКО времени гарантии в файле " + Quoted(path) +
                               " не положительно (" + FormatGeneral(L.sko, sep) +
                               "): поправка на окончание гарантии вырождена.");
    if (saturated)
        res.Warnings.push_back(
            "В файле " + Quoted(path) +
            " есть отказы настолько позже среднего времени гарантии, что доля изделий, вышедших "
            "из гарантии, равна 1: вес каждого такого отказа ограничен значением 2^53.");

    // The window's texts.
    v.Label10 = L.title;
    v.meSred = FormatGeneral(L.sred, sep);
    v.meSKO = FormatGeneral(L.sko, sep);
    v.meKolAll = FormatGeneral(L.park, sep);
    v.meKolOtk = std::to_string(L.kolOtkNez);
    v.LabeledEdit2 = v.meSred;
    v.Edit1 = DecimalText("1", sep, "00025");
    v.Edit6 = DecimalText("1", sep, "00025");
    v.Edit5 = DecimalText("1", sep, "0005");
    v.Edit2 = DecimalText("0", sep, "0000002");
    if (L.kolOtkAll <= 500) v.NPokoleny = "1500";
    else if (L.kolOtkAll <= 999) v.NPokoleny = "2000";
    else if (L.kolOtkAll <= 99999) v.NPokoleny = "4000";

    // Commit: the state changes only now that the whole file has been read.
    st.FileLoaded = true;
    st.DataTitle = std::move(L.title);
    st.SredGar = L.sred;
    st.SKOGar = L.sko;
    st.ParkFile = L.park;
    st.Park = L.park;
    st.KolOtkAll = L.kolOtkAll;
    st.KolOtkNez = L.kolOtkNez;
    st.MaxPrich = maxPrich;
    st.ArrVidFile = std::move(L.vidFile);
    st.ArrVid = std::move(L.vid);
    st.ArrProblems = std::move(L.problems);
    st.iFirstPos = L.iFirstPos;
    st.A_LN = L.aLn;
    st.B_LN = L.bLn;
    st.Gamma90 = L.gamma90;
    st.Gamma50Cenz = L.gamma50Cenz;
    st.Gamma50Nabl = L.gamma50Nabl;
    st.Otk2000 = L.otk2000;
    st.DelitOtk = 1.0;
    st.DataPath = path;
    st.ModGen.Kol_Nakopl = 0;
    st.ModGen.K_powtor = 1.0;
    st.ModGen.Unsens = 0;
    res.ok = true;
    return res;
}

}  // namespace rel
