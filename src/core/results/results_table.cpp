#include "results/results_table.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "fit/methods.h"
#include "text/format.h"
#include "stats/criteria.h"
#include "stats/distrib.h"

namespace rel {

namespace {

bool AllFinite(std::initializer_list<double> xs) {
    for (double x : xs)
        if (!std::isfinite(x)) return false;
    return true;
}

std::string Fixed(double x, int width, int decimals, char sep) { return FormatFixed(x, width, decimals, sep); }

// What SetResCell writes before it pads: one blank, then the text.
ResultCell ResCell(const std::string& text) { return ResultCell{" " + text, true}; }

// Where a model's warranty end times came from: the data file's header, the
// warranty file (its list for model 3, its mean and deviation for the others),
// and whether the run fitted the mean or the deviation (model 3 fits neither when it
// has the list).
std::string WarrantySourceOf(const AnalysisState& st, bool ml, const ResultsWords& words) {
    const bool list = !st.ArrGar.empty();
    std::string name = st.WarrantyPath;
    if (const std::size_t slash = name.find_last_of('/'); slash != std::string::npos) name.erase(0, slash + 1);
    std::string s =
        !list ? words.sourceHeader : (ml ? words.sourceFileList : words.sourceFileMeanSd) + "«" + name + "»";
    if (ml && list) return s;
    if (st.FitSred && st.FitSKO) return s + words.sourceFittedBoth;
    if (st.FitSred) return s + words.sourceFittedMean;
    if (st.FitSKO) return s + words.sourceFittedSd;
    return s;
}

}  // namespace

double CalcLamData(AnalysisState& st, double T0) {
    st.TPrirab = T0;
    return LamDataOf(st, T0);
}

double LamDataOf(const AnalysisState& st, double T0) {
    if (!(T0 < 1000.0) || !(st.Park > 0.0)) return std::nan("");
    double S = 0.0;
    for (const FailureRef p : st.ArrProblems) {
        const double t = p.time;
        if (T0 < t && t <= 1000.0) S = S + 1.0 / (1.0 - NormF(st.SredGar, st.SKOGar, t));
    }
    const double lam = 1000.0 * S / (1000.0 - T0) / st.Park;
    return std::isfinite(lam) ? lam : std::nan("");
}

double TEndLamOf(const AnalysisState& st) {
    if (st.ArrProblems.empty()) return 1000.0;
    const double last = st.ArrProblems.back().time;
    return last < 1000.0 ? last : 1000.0;
}

std::array<std::string, 12> ModelColumnTexts(const Mod_Weib& M, double DelitOtk, double KolmCrt,
                                             const std::string& KolmTxt, char sep, const ResultsWords& words) {
    std::array<std::string, 12> r;
    const std::string none = kNoValue;

    r[1] = AllFinite({M.A, M.B}) ? Fixed(M.A, 6, 3, sep) + " / " + Fixed(M.B, 7, 2, sep) : none;
    r[2] = AllFinite({M.K_powtor}) ? Fixed(M.K_powtor, 6, 3, sep) : none;

    // Gamma-percent lives: the time at which K_powtor * F(t) reaches 0.5 and 0.1.
    const double g50 = WeibQuantile(M.A, M.B, 0.5 / M.K_powtor);
    const double g90 = WeibQuantile(M.A, M.B, 0.1 / M.K_powtor);
    r[3] = AllFinite({g50}) ? IntText(g50) + words.hoursDot : none;
    r[4] = AllFinite({g90}) ? IntText(g90) + words.hoursDot : none;

    const double perDivisor = M.Kol_Nakopl / DelitOtk;
    r[5] = AllFinite({M.Kol_Nakopl, perDivisor}) ? IntText(M.Kol_Nakopl) + " /" + IntText(perDivisor) : none;
    const double ci = 1.96 * M.SKO_out;
    r[6] = AllFinite({ci, M.SKO_out}) ? Fixed(ci, 5, 2, sep) + " / " + Fixed(M.SKO_out, 5, 2, sep) : none;
    r[7] = AllFinite({M.Sred}) ? Fixed(M.Sred, 4, 1, sep) + words.hours : none;
    r[8] = AllFinite({M.SKO}) ? Fixed(M.SKO, 4, 1, sep) + words.hours : none;
    // The critical value with the same decimal separator as the statistic.
    std::string verdict = KolmTxt;
    for (char& ch : verdict)
        if (ch == '.') ch = sep;
    r[9] = AllFinite({KolmCrt}) ? Fixed(KolmCrt, 6, 3, sep) + verdict : none;
    r[10] = AllFinite({M.LamStart, M.Lam1000}) ? Fixed(M.LamStart, 6, 4, sep) + "/ " + Fixed(M.Lam1000, 6, 4, sep)
                                               : none;
    const double n2000 = M.K_powtor * WeibInterval(M.A, M.B, 0.0, 2000.0);
    const double n4000 = M.K_powtor * WeibInterval(M.A, M.B, 0.0, 4000.0);
    r[11] = AllFinite({n2000, n4000}) ? Fixed(n2000, 6, 2, sep) + " / " + Fixed(n4000, 6, 2, sep) : none;
    return r;
}

ResultsTable BuildResultsTable(const AnalysisState& st, double T0, const std::vector<double>& kolNakopl, char sep,
                               bool mlSeparable, const ResultsWords& words, const MethodTable& methods) {
    ResultsTable tab(std::max(kResCols, static_cast<int>(methods.size()) + 2));
    const std::string none = kNoValue;

    // The frequency of the data column; the table step follows the charts, but the
    // frequency is the first thing the results output computes.
    tab.LamData = LamDataOf(st, T0);
    tab.TPrirab = T0;

    // 1.-3. First column, blank model and data columns.
    tab.ColRes = 1;
    tab.Columns[0] = ResColumn::Labels;

    // 4. One column per executed model.
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const FitMethod& slot = methods[m];
        const Mod_Weib& global = RecordOf(st, slot);
        if (!global.Executed) continue;
        const int c = tab.ColRes;
        tab.Columns[static_cast<std::size_t>(c)] = ResColumn::Model;
        const std::string caption = words.Caption(slot);
        tab.Cells[0][c].text = caption;

        // The statistic goes into the copy only.
        Mod_Weib M = global;
        M.Kol_Nakopl = m < kolNakopl.size() ? kolNakopl[m] : M.Kol_Nakopl;
        std::string KolmTxt;
        KolmogorovCrit(st, M.KolmCrt, KolmTxt, M.K_powtor, M.A, M.B, M.Sred, M.SKO);

        auto texts = ModelColumnTexts(M, st.DelitOtk, M.KolmCrt, KolmTxt, sep, words);
        if (slot.member == &AnalysisState::ModML && !mlSeparable) {
            // On the ridge only N(t) and the gamma lives are determined by the data.
            texts[1] = (std::isfinite(M.A) ? Fixed(M.A, 6, 3, sep) : std::string(none)) + " / " + none;
            texts[2] = words.notSeparableCell;
        }
        for (int row = 1; row < kResRows; ++row) tab.Cells[row][c] = ResCell(texts[row]);
        const bool rejected = std::isfinite(M.KolmCrt) && !KolmTxt.empty() && KolmTxt.rfind(" >", 0) == 0;
        tab.Models.push_back({c, slot.record, caption, M.KolmCrt, KolmTxt, rejected,
                              WarrantySourceOf(st, slot.member == &AnalysisState::ModML, words),
                              global.Converged});
        ++tab.ColRes;
    }

