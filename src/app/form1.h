// The main window: input fields of the analysis, the failure list, the log-log
// accumulation chart and the two pages of fitting options.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>

#include "analysis/load.h"
#include "data/state.h"
#include "fit/ml_fit.h"
#include "form1_ui.h"
#include "genetic/tgen.h"
#include "results/out_results.h"
#include "open_dialog.h"
#include "report_header.h"
#include "run_controller.h"
#include "settings.h"
#include <memory>

class QAction;
class QDialog;
class QLineEdit;
class QMenu;
class QSlider;
class QTimer;

namespace rel {
struct FailureFileView;
struct FigureRange;
}  // namespace rel

namespace relan {

class Dialogs;
class FailureListModel;
class TForm5;
class TLNview;

// Where the program finds its settings file and how it asks the user.
struct AppEnv {
    QString ExeDir;            // folder of the executable, with its trailing separator
    QString SettingsFile;      // the settings file "rel.txt" the program reads and writes
    QString SettingsFallback;  // "rel.txt" beside an executable that cannot write it: read only
    Dialogs* dialogs = nullptr;
    // The settings read at the program's start, shared by its windows; null: the
    // main window reads SettingsFile itself.
    PathSettings* settings = nullptr;

    // The settings file beside the running executable, or in the user's
    // configuration folder when the executable's folder cannot be written.
    static AppEnv ForExecutable(Dialogs* dialogs);
};

// Bootstrap replicates of model 3's goodness of fit in the window's runs.
inline constexpr int kMlBootstrap = 200;

// Filters of the two file-open dialogs: each offers its own kind of file first.
inline constexpr const char* kDataFilter =
    QT_TRANSLATE_NOOP("relan::TForm1", "Файлы данных|*.txt;*.rel|Все файлы|*");
inline constexpr const char* kWarrantyFilter =
    QT_TRANSLATE_NOOP("relan::TForm1", "Файл времен гарантии|gar*.txt|Все файлы|*");
inline constexpr const char* kAgesFilter =
    QT_TRANSLATE_NOOP("relan::TForm1", "Файл наработок парка|*.txt|Все файлы|*");

class TForm1 : public QMainWindow, private Form1Ui {
    Q_OBJECT
public:
    explicit TForm1(const AppEnv& env, QWidget* parent = nullptr);
    ~TForm1() override;

    rel::AnalysisState& State() { return St; }
    const AppEnv& Env() const { return env_; }

    // The results window, created hidden at start-up beside this one.
    void SetResultsWindow(TForm5* form5);
    TForm5* ResultsWindow() const;
    // The expanded chart while it is open, otherwise null.
    TLNview* ExpandedView() const;

    // Handlers bound to the buttons.
    void OpenFileStartClick();  // "Путь"
    void SpeedButton1Click();   // "File": warranty end times
    void bbRaschetClick();      // "Расчет"
    void ToolBRunGenOptimClick();
    void StopBtnClick();
    void btnCopyBestClick();
    void Button2Click();  // "Expand"

    // Loads `path` as a data file chosen and confirmed in the open dialog would be.
    // True when it was loaded.
    bool OpenDataFile(const QString& path);

    // Pre-run check of both run buttons: a data-file path is given (otherwise
    // "Не указан путь к файлу исходных данных") and a file has been loaded
    // (otherwise false without a message).
    bool CheckDataPath();
    // Reads the warranty figures, the accounting period and the burn-in time from
    // their fields into the analysis state: SredGar, SKOGar, PeriodUchet, TPrirab,
    // in this order, each stored as it is read. A text that is not a number is
    // reported and ends the reading; the values read before it stay stored.
    bool ReadRunParams();
    // The forecast's hours per month (NaN: the field is empty) and months ahead; false
    // with a message when a field is not a number in its range.
    bool ReadForecastSettings(double& usage, int& horizon);

    // The runs of the window: the calculation run and the genetic optimiser, one at
    // a time. While one is under way the buttons that start something ("Путь",
    // "File", "Расчет", the optimiser's start) and the fields a run reads are
    // disabled (SetRunInProgress); the optimiser's run also disables "Размер
    // популяции", fixed for the run.
    RunController& Runs() { return runs_; }
    // The genetic optimiser's run is under way.
    bool GenRunning() const;
    // Seed and reseeding of the optimiser's random numbers for the next runs
    // (repeatable runs in tests); the sizes and the precision come from the edits.
    void SetGenOptions(const rel::GenOptions& base) { genBase_ = base; }
    // How the last optimiser run ended (valid once its end has been delivered).
    const rel::GenOutcome& LastGenOutcome() const { return genOutcome_; }
    // Model 3's last result, kept with its record until it is fitted again or a
    // warranty file is loaded; nothing before.
    const std::optional<rel::MlResult>& LastML() const { return lastML_; }

    // Item chosen in "Способ подбора параметров" (0, 1 or 2).
    int RadioGroup1ItemIndex() const;

    // Appends one line to the progress log (elapsed times as ShownProgressLine writes them).
    void MemoLine(const QString& line);

    // A run is under way (true) or has ended (false): the buttons that start
    // something and the fields a run reads are disabled while it lasts, so nothing
    // touches the analysis state the run is working on.
    void SetRunInProgress(bool running);
    // The results output: the core's results content of the analysis state (with
    // the burn-in time the window shows now), its notes into the progress log, and
    // the results window drawn and shown.
    void OutResults();

