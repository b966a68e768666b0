#include "export/workbook.h"

#include <xlsxwriter.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fit/methods.h"
#include "results/results_table.h"
#include "stats/distrib.h"

namespace relcli {

namespace {

// The cell text without its padding.
std::string Clean(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

// The library prints its own lines (in English) on standard error; the program says
// what went wrong itself, so they are kept off the screen while it works.
class QuietLibrary {
public:
    QuietLibrary() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietLibrary() {
        std::fflush(stderr);
        if (saved_ < 0) return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;

private:
    int saved_ = -1;
};

class Sheet {
public:
    // A sheet the library could not make (its work file could not be created) takes
    // nothing; the workbook's close then reports the failure.
    Sheet(lxw_workbook* wb, const char* name, lxw_format* bold)
        : ws_(workbook_add_worksheet(wb, name)), bold_(bold) {}
    bool Made() const { return ws_ != nullptr; }
    void Text(lxw_row_t r, lxw_col_t c, const std::string& s, bool strong = false) {
        if (ws_ && !s.empty()) worksheet_write_string(ws_, r, c, s.c_str(), strong ? bold_ : nullptr);
    }
    // A number; a value that is not finite leaves the cell empty.
    void Number(lxw_row_t r, lxw_col_t c, double x) {
        if (ws_ && std::isfinite(x)) worksheet_write_number(ws_, r, c, x, nullptr);
    }
    void Width(lxw_col_t first, lxw_col_t last, double width) {
        if (ws_) worksheet_set_column(ws_, first, last, width, nullptr);
    }

private:
    lxw_worksheet* ws_;
    lxw_format* bold_;
};

void ResultsSheet(Sheet& s, const rel::AnalysisState& st, const rel::ResultsContent& rc, const rel::MlResult* ml) {
    lxw_row_t r = 0;
    s.Text(r++, 0, rc.Label10, true);
    ++r;
    const rel::ResultsTable& t = rc.Table;
    for (int row = 0; row < rel::kResRows; ++row, ++r)
        for (int col = 0; col < t.ShownColumns(); ++col)
            s.Text(r, static_cast<lxw_col_t>(col), Clean(t.Cell(col, row).text), row == 0 || col == 0);
    // What the figures are worth: the models the Kolmogorov test rejects, a
    // repetition coefficient the data cannot fix.
    for (const std::string& note : t.Notes) s.Text(r++, 0, note);
    s.Width(0, 0, 36);
    s.Width(1, static_cast<lxw_col_t>(t.ShownColumns()), 22);

    // The fitted models' figures as numbers.
    r += 1;
    s.Text(r++, 0, "Параметры моделей", true);
    const char* heads[] = {"Модель",
                           "A (форма)",
                           "B (масштаб), ч",
                           "K_powtor",
                           "Sred, ч",
                           "SKO, ч",
                           "Гамма 50%, ч",
                           "Гамма 90%, ч",
                           "Отказов/изд. за 2000 ч",
                           "Отказов/изд. за 4000 ч",
                           "Критерий Колмогорова",
                           "Отвергнута критерием Колмогорова"};
    for (lxw_col_t c = 0; c < std::size(heads); ++c) s.Text(r, c, heads[c], true);
    ++r;
    for (const rel::ResultModelColumn& m : t.Models) {
        const rel::Mod_Weib* M = st.ModelNamed(m.record);
        if (!M) continue;
        // Model 3 on the ridge: its scale and repetition coefficient are not
        // determined by the data, so they are left empty.
        const bool ridge = m.record == "ModML" && ml && ml->ok && !ml->Separable;
        const double nan = std::nan("");
        s.Text(r, 0, m.caption);
        s.Number(r, 1, M->A);
        s.Number(r, 2, ridge ? nan : M->B);
        s.Number(r, 3, ridge ? nan : M->K_powtor);
        s.Number(r, 4, M->Sred);
        s.Number(r, 5, M->SKO);
        s.Number(r, 6, rel::WeibQuantile(M->A, M->B, 0.5 / M->K_powtor));
        s.Number(r, 7, rel::WeibQuantile(M->A, M->B, 0.1 / M->K_powtor));
        s.Number(r, 8, M->K_powtor * rel::WeibInterval(M->A, M->B, 0.0, 2000.0));
        s.Number(r, 9, M->K_powtor * rel::WeibInterval(M->A, M->B, 0.0, 4000.0));
        s.Number(r, 10, m.KolmCrt);
        if (std::isfinite(m.KolmCrt)) s.Text(r, 11, m.Rejected ? "да" : "нет");
        ++r;
    }

    // Model 3's estimates with their 95 % intervals (an open end is an empty cell).
    if (!ml || !ml->ok) return;
    r += 1;
    s.Text(r++, 0, "Модель 3 (макс. правдоподобия): оценки и 95% доверительные интервалы", true);
    const char* mlHeads[] = {"Величина", "Оценка", "Нижняя граница", "Верхняя граница"};
    for (lxw_col_t c = 0; c < 4; ++c) s.Text(r, c, mlHeads[c], true);
    ++r;
    const double nan = std::nan("");
    const struct {
        const char* label;
        rel::MlEstimate e;
    } rows[] = {
        {"Форма A", {ml->A, ml->IntA.lo, ml->IntA.hi}},
        {"Масштаб B, ч", {ml->Separable ? ml->B : nan, ml->IntB.lo, ml->IntB.hi}},
        {"Коэффициент повторности K", {ml->Separable ? ml->K_powtor : nan, ml->IntK.lo, ml->IntK.hi}},
        {"Отказов на изделие за 2000 ч", ml->N2000},
        {"Отказов на изделие за 4000 ч", ml->N4000},
        {"Отказов на изделие за 6000 ч", ml->N6000},
        {"Гамма 90%, ч", ml->Gamma90},
        {"Гамма 50%, ч", ml->Gamma50},
    };
    for (const auto& row : rows) {
        s.Text(r, 0, row.label);
        s.Number(r, 1, row.e.est);
        s.Number(r, 2, row.e.lo);
        s.Number(r, 3, row.e.hi);
        ++r;
    }
    if (rc.ML && !rc.ML->verdict.empty()) s.Text(r++, 0, rc.ML->verdict);
    if (rc.ML)
        for (const std::string& n : rc.ML->notes) s.Text(r++, 0, n);
}

void FailuresSheet(Sheet& s, const rel::AnalysisState& st) {
    const char* heads[] = {"№ отказа", "Наработка, ч", "Причина", "Источник отказа", "Описание отказа"};
    for (lxw_col_t c = 0; c < 5; ++c) s.Text(0, c, heads[c], true);
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i) {
        const rel::FailureRef f = st.ArrProblems[i];
        const lxw_row_t r = static_cast<lxw_row_t>(i + 1);
        s.Number(r, 0, static_cast<double>(i + 1));
        s.Number(r, 1, f.time);
        if (f.chey >= 0 && static_cast<std::size_t>(f.chey) < st.ArrVid.size())
            s.Text(r, 2, st.ArrVid[static_cast<std::size_t>(f.chey)].Nazv_Prich);
        s.Text(r, 3, std::string(f.Pri));
        s.Text(r, 4, std::string(f.komment));
    }
    s.Width(0, 1, 12);
    s.Width(2, 3, 28);
    s.Width(4, 4, 40);
}

void HistogramSheet(Sheet& s, const rel::AnalysisState& st) {
    s.Text(0, 0, "До, ч", true);
    s.Text(0, 1, "Отказов", true);
    const int causes = std::min(st.MaxPrich, rel::kNprSize - 1);
    for (int c = 0; c <= causes && static_cast<std::size_t>(c) < st.ArrVid.size(); ++c)
        s.Text(0, static_cast<lxw_col_t>(2 + c), st.ArrVid[static_cast<std::size_t>(c)].Nazv_Prich, true);
    lxw_row_t r = 1;
    for (const rel::Hist_Rec& h : st.ArrHist) {
        s.Number(r, 0, h.time);
        s.Number(r, 1, h.Sum);
        for (int c = 0; c <= causes; ++c)
            s.Number(r, static_cast<lxw_col_t>(2 + c), h.Npr[static_cast<std::size_t>(c)]);
        ++r;
    }
    s.Width(0, static_cast<lxw_col_t>(2 + causes), 14);
}

// The mean cumulative function: failures per product by each failure time, with its band.
void McfSheet(Sheet& s, const rel::Mcf& m) {
    const char* heads[] = {"Наработка, ч", "Отказов на изделие (MCF)", "Нижняя граница 95%",
                           "Верхняя граница 95%"};
    for (lxw_col_t c = 0; c < 4; ++c) s.Text(0, c, heads[c], true);
    lxw_row_t r = 1;
    for (const rel::McfPoint& p : m.points) {
        const double cells[] = {p.t, p.Value, p.Lo, p.Hi};
        for (lxw_col_t c = 0; c < 4; ++c) s.Number(r, c, cells[c]);
        ++r;
    }
    s.Width(0, 3, 22);
}

// A fleet in service: the claims still to come, in all and month by month, with their
// 95 % predictive intervals.
void ForecastSheet(Sheet& s, const rel::ForecastSummary& f) {
    const rel::MlForecast& F = f.figures;
    s.Text(0, 0, f.title, true);
    s.Text(1, 0, "До окончания гарантии", true);
    s.Number(1, 1, F.Remaining.est);
    s.Number(1, 2, F.Remaining.lo);
    s.Number(1, 3, F.Remaining.hi);
    const char* heads[] = {"Месяц",
                           "Ожидается отказов",
                           "Нижняя граница 95%",
                           "Верхняя граница 95%",
                           "Нарастающим итогом",
                           "Нижняя граница 95%",
                           "Верхняя граница 95%"};
    for (lxw_col_t c = 0; c < 7; ++c) s.Text(3, c, heads[c], true);
    lxw_row_t r = 4;
    for (const rel::MlForecastMonth& m : F.Months) {
        const double cells[] = {
            static_cast<double>(m.Month), m.Expected, m.Lo, m.Hi, m.Cumulative, m.CumLo, m.CumHi};
        for (lxw_col_t c = 0; c < 7; ++c) s.Number(r, c, cells[c]);
        ++r;
    }
    s.Width(0, 0, 24);
    s.Width(1, 6, 20);
}

// Model 3 per cause: a row a cause with its figures as numbers, then the test.
void CausesSheet(Sheet& s, const rel::CausesSummary& c) {
    s.Text(0, 0, c.title, true);
    const char* heads[] = {"Причина",
                           "Отказов",
                           "Форма A",
                           "Нижняя граница 95%",
                           "Верхняя граница 95%",
                           "Масштаб B, ч",
                           "Коэффициент повторности K",
                           "N(2000)",
                           "Нижняя граница 95%",
                           "Верхняя граница 95%",
                           "N(4000)",
                           "Нижняя граница 95%",
                           "Верхняя граница 95%",
                           "За гарантию на изделие",
                           "Нижняя граница 95%",
                           "Верхняя граница 95%",
                           "Доля",
                           "Примечание"};
    constexpr lxw_col_t kCols = sizeof heads / sizeof heads[0];
    for (lxw_col_t col = 0; col < kCols; ++col) s.Text(1, col, heads[col], true);
    lxw_row_t r = 2;
    for (std::size_t i = 0; i < c.figures.causes.size(); ++i) {
        const rel::MlCauseFit& f = c.figures.causes[i];
        s.Text(r, 0, c.rows[i][0]);
        s.Number(r, 1, f.failures);
        const double nan = std::nan("");
        const double cells[] = {f.fitted ? f.A : nan,
                                f.IntA.lo,
                                f.IntA.hi,
                                f.fitted && f.Separable ? f.B : nan,
                                f.fitted && f.Separable ? f.K : nan,
                                f.N2000.est,
                                f.N2000.lo,
                                f.N2000.hi,
                                f.N4000.est,
                                f.N4000.lo,
                                f.N4000.hi,
                                f.Claims.est,
                                f.Claims.lo,
                                f.Claims.hi,
                                f.Share};
        for (lxw_col_t col = 0; col < 15; ++col) s.Number(r, static_cast<lxw_col_t>(2 + col), cells[col]);
        std::string note = !f.fitted ? "не подобрана" : !f.Separable ? "B и K не разделимы" : "";
        if (f.tooFew) note += (note.empty() ? "" : ", ") + std::string("мало отказов");
        s.Text(r, 17, note);
        ++r;
    }
    if (!c.verdict.empty()) s.Text(r + 1, 0, c.verdict);
    for (std::size_t i = 0; i < c.notes.size(); ++i) s.Text(static_cast<lxw_row_t>(r + 2 + i), 0, c.notes[i]);
    s.Width(0, 0, 24);
    s.Width(1, kCols - 1, 14);
}

}  // namespace

WriteOutcome WriteWorkbook(const std::string& path, const rel::AnalysisState& st,
                           const rel::ResultsContent& results, const rel::MlResult* ml) {
    // The library opens the file by its name: it writes the temporary file beside the
    // target, its work files go to a folder beside it, and the archive's close is
    // checked before the workbook replaces the target.
    auto produce = [&](const std::string& temp) -> WriteOutcome {
        QuietLibrary quiet;
        // The library's work files in a folder of their own beside the target, which
        // an interrupt empties too.
        const std::size_t slash = temp.find_last_of('/');
        TempFileGuard work;
        std::string where = temp;
        where.resize(slash);
        if (where.empty()) where.push_back('/');
        if (WriteOutcome r = work.CreateFolder(where, temp.substr(slash + 1)); !r) return r;
        std::string folder = work.Path();
        lxw_workbook_options options{};
        // Rows go out as they are written: a million failures do not stay in memory.
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        options.tmpdir = folder.data();
        errno = 0;
        lxw_workbook* wb = workbook_new_opt(temp.c_str(), &options);
        if (!wb) return WriteOutcome::Failed(ReasonForError(errno ? errno : ENOMEM), errno);
        lxw_format* bold = workbook_add_format(wb);
        format_set_bold(bold);
        bool made = true;
        {
            Sheet s(wb, "Результаты", bold);
            made = made && s.Made();
            ResultsSheet(s, st, results, ml);
        }
        {
            Sheet s(wb, "Отказы", bold);
            made = made && s.Made();
            FailuresSheet(s, st);
        }
        {
            Sheet s(wb, "Гистограмма", bold);
            made = made && s.Made();
            HistogramSheet(s, st);
        }
        {
            Sheet s(wb, "MCF", bold);
            made = made && s.Made();
            McfSheet(s, results.MCF);
        }
        if (results.ML && results.ML->forecast) {
            Sheet s(wb, "Прогноз", bold);
            made = made && s.Made();
            ForecastSheet(s, *results.ML->forecast);
        }
        if (results.ML && results.ML->causes) {
            Sheet s(wb, "Причины", bold);
            made = made && s.Made();
            CausesSheet(s, *results.ML->causes);
        }
        errno = 0;
        const lxw_error err = workbook_close(wb);
        const int sysError = errno;
        if (err == LXW_NO_ERROR && made) return WriteOutcome::Done();
        // The library's reason in the program's words: the system's error when it
        // set one the table knows (a full disc, a folder without rights).
        if (err == LXW_ERROR_MEMORY_MALLOC_FAILED) return WriteOutcome::Failed(ReasonForError(ENOMEM), ENOMEM);
        if (KnownError(sysError)) return WriteOutcome::Failed(ReasonForError(sysError), sysError);
        return WriteOutcome::Failed(kWorkbookNotMade);
    };
    return WriteWholeFileWith(path, produce, ZipFileCheck());
}

std::string TableCsv(const rel::ResultsTable& table, char fieldSep) {
    auto field = [fieldSep](const std::string& s) {
        if (s.find_first_of(std::string(1, fieldSep) + "\"\r\n") == std::string::npos) return s;
        std::string q = "\"";
        for (char c : s) {
            if (c == '"') q += '"';
            q += c;
        }
        return q + '"';
    };
    std::string out;
    for (int row = 0; row < rel::kResRows; ++row) {
        for (int col = 0; col < table.ShownColumns(); ++col) {
            if (col > 0) out += fieldSep;
            out += field(Clean(table.Cell(col, row).text));
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace relcli
