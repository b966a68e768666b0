#include "data/warranty_file.h"

#include <cmath>
#include <vector>

#include "data/failure_file.h"
#include "data/input_text.h"
#include "text/text.h"
#include "text/format.h"

namespace rel {

namespace {

std::string Quoted(std::string_view s) { return "«" + std::string(s) + "»"; }

}  // namespace

std::string WarrantyShortName(const std::string& path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash != std::string::npos ? path.substr(slash + 1) : drive ? path.substr(2) : path;
    if (drive) return path.substr(0, 1) + ":\\.." + name;
    if (!path.empty() && path[0] == '/') return "/.." + name;
    return ".." + name;
}

WarrantyResult LoadWarrantyFile(AnalysisState& st, const std::string& path, char decimalSep) {
    if (path.empty()) {
        WarrantyResult r;
        r.error = "Файл времен гарантии не выбран";
        return r;
    }
    std::string bytes, why;
    bool missing = false;
    if (!ReadFileBytes(path, bytes, why, &missing)) {
        // A file that does not exist gets the usual text; a folder, a device, a loop
        // of links or a file that cannot be read is named as such.
        WarrantyResult r;
        r.ShortName = WarrantyShortName(path);
        r.error = missing ? std::string(kWarrantyMissingText) : why + ". Файл времен гарантии не загружен.";
        st.FileLoaded = false;
        return r;
    }
    return LoadWarrantyBytes(st, bytes, path, decimalSep);
}

WarrantyResult LoadWarrantyBytes(AnalysisState& st, std::string_view bytes, const std::string& path,
                                 char decimalSep) {
    WarrantyResult r;
    r.ShortName = WarrantyShortName(path);
    auto fail = [&](std::string why) {
        r.ok = false;
        r.error = std::move(why) + " Файл времен гарантии не загружен.";
        return r;
    };
    const InputText in = DecodeInputFile(bytes, path);
    if (!in.ok) return fail(in.error);
    const std::string& text = in.text;
    const std::vector<std::string_view> lines = SplitLines(text);

    const std::string title = lines.empty() ? std::string() : std::string(lines[0]);
    DoubArr values;
    values.reserve(lines.size());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (IsBlankLine(lines[i])) continue;
        if (auto bad = ControlCharInNumberLine(lines[i], i, path, "время окончания гарантии")) return fail(*bad);
        const std::string_view tok = FirstToken(lines[i]);
        const auto v = ParseReal(tok);
        if (!v)
            return fail("Ошибка в строке №" + std::to_string(i + 1) + " файла " + Quoted(path) + ": " +
                        Quoted(Excerpt(tok)) + " не является числом (десятичный разделитель — точка).");
        if (!(*v >= 0.0 && *v <= kMaxHours))
            return fail("Ошибка в строке №" + std::to_string(i + 1) + " файла " + Quoted(path) +
                        ": время окончания гарантии " + Quoted(Excerpt(tok)) +
                        " вне допустимых пределов (от 0 до 1e9 ч).");
        values.push_back(*v);
    }
    if (values.size() < 2)
        return fail("В файле " + Quoted(path) + (values.empty() ? " нет ни одного" : " только одно") +
                    " время окончания гарантии; для среднего и СКО нужно не менее двух.");

    // Arithmetic mean and sample standard deviation, summed in file order.
    const double n = static_cast<double>(values.size());
    double sum = 0.0;
    for (double x : values) sum = sum + x;
    const double mean = sum / n;
    double sq = 0.0;
    for (double x : values) sq = sq + (x - mean) * (x - mean);
    const double sd = std::sqrt(sq / (n - 1));
    if (!std::isfinite(mean) || !std::isfinite(sd))
        return fail("Времена окончания гарантии в файле " + Quoted(path) +
                    " слишком велики: среднее или СКО не представимо числом.");

    st.ForEachModel([](Mod_Weib& m) { m.Executed = false; });
    st.FileLoaded = true;
    st.DataTitle = title;
    st.ArrGar = std::move(values);
    st.WarrantyPath = path;
    st.SredGar = mean;
    st.SKOGar = sd;

    r.Title = title;
    r.CountText = std::to_string(st.ArrGar.size());
    r.SredText = FormatFloatFixed(mean, 3, 1, decimalSep);
    r.SKOText = FormatFloatFixed(sd, 3, 1, decimalSep);
    r.MeanText = FormatFloatFixed(mean, 6, 3, decimalSep);
    r.SdText = FormatFloatFixed(sd, 6, 3, decimalSep);
    r.ok = true;
    return r;
}

}  // namespace rel
