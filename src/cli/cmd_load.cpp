// relan-cli load DATA [--warranty GAR] [--decimal-comma] [--json]: loads the
// failure data file (and the warranty end-time file after it), builds the
// histogram, and prints a summary or one JSON object.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/common.h"
#include "export/json_stream.h"
#include "frontend/standard_output.h"
#include "data/histogram.h"
#include "fit/defaults.h"
#include "text/format.h"
#include "text/text.h"

namespace relcli {

namespace {

struct LoadOptions {
    std::string data;
    std::string warranty;
    bool warrantyGiven = false;
    bool decimalComma = false;
    bool json = false;
    bool skipBadRows = false;
    HelpLang lang = HelpLang::Russian;
};

// The summary as one JSON object, written as the values are visited: the arrays
// that grow with the number of failures (ArrProblems, Grid, Series1, Messages,
// ArrGar) go out element by element, never built in memory. The text is the one
// the JSON library's dump of the whole object gives (keys in order, no blanks).
void WriteJson(const rel::AnalysisState& st, const rel::LoadedInputs& in, char sep) {
    JsonStream out(stdout, FlushStandardOutput);
    using Out = JsonStream;
    auto number = [](double x) { return [x](Out& o) { o.Number(x); }; };
    auto integer = [](long long v) { return [v](Out& o) { o.Integer(v); }; };
    auto text = [](const std::string& s) { return [&s](Out& o) { o.String(s); }; };
    auto points = [](const std::vector<std::pair<double, double>>& pts) {
        return [&pts](Out& o) {
            o.Array(pts.size(), [&](std::size_t i) {
                o.Raw('[');
                o.Number(pts[i].first);
                o.Raw(',');
                o.Number(pts[i].second);
                o.Raw(']');
            });
        };
    };
    const rel::FailureFileView& view = in.data.view;
    // Without a window the field's text is its default until a load sets it.
    const std::string generations = view.GenerationsText.value_or(rel::defaults::kGenerationsText);

    JsonObject j;
    j.Add("DataTitle", text(st.DataTitle));
    j.Add("SredGar", number(st.SredGar));
    j.Add("SKOGar", number(st.SKOGar));
    j.Add("ParkFile", number(st.ParkFile));
    j.Add("Park", number(st.Park));
    j.Add("KolOtkAll", integer(st.KolOtkAll));
    j.Add("KolOtkNez", integer(st.KolOtkNez));
    j.Add("MaxPrich", integer(st.MaxPrich));
    // Each object's keys in the library's order: "Dolya" < "Nazv_Prich".
    j.Add("ArrVid", [&](Out& o) {
        o.Array(st.ArrVid.size(), [&](std::size_t i) {
            o.Raw("{\"Dolya\":");
            o.Number(st.ArrVid[i].Dolya);
            o.Raw(",\"Nazv_Prich\":");
            o.String(st.ArrVid[i].Nazv_Prich);
            o.Raw('}');
        });
    });
    j.Add("iFirstPos", integer(st.iFirstPos));
    j.Add("A_LN", number(st.A_LN));
    j.Add("B_LN", number(st.B_LN));
    j.Add("Gamma90", number(st.Gamma90));
    j.Add("Gamma50Cenz", number(st.Gamma50Cenz));
    j.Add("Gamma50Nabl", number(st.Gamma50Nabl));
    j.Add("Otk2000", number(st.Otk2000));
    j.Add("DelitOtk", number(st.DelitOtk));
    j.Add("NPokoleny", text(generations));
    j.Add("Series2", points(view.LnLine));
    // "Npr" < "Sum" < "time".
    j.Add("ArrHist", [&](Out& o) {
        o.Array(st.ArrHist.size(), [&](std::size_t i) {
            const rel::Hist_Rec& h = st.ArrHist[i];
            o.Raw("{\"Npr\":");
            const std::size_t causes = static_cast<std::size_t>(std::clamp(st.MaxPrich + 1, 0, rel::kNprSize));
            o.Array(causes, [&](std::size_t c) { o.Integer(h.Npr[c]); });
            o.Raw(",\"Sum\":");
            o.Integer(h.Sum);
            o.Raw(",\"time\":");
            o.Number(h.time);
            o.Raw('}');
        });
    });
    j.Add("Shag1", integer(st.Shag1));
    j.Add("Shag2", integer(st.Shag2));
    // The failure rows left out (--skip-bad-rows), one line each.
    j.Add("Messages", [&](Out& o) {
        o.Array(in.data.BadRows.size(),
                [&](std::size_t i) { o.String(rel::BadRowText(in.data.BadRows[i], st.DataPath)); });
    });
    if (in.warrantyLoaded) {
        j.Add("ArrGar",
              [&](Out& o) { o.Array(st.ArrGar.size(), [&](std::size_t i) { o.Number(st.ArrGar[i]); }); });
        j.Add("meSred", text(in.warranty.SredText));
        j.Add("meSKO", text(in.warranty.SKOText));
        j.Add("MaskEdit1", text(in.warranty.CountText));
        j.Add("MaskEditSrednee", text(in.warranty.MeanText));
        j.Add("MaskEditSKO", text(in.warranty.SdText));
    }
    // "Pri" < "chey" < "komment" < "time".
    j.Add("ArrProblems", [&](Out& o) {
        o.Array(st.ArrProblems.size(), [&](std::size_t i) {
            const rel::FailureRef p = st.ArrProblems[i];
            o.Raw("{\"Pri\":");
            o.KeptString(p.Pri);
            o.Raw(",\"chey\":");
            o.Integer(p.chey);
            o.Raw(",\"komment\":");
            o.KeptString(p.komment);
            o.Raw(",\"time\":");
            o.Number(p.time);
            o.Raw('}');
        });
    });
    // The failure list as the window shows it: its header, then a row per failure;
    // the rows where shares of the fleet are reached carry the last mark of each.
    j.Add("Grid", [&](Out& o) {
        std::vector<std::pair<std::size_t, const char*>> marks;
        for (const rel::ShareMark& m : view.Marks) marks.emplace_back(m.row, m.text);
        std::stable_sort(marks.begin(), marks.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::size_t nextMark = 0;
        std::array<char, 24> rowNumber;
        o.Array(st.ArrProblems.size() + 1, [&](std::size_t r) {
            if (r == 0) {
                o.Raw('[');
                for (std::size_t c = 0; c < rel::kGridHeader.size(); ++c) {
                    if (c > 0) o.Raw(',');
                    o.String(rel::kGridHeader[c]);
                }
                o.Raw(']');
                return;
            }
            const std::size_t i = r - 1;
            const rel::FailureRef f = st.ArrProblems[i];
            const char* mark = nullptr;
            for (; nextMark < marks.size() && marks[nextMark].first == i; ++nextMark)
                mark = marks[nextMark].second;
            const auto n = std::to_chars(rowNumber.data(), rowNumber.data() + rowNumber.size(), r);
            o.Raw("[\"");
            o.Raw(std::string_view(rowNumber.data(), static_cast<std::size_t>(n.ptr - rowNumber.data())));
            o.Raw("\",");
            o.String(rel::TimeText(f.time, sep));
            o.Raw(',');
            const std::string& cause = st.ArrVid[static_cast<std::size_t>(f.chey)].Nazv_Prich;
            if (mark)
                o.String(cause + mark);
            else
                o.KeptString(cause);
            o.Raw(',');
            o.KeptString(f.komment);
            o.Raw(']');
        });
    });
    j.Add("Series1", points(view.LnPoints));

    j.Write(out);
    out.Raw('\n');
    out.Finish();
}

std::size_t Chars(const std::string& s) {
    std::size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// Pads a UTF-8 text with blanks to the given number of characters.
std::string Pad(const std::string& s, std::size_t width) {
    const std::size_t n = Chars(s);
    return n >= width ? s : s + std::string(width - n, ' ');
}

std::string PadLeft(const std::string& s, std::size_t width) {
    const std::size_t n = Chars(s);
    return n >= width ? s : std::string(width - n, ' ') + s;
}

void PrintSummary(const rel::AnalysisState& st, const rel::LoadedInputs& in, const LoadOptions& o, char sep) {
    auto g = [sep](double x) { return rel::FormatGeneral(x, sep); };
    auto line = [](const std::string& label, const std::string& value) {
        std::printf("%s %s\n", Pad(label + ":", 44).c_str(), value.c_str());
    };
    // The file's own texts and the paths are shown with their control characters
    // written out: a title must not move the cursor or retitle the terminal.
    std::printf("Файл данных: %s\n", rel::EscapeControls(o.data).c_str());
    line("Заголовок", rel::EscapeControls(in.data.view.Title));
    line("Среднее время гарантии, ч", in.data.view.SredText);
    line("СКО времени гарантии, ч", in.data.view.SKOText);
    line("Парк, изделий", in.data.view.ParkText);
    line("Строк отказов + 1 (KolOtkAll)", std::to_string(st.KolOtkAll));
    line("Независимых отказов (KolOtkNez)", std::to_string(st.KolOtkNez));
    auto f1 = [sep](double x) { return rel::FormatFixed(x, 1, 1, sep); };
    line("Гамма 90% (10% парка), ч", f1(st.Gamma90));
    line("Гамма 50%, набл. / ценз., ч", f1(st.Gamma50Nabl) + " / " + f1(st.Gamma50Cenz));
    line("Отказов на изделие за 2000 ч", rel::FormatFixed(st.Otk2000, 4, 2, sep));
    if (in.data.view.LnLine.empty())
        line("Прямая ln-ln", "не определена");
    else
        line("Прямая ln-ln (A_LN, B_LN)",
             rel::FormatFixed(st.A_LN, 6, 4, sep) + "  " + rel::FormatFixed(st.B_LN, 6, 4, sep));
    line("Число поколений", in.data.view.GenerationsText.value_or(rel::defaults::kGenerationsText));
    std::printf("\nПричины отказов (%d):\n", st.MaxPrich + 1);
    for (int c = 0; c <= st.MaxPrich; ++c)
        std::printf("  %2d  %s %s\n", c, Pad(rel::EscapeControls(st.ArrVid[c].Nazv_Prich), 24).c_str(),
                    g(st.ArrVid[c].Dolya).c_str());
    if (in.warrantyLoaded) {
        std::printf("\nФайл времен гарантии: %s\n", rel::EscapeControls(o.warranty).c_str());
        line("Заголовок", rel::EscapeControls(in.warranty.Title));
        line("Количество объектов анализа", in.warranty.CountText);
        line("Среднее время гарантии, ч", in.warranty.MeanText + "  (" + in.warranty.SredText + ")");
        line("СКО времени гарантии, ч", in.warranty.SdText + "  (" + in.warranty.SKOText + ")");
    }
    std::printf("\nГистограмма: %zu интервалов, шаг первых десяти %d ч, остальных %d ч\n", st.ArrHist.size(),
                st.Shag1, st.Shag2);
    std::printf("  %s %s\n", PadLeft("до, ч", 12).c_str(), PadLeft("отказов", 8).c_str());
    for (const auto& h : st.ArrHist)
        std::printf("  %s %s\n", PadLeft(g(h.time), 12).c_str(), PadLeft(std::to_string(h.Sum), 8).c_str());
    if (!in.data.BadRows.empty())
        std::printf("\nСтрок с ошибками: %zu, не загружены (см. сообщение выше)\n", in.data.BadRows.size());
}

int RunLoad(const LoadOptions& o) {
    const char sep = o.decimalComma ? ',' : '.';
    if (o.warrantyGiven && o.warranty.empty()) {
        std::fprintf(stderr, "%s\n",
                     Pick(o.lang, "No warranty end-time file given (--warranty)",
                          "Не указан путь к файлу времен гарантии (--warranty)"));
        return kExitUsage;
    }
    rel::AnalysisState st;
    rel::LoadedInputs in;
    if (!LoadInputs(st, o.data, o.warranty, sep, in, BadRows(o.skipBadRows), o.lang)) return kExitInput;
    rel::BuildHist(st);
    if (o.json) {
        WriteJson(st, in, sep);
    } else {
        PrintSummary(st, in, o, sep);
    }
    return kExitOk;
}

}  // namespace

void RegisterLoad(CLI::App& app, int& status, HelpLang lang) {
    auto opts = std::make_shared<LoadOptions>();
    opts->lang = lang;
    CLI::App* cmd = app.add_subcommand(
        "load", Pick(lang,
                     "Load a failure data file (and a warranty end-time file), build the histogram, print the "
                     "summary",
                     "Загрузить файл отказов (и файл времен гарантии), построить гистограмму, вывести сводку"));
    SetCommandWords(*cmd, lang);
    cmd->add_option("DATA", opts->data, Pick(lang, "failure data file", "файл исходных данных"))->required();
    CLI::Option* gar = cmd->add_option("--warranty", opts->warranty,
                                       Pick(lang, "warranty end-time file, loaded after the data file",
                                            "файл времен окончания гарантии, загружается после файла данных"));
    cmd->add_flag("--decimal-comma", opts->decimalComma,
                  Pick(lang, "write texts with a decimal comma", "писать числа с десятичной запятой"));
    cmd->add_flag("--json", opts->json, Pick(lang, "print one JSON object", "вывести один объект JSON"));
    cmd->add_flag("--skip-bad-rows", opts->skipBadRows, SkipBadRowsHelp(lang));
    cmd->callback([opts, gar, &status] {
        opts->warrantyGiven = gar->count() > 0;
        try {
            status = RunLoad(*opts);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", Pick(opts->lang, "Error", "Ошибка"), e.what());
            status = kExitInput;
        }
    });
}

}  // namespace relcli
