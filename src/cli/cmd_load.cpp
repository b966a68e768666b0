// relan-cli load DATA [--warranty GAR] [--decimal-comma] [--json]: loads the
// failure data file (and the warranty end-time file after it), builds the
// histogram, and prints a summary or one JSON object.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/common.h"
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

nlohmann::json Points(const std::vector<std::pair<double, double>>& pts) {
    nlohmann::json a = nlohmann::json::array();
    for (const auto& [x, y] : pts) a.push_back(nlohmann::json::array({Num(x), Num(y)}));
    return a;
}

// The summary as one JSON object, written as a stream: the arrays that grow with
// the number of failures (ArrProblems, Grid, Series1) are written element by element
// instead of being built in memory first. The text is the same as dumping the whole
// object (keys in order, no blanks).
void WriteJson(const rel::AnalysisState& st, const rel::LoadedInputs& in, char sep) {
    using nlohmann::json;
    json j = json::object();
    j["DataTitle"] = st.DataTitle;
    j["SredGar"] = Num(st.SredGar);
    j["SKOGar"] = Num(st.SKOGar);
    j["ParkFile"] = Num(st.ParkFile);
    j["Park"] = Num(st.Park);
    j["KolOtkAll"] = st.KolOtkAll;
    j["KolOtkNez"] = st.KolOtkNez;
    j["MaxPrich"] = st.MaxPrich;
    json vid = json::array();
    for (const auto& v : st.ArrVid) vid.push_back({{"Nazv_Prich", v.Nazv_Prich}, {"Dolya", Num(v.Dolya)}});
    j["ArrVid"] = std::move(vid);
    j["iFirstPos"] = st.iFirstPos;
    j["A_LN"] = Num(st.A_LN);
    j["B_LN"] = Num(st.B_LN);
    j["Gamma90"] = Num(st.Gamma90);
    j["Gamma50Cenz"] = Num(st.Gamma50Cenz);
    j["Gamma50Nabl"] = Num(st.Gamma50Nabl);
    j["Otk2000"] = Num(st.Otk2000);
    j["DelitOtk"] = Num(st.DelitOtk);
    // Without a window the field's text is its default until a load sets it.
    j["NPokoleny"] = in.data.view.GenerationsText.value_or(rel::defaults::kGenerationsText);
    j["Series2"] = Points(in.data.view.LnLine);
    json hist = json::array();
    for (const auto& h : st.ArrHist) {
        json npr = json::array();
        for (int c = 0; c <= st.MaxPrich && c < rel::kNprSize; ++c) npr.push_back(h.Npr[c]);
        hist.push_back({{"time", Num(h.time)}, {"Sum", h.Sum}, {"Npr", std::move(npr)}});
    }
    j["ArrHist"] = std::move(hist);
    j["Shag1"] = st.Shag1;
    j["Shag2"] = st.Shag2;
    // The failure rows left out (--skip-bad-rows), one line each.
    json bad = json::array();
    for (const rel::BadRow& b : in.data.BadRows) bad.push_back(rel::BadRowText(b, st.DataPath));
    j["Messages"] = std::move(bad);
    if (in.warrantyLoaded) {
        j["ArrGar"] = Nums(st.ArrGar);
        j["meSred"] = in.warranty.SredText;
        j["meSKO"] = in.warranty.SKOText;
        j["MaskEdit1"] = in.warranty.CountText;
        j["MaskEditSrednee"] = in.warranty.MeanText;
        j["MaskEditSKO"] = in.warranty.SdText;
    }
    // Places of the streamed arrays among the keys.
    for (const char* k : {"ArrProblems", "Grid", "Series1"}) j[k] = nullptr;

    std::string out;
    // The library's own serializer, writing straight into the buffer.
    nlohmann::detail::serializer<json> serializer(nlohmann::detail::output_adapter<char>(out), ' ',
                                                  json::error_handler_t::replace);
    auto flush = [&out] {
        if (out.size() >= (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
            FlushStandardOutput();
        }
    };
    auto dump = [&](const json& v) {
        serializer.dump(v, false, false, 0);
        flush();
    };
    auto stream = [&](std::size_t n, const auto& element) {
        out += '[';
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) out += ',';
            element(i);
            flush();
        }
        out += ']';
    };
    out += '{';
    bool first = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
        if (!first) out += ',';
        first = false;
        dump(json(it.key()));
        out += ':';
        const std::string& k = it.key();
        // Each element as the library writes it: an object's keys in order ("Pri" <
        // "chey" < "komment" < "time"), no blanks.
        if (k == "ArrProblems") {
            stream(st.ArrProblems.size(), [&](std::size_t i) {
                const rel::FailureRef p = st.ArrProblems[i];
                out += "{\"Pri\":";
                serializer.dump(json(p.Pri), false, false, 0);
                out += ",\"chey\":" + std::to_string(p.chey) + ",\"komment\":";
                serializer.dump(json(p.komment), false, false, 0);
                out += ",\"time\":";
                serializer.dump(Num(p.time), false, false, 0);
                out += '}';
            });
        } else if (k == "Grid") {
            stream(st.ArrProblems.size() + 1, [&](std::size_t i) {
                const auto row = i == 0 ? std::array<std::string, 4>{rel::kGridHeader[0], rel::kGridHeader[1],
                                                                     rel::kGridHeader[2], rel::kGridHeader[3]}
                                        : rel::FailureGridRow(st, in.data.view.Marks, i - 1, sep);
                out += '[';
                for (std::size_t c = 0; c < 4; ++c) {
                    if (c > 0) out += ',';
                    serializer.dump(json(row[c]), false, false, 0);
                }
                out += ']';
            });
        } else if (k == "Series1") {
            const auto& pts = in.data.view.LnPoints;
            stream(pts.size(), [&](std::size_t i) {
                out += '[';
                serializer.dump(Num(pts[i].first), false, false, 0);
                out += ',';
                serializer.dump(Num(pts[i].second), false, false, 0);
                out += ']';
            });
        } else {
            dump(it.value());
        }
    }
    out += "}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
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