    // The analysis workbook (.xlsx): the results shown last (none before the first
    // run), every failure, the histogram. False with the reason in `why`; refused
    // while a run is under way.
    bool SaveWorkbook(const QString& file, QString& why);

    // The menu bar's own commands (the others call the buttons' handlers).
    void ShowLastResults();  // "Показать результаты": the last results window again, without a run
    void SaveReportPdfClick();  // "Сохранить отчет PDF…": the results page as a PDF file
    void ShowFileFormats();     // "Формат файлов"
    void ShowAbout();           // "О программе"
    // The recent data files, the latest first; one of them opened from the menu (a
    // file that is gone leaves the list with a message and nothing is loaded).
    QStringList RecentFiles() const;
    void OpenRecent(const QString& path);
    // A recent ages file opened from the menu, as a recent data file is.
    void OpenRecentAges(const QString& path);
    // A fleet in service: the ages file, chosen in its dialog ("Файл…" beside "Файл
    // наработок парка", or the menu) or given; a refused file changes nothing.
    void AgesButtonClick();
    bool LoadAgesFile(const QString& file);
    // The README's section on the input files, as built into the program.
    static QString FileFormatsText();
    static QString AboutText();

signals:
    // The window has closed: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void BuildMenu();
    void EnableMenuForRun(bool running);
    void RememberRecent(const QString& path);
    void RebuildRecentMenu();
    // Whether a recent file is still there; a file that is gone leaves its list (the ages
    // files' when `ages`) with a message.
    bool RecentStillThere(const QString& path, bool ages);
    void ConnectRuns();
    bool LoadDataFile(const QString& path);
    // Runs a load of the data file on a worker thread, the window drawing meanwhile.
    rel::LoadResult LoadOffThread(const std::function<rel::LoadResult()>& work);
    bool loading_ = false;  // a data file is being read
    // Loads a warranty end-time file as "File" does after its dialog.
    bool LoadWarrantyFile(const QString& file);
    // A data file is loaded; otherwise, when a path is shown, says to load one.
    bool DataReady();
    void ShowFailureView(const rel::FailureFileView& view);
    // A data file was loaded: nothing of the fleet before it stays in the window.
    void StartNewAnalysis();
    void Message(const QString& text);
    // An error box: a refused file, a text that is not a number.
    void Error(const QString& text);
    // The busy bar and the elapsed time of "Расчет".
    void ShowCalculationProgress(bool running);
    void ShowElapsed();
    // What the results page's header says of the results now shown.
    ReportSettings HeaderSettings(double burnIn) const;
    // Shows what the settings have to say (a damaged or unreadable file at the start,
    // a failed save), once each.
    void ShowSettingsNotice();
    // Reads one number field; on a text that is not a number shows why and returns false.
    bool ReadField(QLineEdit* edit, const QString& fieldName, double& value,
                   const rel::FigureRange* range = nullptr);
    // The ends of the two kinds of run, delivered once the run has returned.
    void CalculationEnded(const rel::RunResult& result, const rel::AnalysisState& state);
    void OptimiserEnded(const rel::GenOutcome& outcome, bool resultsDue, const rel::AnalysisState& state);
    // A track bar moved to the position the optimiser's schedule gave it.
    void ShowScheduled(QSlider* bar, int position);

    AppEnv env_;
    std::unique_ptr<PathSettings> ownSettings_;  // when the environment brings none
    PathSettings& settings_;
    OpenDialog dataDialog_;      // "Путь"
    OpenDialog warrantyDialog_;  // "File"
    QString loadedData_;         // the data file loaded last
    QString loadedWarranty_;     // the warranty file loaded after it; empty: none
    OpenDialog agesDialog_;      // the fleet's ages file
    QString loadedAges_;         // the ages file loaded after the data file; empty: none
    rel::AnalysisState St;
    FailureListModel* problems_;
    // Declared after St: destroyed first, it ends a run still working on St.
    RunController runs_;
    QPointer<TForm5> Form5;
    QPointer<TLNview> LNview;
    rel::GenOptions genBase_;
    rel::GenOutcome genOutcome_;
    std::optional<rel::MlResult> lastML_;
    // The results output shown last, for the workbook and "Показать результаты".
    std::optional<rel::ResultsContent> lastResults_;
    // Settings of the last "Расчет" that shape its results: deviation form, fit flags.
    int lastItem_ = -1;
    bool lastFitSred_ = false, lastFitSKO_ = false;
    QElapsedTimer calcClock_;
    QTimer* elapsedTimer_ = nullptr;
    QAction* actOpenData_ = nullptr;
    QAction* actOpenWarranty_ = nullptr;
    QAction* actSaveReport_ = nullptr;
    QAction* actRun_ = nullptr;
    QAction* actGen_ = nullptr;
    QAction* actShowResults_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* actOpenAges_ = nullptr;
    QPointer<QDialog> formats_;
    bool closing_ = false;
    bool showingSchedule_ = false;
    bool arranged_ = false;
};

// A progress line as the log shows it: an elapsed time reads "0:00:10 (ч:мин:с)".
QString ShownProgressLine(const QString& line);

// The path as the core's file functions take it (the file system's encoding).
std::string NativePath(const QString& path);

}  // namespace relan
