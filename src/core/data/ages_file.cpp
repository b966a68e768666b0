#include "data/ages_file.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/failure_file.h"
#include "data/input_text.h"
#include "data/warranty_file.h"
#include "text/format.h"
#include "text/text.h"

namespace rel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Quoted(std::string_view s) { return "«" + std::string(s) + "»"; }

// The fields of a line: split at ';' when the line has one (an empty field is a value
// not given), otherwise at runs of blanks and tabs.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    if (line.find(';') != std::string_view::npos) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = line.find(';', start);
            out.push_back(
                TrimBlanks(line.substr(start, end == std::string_view::npos ? line.size() - start : end - start)));
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
        // Trailing empty fields (a line ending with ';') say nothing.
        while (!out.empty() && out.back().empty()) out.pop_back();
        return out;
    }
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

}  // namespace

std::string ReadAges(std::string_view bytes, const std::string& path, double fleet, FleetAges& ages) {
    const InputText in = DecodeInputFile(bytes, path);
    if (!in.ok) return in.error;
    const std::vector<std::string_view> lines = SplitLines(in.text);
    FleetAges out;
    out.Path = path;
    out.Title = lines.empty() ? std::string() : std::string(lines[0]);
    static const char* const kWhat[3] = {"наработка изделия", "окончание гарантии", "наработка в месяц"};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (IsBlankLine(lines[i])) continue;
        if (auto bad = ControlCharInNumberLine(lines[i], i, path, "наработка изделия")) return *bad;
        const std::vector<std::string_view> f = Fields(lines[i]);
        const std::string where = "Ошибка в строке №" + std::to_string(i + 1) + " файла " + Quoted(path) + ": ";
        if (f.empty() || f[0].empty()) return where + "нет наработки изделия.";
        if (f.size() > 3)
            return where + "больше трех значений (наработка, окончание гарантии, наработка в месяц) — " +
                   Quoted(Excerpt(f[3])) + " лишнее.";
        double v[3] = {kNaN, kNaN, kNaN};
        for (std::size_t k = 0; k < f.size(); ++k) {
            if (k > 0 && (f[k].empty() || f[k] == "-")) continue;  // not given
            const auto x = ParseTimeField(f[k]);
            if (!x)
                return where + kWhat[k] + " " + Quoted(Excerpt(f[k])) +
                       " не является числом (десятичный разделитель — точка или запятая).";
            const bool inRange = k == 0   ? *x >= 0 && *x <= kMaxHours
                                 : k == 1 ? *x > 0 && *x <= kMaxHours
                                          : *x >= 0 && *x <= kMaxHoursPerMonth;
            if (!inRange) {
                static const char* const kRange[3] = {"от 0 до 1e9 ч", "больше 0, до 1e9 ч", "от 0 до 744 ч"};
                return where + kWhat[k] + " " + Quoted(Excerpt(f[k])) + " вне допустимых пределов (" + kRange[k] +
                       ").";
            }
            v[k] = *x;
        }
        out.Age.push_back(v[0]);
        out.WarrantyEnd.push_back(v[1]);
        out.Usage.push_back(v[2]);
    }
    const double count = static_cast<double>(out.Age.size());
    if (out.Age.empty()) return "В файле " + Quoted(path) + " нет ни одного изделия.";
    if (count != fleet)
        return "В файле " + Quoted(path) + " " + std::to_string(out.Age.size()) +
               " изделий, а парк файла данных — " + FormatGeneral(fleet, '.') +
               " изделий: число изделий должно совпадать.";
    ages = std::move(out);
    return {};
}

AgesResult LoadAgesFile(AnalysisState& st, const std::string& path, char decimalSep) {
    AgesResult r;
    r.ShortName = WarrantyShortName(path);
    if (path.empty()) {
        r.error = "Файл наработок парка не выбран";
        return r;
    }
    std::string bytes, why;
    bool missing = false;
    if (!ReadFileBytes(path, bytes, why, &missing)) {
        r.error = (missing ? std::string(kWarrantyMissingText) : why) + ". Файл наработок парка не загружен.";
        return r;
    }
    return LoadAgesBytes(st, bytes, path, decimalSep);
}

AgesResult LoadAgesBytes(AnalysisState& st, std::string_view bytes, const std::string& path, char decimalSep) {
    AgesResult r;
    r.ShortName = WarrantyShortName(path);
    auto fail = [&](const std::string& why) {
        r.error = why + " Файл наработок парка не загружен.";
        return r;
    };
    if (st.DataPath.empty() || !(st.Park > 0))
        return fail("Сначала загрузите файл данных: число изделий сверяется с его парком.");
    auto ages = std::make_shared<FleetAges>();
    const std::string err = ReadAges(bytes, path, st.Park, *ages);
    if (!err.empty()) return fail(err);
    // A product cannot have failed at an operating time no product has reached yet.
    const double oldest = *std::max_element(ages->Age.begin(), ages->Age.end());
    double latest = 0;
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i) latest = std::max(latest, st.ArrProblems[i].time);
    if (latest > oldest)
        return fail("В файле данных отказ при наработке " + FormatGeneral(latest, '.') +
                    " ч, а наибольшая наработка изделий в файле " + Quoted(path) + " — " +
                    FormatGeneral(oldest, '.') + " ч.");

    std::size_t known = 0, usage = 0;
    double sum = 0;
    for (std::size_t i = 0; i < ages->Age.size(); ++i) {
        known += std::isfinite(ages->WarrantyEnd[i]) ? 1 : 0;
        usage += std::isfinite(ages->Usage[i]) ? 1 : 0;
        sum += ages->Age[i];
    }
    st.ForEachModel([](Mod_Weib& m) { m.Executed = false; });
    st.Ages = ages;
    r.Title = ages->Title;
    r.CountText = std::to_string(ages->Age.size());
    r.KnownText = std::to_string(known);
    r.UsageText = std::to_string(usage);
    r.MeanAgeText = FormatFloatFixed(sum / static_cast<double>(ages->Age.size()), 6, 1, decimalSep);
    r.ok = true;
    return r;
}

}  // namespace rel