    // Notes: what the figures of the columns are worth.
    std::string rejected;
    bool others = false;
    for (const ResultModelColumn& mc : tab.Models) {
        if (mc.Rejected) rejected += (rejected.empty() ? "" : ", ") + mc.caption;
        if (mc.record != "ModML") others = true;
    }
    if (!rejected.empty()) tab.Notes.push_back(words.rejectedHead + rejected + words.rejectedTail);
    std::string unconverged;
    for (const ResultModelColumn& mc : tab.Models)
        if (!mc.Converged) unconverged += (unconverged.empty() ? "" : ", ") + mc.caption;
    if (!unconverged.empty()) tab.Notes.push_back(words.notConvergedHead + unconverged + words.notConvergedTail);
    if (st.ModML.Executed && !mlSeparable && others) tab.Notes.push_back(words.kUndeterminedNote);
    if (st.Ages && !tab.Models.empty()) tab.Notes.push_back(words.inServiceNote);
    if (!tab.Models.empty()) {
        bool alike = true;
        for (const ResultModelColumn& mc : tab.Models)
            alike = alike && mc.WarrantySource == tab.Models[0].WarrantySource;
        std::string note = alike ? words.warrantyAll + tab.Models[0].WarrantySource : words.warrantyHead;
        if (!alike)
            for (std::size_t i = 0; i < tab.Models.size(); ++i)
                note += (i ? "; " : "") + tab.Models[i].caption + " — " + tab.Models[i].WarrantySource;
        tab.Notes.push_back(note + ".");
    }

    // 5. The data column after the model columns.
    tab.Columns[static_cast<std::size_t>(tab.ColRes)] = ResColumn::Data;
    const int d = tab.ColRes;

    // 6. Header texts.
    tab.Cells[0][0].text = words.rowLabels[0];
    tab.Cells[0][d].text = words.dataColumn;

    // 7. Row labels and the data column.
    tab.TEndLam = TEndLamOf(st);
    for (int row = 1; row < kResRows; ++row)
        tab.Cells[row][0].text = words.rowLabels[static_cast<std::size_t>(row)];
    tab.Cells[10][0].text =
        words.frequencyHead + FormatGeneral(T0, sep) + "," + FormatGeneral(tab.TEndLam, sep) + words.hoursClose;

    auto data = [&](int row, const std::string& text) { tab.Cells[row][d] = ResCell(text); };
    data(3, AllFinite({st.Gamma50Nabl, st.Gamma50Cenz})
                ? IntText(st.Gamma50Nabl) + words.observed + "/" + IntText(st.Gamma50Cenz) + words.censored
                : none);
    data(4, AllFinite({st.Gamma90}) ? IntText(st.Gamma90) : none);
    data(5, IntText(st.KolOtkNez));
    data(10, AllFinite({tab.LamData}) ? Fixed(tab.LamData, 5, 3, sep) + words.upTo1000 : none);
    data(11, AllFinite({st.Otk2000}) ? Fixed(st.Otk2000, 4, 2, sep) : none);
    return tab;
}

}  // namespace rel
