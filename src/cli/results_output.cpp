#include "cli/results_output.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cli/common.h"
#include "text/text.h"

namespace relcli {

namespace {

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

std::string PadTo(const std::string& s, std::size_t width) {
    const std::size_t n = rel::Utf8Length(s);
    return n < width ? s + std::string(width - n, ' ') : s;
}

}  // namespace

void PrintResultsTable(std::ostream& os, const rel::ResultsContent& rc, bool csv) {
    const rel::ResultsTable& t = rc.Table;
    if (csv) {
        for (int row = 0; row < rel::kResRows; ++row) {
            for (int c = 0; c < t.ShownColumns(); ++c) {
                if (c > 0) os << ',';
                os << CsvField(t.Cell(c, row).text);
            }
            os << '\n';
        }
        return;
    }
    const int cols = std::clamp(t.ColRes + 1, 1, rel::kResCols);
    std::vector<std::size_t> width(static_cast<std::size_t>(cols), 0);
    for (int c = 0; c < cols; ++c)
        for (int row = 0; row < rel::kResRows; ++row)
            width[static_cast<std::size_t>(c)] =
                std::max(width[static_cast<std::size_t>(c)], rel::Utf8Length(t.Cell(c, row).text));
    for (int row = 0; row < rel::kResRows; ++row) {
        std::string line;
        for (int c = 0; c < cols; ++c) {
            if (c > 0) line += " | ";
            line += PadTo(t.Cell(c, row).text, width[static_cast<std::size_t>(c)]);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        os << line << '\n';
        if (row == 0) {
            std::string rule;
            for (int c = 0; c < cols; ++c) {
                if (c > 0) rule += "-+-";
                rule += std::string(width[static_cast<std::size_t>(c)], '-');
            }
            os << rule << '\n';
        }
    }
}

nlohmann::json ResultsJson(const rel::ResultsContent& rc) {
    nlohmann::json j = nlohmann::json::object();
    j["Label10"] = rc.Label10;

    nlohmann::json grid = nlohmann::json::array();
    for (int row = 0; row < rel::kResRows; ++row) {
        nlohmann::json r = nlohmann::json::array();
        for (int c = 0; c < rc.Table.ShownColumns(); ++c) r.push_back(rc.Table.Cell(c, row).text);
        grid.push_back(std::move(r));
    }
    j["Result_Grid"] = std::move(grid);
    // The Kolmogorov verdict of each model column, and the notes under the table.
    nlohmann::json kolm = nlohmann::json::object();
    for (const rel::ResultModelColumn& m : rc.Table.Models)
        kolm[m.record] = {{"Lambda", Num(m.KolmCrt)}, {"Rejected", m.Rejected}};
    if (!kolm.empty()) j["Kolmogorov"] = std::move(kolm);
    if (!rc.Table.Notes.empty()) j["Result_Notes"] = rc.Table.Notes;

    nlohmann::json charts = nlohmann::json::object();
    const std::pair<const char*, const rel::ChartContent*> all[] = {
        {"Chart1", &rc.Chart1}, {"Chart2", &rc.Chart2}, {"Chart3", &rc.Chart3}};
    for (const auto& [chartName, chart] : all) {
        for (const rel::ChartSeries& s : chart->Series) {
            nlohmann::json pts = nlohmann::json::array();
            for (const rel::ChartPoint& p : s.Points) {
                if (s.Horizontal == rel::HAxis::Top)
                    pts.push_back(nlohmann::json::array({Num(p.x), Num(p.y)}));
                else
                    pts.push_back(nlohmann::json::array({p.label, Num(p.y)}));
            }
            charts[s.Name] = {{"chart", chartName}, {"title", s.Title}, {"points", std::move(pts)}};
        }
    }
    j["Charts"] = std::move(charts);
    if (!rc.Messages.empty()) j["Messages"] = rc.Messages;
    return j;
}

}  // namespace relcli
