// The genetic optimiser: population operations and the generation loop.
//
// A run breeds generation after generation of chromosomes (genes.h), scored by the
// histogram criterion GenFitness, adapts the crossover and mutation probabilities
// along a fixed schedule unless the user moves the track bars, reports every
// improvement, and at the end writes the best parameter set into st.ModGen and
// completes it with its indicators and its confidence line.
//
// Threads. Execute runs on the optimiser's own thread. It touches the window only
// through GenHost, whose calls the window carries out on its own thread and waits
// for (a blocking call). While a run lasts the optimiser owns st.ArrHist, st.Park,
// st.KolOtkNez, st.ArrProblems, st.TPrirab, st.FitSred, st.FitSKO, st.SredGar,
// st.SKOGar and st.ModGen: nothing else may write them (no calculation run, no file
// load, no histogram rebuild) until Execute has returned. The only values shared
// while it runs are the two request flags of GenFlags, which are atomic.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/state.h"
#include "genetic/gen_random.h"
#include "genetic/genes.h"
#include "stats/criteria.h"
#include "text/text.h"

namespace rel {

// The front end's side of a run. Every call is made on the optimiser thread, one at
// a time, and must return promptly without waiting for the front end's thread (the
// window reads settings the user changes from values it keeps up to date, and hands
// what it is to show over to its own thread). None of them may throw.
class GenHost {
public:
    virtual ~GenHost() = default;
    // The crossover and mutation probabilities x 100 (0..100) as the user's controls
    // hold them, and the positions the schedule moves them to.
    virtual int CrossoverPercent() = 0;
    virtual void SetCrossoverPercent(int pos) = 0;
    virtual int MutationPercent() = 0;
    virtual void SetMutationPercent(int pos) = 0;
    // The counter of the run: the recorded best members so far.
    virtual void ShowCounter(const std::string& text) = 0;
    // One line of the progress log.
    virtual void AppendMemo(const std::string& line) = 0;
    // The run's progress, 0..100.
    virtual void SetProgress(int percent) = 0;
    // The text of the copy count: how many recorded best members a copy-back puts back.
    virtual std::string CopyCountText() = 0;
    // The run's model is complete in st.ModGen: the results are due (the front end
    // shows them once the run has returned).
    virtual void DiaGen() = 0;
    // Whether the window asks the run to end (it is closing). Read once per
    // generation on the optimiser thread; must be safe to call from it without a
    // blocking call (for example QThread::isInterruptionRequested).
    virtual bool TerminationRequested() = 0;
};

// Requests from the window's buttons, set on the window's thread at any time and
// read by the optimiser once per generation. The window keeps one for its lifetime;
// every run clears both when it starts.
struct GenFlags {
    std::atomic<bool> FlagStop{false};      // "Стоп"
    std::atomic<bool> FlagCopyBest{false};  // "Скопировать лучших"
};

// Limits of the run settings.
inline constexpr int kMinPopulation = 10;       // the mutation never touches the 8 best and the last
inline constexpr int kMaxPopulation = 1000000;  // up to three times as many members between crossover and cut
inline constexpr int kMinGenerations = 1;
// 250 times the most a data-file load proposes (4000), as many as the largest
// population: the loop has no other end but "Стоп" and the closing of the window, and
// a mistyped count (a hundred million) would run for days. The recorded best members,
// one per generation until the next copy-back, stay within memory.
inline constexpr int kMaxGenerations = 1000000;

struct GenOptions {
    int SizePopulation = 3000;          // "Размер популяции" (Edit3)
    int KolPokoleny = 1500;             // "Число поколений" (NPokoleny)
    long double Tochnost = 1e-7L;       // "Точность подбора" (Edit2)
    char decimalSep = '.';              // of the memo lines
    std::optional<std::uint64_t> seed;  // none: from the clock
    bool reseedEachEvaluation = true;   // reseed from the clock before every evaluation
};

// Why the settings cannot run, in the words shown to the user; empty when they can.
std::string ValidateGenOptions(const GenOptions& o);

// Reads the three edits into o.SizePopulation, o.KolPokoleny and o.Tochnost (the
// precision with the given decimal separator; surrounding blanks are allowed) and
// validates the result. Returns the message to show, empty when the settings can run.
std::string ParseGenTexts(std::string_view edit3, std::string_view nPokoleny, std::string_view edit2,
                          char decimalSep, GenOptions& o);

// What the optimiser's start handler prepares once the run parameters are in st
// (SredGar, SKOGar, PeriodUchet, TPrirab, FitSred, FitSKO) and the pre-run check has
// passed: rebuilds the histogram and sizes the three per-interval arrays of
// st.ModGen to it. Returns the message to show when the data give nothing to fit
// (no interval, or no independent failure); empty when the run can start.
std::string PrepareGenStart(AnalysisState& st);

// How a run ended.
enum class GenEnd {
    NotStarted,  // the settings were refused; nothing was changed
    Completed,   // all generations ran
    Stopped,     // "Стоп"
    Terminated,  // the window asked the run to end (closing)
    Error,       // "Исключительная ситуация!": an error ended the loop
};

struct GenOutcome {
    GenEnd end = GenEnd::NotStarted;
    std::string error;           // NotStarted: the reason
    bool modelWritten = false;   // st.ModGen holds the run's best member
    bool resultsShown = false;   // DiaGen was called
    std::int64_t passes = 0;     // generation passes completed
    double bestCriterion = 0.0;  // Celev_Best at the end
};

inline constexpr const char* kErrorLine = "Исключительная ситуация!";
inline constexpr const char* kCopyBestLine = "Копирование лучших";
inline constexpr const char* kNoBestLine =
    "Подбор не нашел ни одного варианта с конечным значением критерия: модель не изменена";

class TGen {
public:
    // The run reads and writes st as described above; host and flags must outlive
    // the object. The gene count follows st.FitSred and st.FitSKO as they are now,
    // the gene length and steps follow o.Tochnost. Without rng the optimiser's own
    // generator (SystemRandom) is used, set up from o.seed and o.reseedEachEvaluation.
    TGen(AnalysisState& st, GenHost& host, GenFlags& flags, const GenOptions& o, GenRandom* rng = nullptr);

