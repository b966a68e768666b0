#include "analysis/load.h"

#include <cmath>

#include "fit/defaults.h"
#include "text/format.h"
#include "text/text.h"

namespace rel {

namespace {

std::string Quoted(std::string_view s) { return "«" + std::string(s) + "»"; }

}  // namespace

namespace {

LoadResult LoadRead(AnalysisState& st, FailureFileRead read, const std::string& path, char decimalSep);

}  // namespace

LoadResult LoadFailureFile(AnalysisState& st, const std::string& path, char decimalSep, BadRowPolicy policy) {
    FileBytes bytes;
    std::string why;
    if (!ReadFileBytes(path, bytes, why)) {
        LoadResult r;
        r.error = why + ". Файл данных не загружен.";
        return r;
    }
    // The rows are read from the file's bytes where they lie (no decoded copy), and
    // the bytes are let go once the rows are read.
    return LoadRead(st, ReadFailureBytes(std::move(bytes), path, policy), path, decimalSep);
}

LoadResult LoadFailureBytes(AnalysisState& st, std::string_view bytes, const std::string& path, char decimalSep,
                            BadRowPolicy policy) {
    return LoadRead(st, ReadFailureBytes(bytes, path, policy), path, decimalSep);
}

namespace {

LoadResult LoadRead(AnalysisState& st, FailureFileRead read, const std::string& path, char decimalSep) {
    LoadResult res;
    const char sep = decimalSep;
    res.BadRows = std::move(read.BadRows);
    res.GoodRows = read.GoodRows;
    if (!read.ok) {
        res.error = std::move(read.error);
        return res;
    }
    FailureFileData& L = read.data;
    EmpiricalFigures F = ComputeEmpiricalFigures(L.ArrProblems, L.Park, L.SredGar, L.SKOGar);

    if (!(L.SKOGar > 0.0))
        res.Warnings.push_back("СКО времени гарантии в файле " + Quoted(path) + " не положительно (" +
                               FormatGeneral(L.SKOGar, sep) + "): поправка на окончание гарантии вырождена.");
    if (F.CensorSaturated)
        res.Warnings.push_back(
            "В файле " + Quoted(path) +
            " есть отказы настолько позже среднего времени гарантии, что доля изделий, вышедших "
            "из гарантии, равна 1: вес каждого такого отказа ограничен значением 2^53.");

    // The texts a front end shows.
    FailureFileView& v = res.view;
    v.Title = L.Title;
    v.SredText = FormatGeneral(L.SredGar, sep);
    v.SKOText = FormatGeneral(L.SKOGar, sep);
    v.ParkText = FormatGeneral(L.Park, sep);
    v.FailuresText = std::to_string(L.KolOtkNez);
    v.PeriodText = v.SredText;
    v.StepCoef11Text = defaults::kStepCoef11.Text(sep);
    v.StepCoef12Text = defaults::kStepCoef12.Text(sep);
    v.StepCoef2Text = defaults::kStepCoef2.Text(sep);
    v.PrecisionText = defaults::kPrecisionLoaded.Text(sep);
    if (L.KolOtkAll <= 500)
        v.GenerationsText = defaults::kGenerationsText;
    else if (L.KolOtkAll <= 999)
        v.GenerationsText = "2000";
    else if (L.KolOtkAll <= 99999)
        v.GenerationsText = "4000";
    v.Marks = std::move(F.Marks);
    v.LnPoints = std::move(F.LnPoints);
    v.LnLine = std::move(F.LnLine);

    // Commit: the state changes only now that the whole file has been read. A data
    // file starts a new analysis: nothing of the fleet before it stays (its warranty
    // end times, histogram and fitted models would otherwise mix into this fleet's
    // results).
    st = AnalysisState{};
    st.FileLoaded = true;
    st.DataTitle = std::move(L.Title);
    st.SredGar = L.SredGar;
    st.SKOGar = L.SKOGar;
    st.ParkFile = L.Park;
    st.Park = L.Park;
    st.KolOtkAll = L.KolOtkAll;
    st.KolOtkNez = L.KolOtkNez;
    st.MaxPrich = L.MaxPrich;
    st.ArrVidFile = std::move(L.ArrVidFile);
    st.ArrVid = std::move(L.ArrVid);
    st.ArrProblems = std::move(L.ArrProblems);
    st.iFirstPos = F.iFirstPos;
    st.A_LN = F.A_LN;
    st.B_LN = F.B_LN;
    st.Gamma90 = F.Gamma90;
    st.Gamma50Cenz = F.Gamma50Cenz;
    st.Gamma50Nabl = F.Gamma50Nabl;
    st.Otk2000 = F.Otk2000;
    st.DelitOtk = 1.0;
    st.DataPath = path;
    st.ModGen.Kol_Nakopl = 0;
    st.ModGen.K_powtor = 1.0;
    st.ModGen.Unsens = 0;
    res.ok = true;
    return res;
}

}  // namespace

std::array<std::string, 4> FailureGridRow(const AnalysisState& st, const std::vector<ShareMark>& marks,
                                          std::size_t i, char decimalSep) {
    const FailureRef f = st.ArrProblems[i];
    std::array<std::string, 4> cells;
    cells[0] = std::to_string(i + 1);
    cells[1] = TimeText(f.time, decimalSep);
    cells[2] = st.ArrVid[static_cast<std::size_t>(f.chey)].Nazv_Prich;
    const char* mark = nullptr;
    for (const ShareMark& m : marks)
        if (m.row == i) mark = m.text;
    if (mark) cells[2] += mark;
    cells[3] = std::string(f.komment);
    return cells;
}

LoadedInputs LoadInputs(AnalysisState& st, const std::string& dataPath, const std::string& warrantyPath,
                        char decimalSep, BadRowPolicy policy, const std::string& agesPath) {
    LoadedInputs in;
    AnalysisState work = st;
    in.data = LoadFailureFile(work, dataPath, decimalSep, policy);
    if (!in.data.ok) {
        in.error = in.data.error;
        return in;
    }
    if (!warrantyPath.empty()) {
        in.warranty = LoadWarrantyFile(work, warrantyPath, decimalSep);
        if (!in.warranty.ok) {
            in.error = in.warranty.error == kWarrantyMissingText ? warrantyPath + ": " + in.warranty.error
                                                                 : in.warranty.error;
            return in;
        }
        in.warrantyLoaded = true;
    }
    if (!agesPath.empty()) {
        in.ages = LoadAgesFile(work, agesPath, decimalSep);
        if (!in.ages.ok) {
            in.error = in.ages.error;
            return in;
        }
        in.agesLoaded = true;
    }
    st = std::move(work);
    return in;
}

}  // namespace rel