    // The whole run: settings check, initial population, generation loop, finishing.
    GenOutcome Execute();

    // ---- Operations of one generation (public for tests) ----
    void CreateGens();                      // gene table and initial population
    void ShowGens();                        // "Создано генов N"
    void DecodeXrome(std::string_view sX);  // sets GenParam from the digits
    void CrossingOver(int pokolenie);
    void Mutation();
    void CutPopulation(std::size_t size);
    void CopyBest(int pokolenie);
    void SortPopulation();
    // GenFitness of GenParam (the generator is reseeded first, as every evaluation does).
    double Fitness();
    // The memo line of a reported member: F, B, 1 / A (the reciprocal, as the line
    // has always shown it) and K_powtor of GenParamBest.
    std::string ReportLine(double F) const;
    // One pass of the generation loop for generation g (steps 1 to 14); g is advanced.
    void Generation(std::int64_t& g);

    // ---- State of the run ----
    int SizePopulation;
    int KolPokoleny;
    double fPCrossingOver = 0.0;
    double fPMutation = 0.0;
    XromeList ListPopulation;
    XromeList ListBest;
    GenTable ListGens;
    int LengthXrome = 0;
    int CountGens;
    long double Tochnost;
    std::array<double, kMaxGenes> GenStep{};
    std::array<double, kMaxGenes> GenParam{};
    std::array<double, kMaxGenes> GenParamBest{};
    double Celev_Best = 1e306;
    bool BestReported = false;  // GenParamBest holds a member of this run

private:
    void Finish(GenOutcome& out);
    void ReleaseLists();
    double Draw() { return rng_->Next(); }
    Xromosome& Member(std::int64_t index);

    AnalysisState& st_;
    GenHost& host_;
    GenFlags& flags_;
    GenOptions opt_;
    std::unique_ptr<GenRandom> ownRng_;
    GenRandom* rng_;
    CritCache cache_;
};

// Round(x) for a count or an index drawn by the loop: halves to even; a value that
// is not finite counts as 0 (nothing to do), and the result is kept within +-2^62.
std::int64_t RoundCount(double x);

}  // namespace rel
