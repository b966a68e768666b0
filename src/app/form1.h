// The main window: input fields of the analysis, the failure list, the log-log
// accumulation chart and the two pages of fitting options.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>

#include "data/state.h"
#include "genetic/tgen.h"
#include "open_dialog.h"
#include "settings.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSplitter;
class QTableWidget;
class QTabWidget;
class QToolButton;
class QWidget;

namespace rel {
struct FailureFileView;
}

namespace relan {

class CalcRunner;
class Dialogs;
class LnChart;
class TForm5;
class TGenThread;
class TLNview;
class WrapButton;

// Where the program finds its settings file and how it asks the user.
struct AppEnv {
    QString ExeDir;        // folder of the executable, with its trailing separator
    QString SettingsFile;  // the settings file "rel.txt" in that folder
    Dialogs* dialogs = nullptr;

    // The settings file beside the running executable.
    static AppEnv ForExecutable(Dialogs* dialogs);
};

// Filters of the shared file-open dialog.
inline constexpr const char* kDataFilter = "файлы данных (txt,rel)|*.txt;*.rel";
inline constexpr const char* kWarrantyFilter = "Файл времен гарантии|gar*.txt";

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(const AppEnv& env, QWidget* parent = nullptr);
    ~TForm1() override;

    rel::AnalysisState& State() { return St; }
    const AppEnv& Env() const { return env_; }
    OpenDialog& OpenDialog1() { return openDialog1_; }

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
    void Button2Click();        // "Expand"

    // Loads `path` as a data file chosen and confirmed in the open dialog would be.
    void OpenDataFile(const QString& path);

    // Pre-run check of both run buttons: a data-file path is given (otherwise
    // "Не указан путь к файлу исходных данных") and a file has been loaded
    // (otherwise false without a message).
    bool CheckDataPath();
    // Reads the warranty figures, the accounting period and the burn-in time from
    // their fields into the analysis state: SredGar, SKOGar, PeriodUchet, TPrirab,
    // in this order, each stored as it is read. A text that is not a number is
    // reported and ends the reading; the values read before it stay stored.
    bool ReadRunParams();
    // Reads one number field; on a text that is not a number shows why and returns false.
    bool ReadField(QLineEdit* edit, const QString& fieldName, double& value);

    // The genetic optimiser's run. ThreadStarted disables the start button,
    // "Размер популяции" (fixed for the run) and, as any run does, what would
    // change the analysis state the optimiser owns ("Путь", "File", "Расчет" and
    // the fields a run reads: SetRunInProgress); ThreadTerminated runs on this
    // thread once the optimiser has returned, releases the thread, enables them
    // again and clears GenThread.
    void ThreadStarted();
    void ThreadTerminated();
    // Requests the end of a run under way and returns once its thread has ended,
    // serving the optimiser's blocking calls meanwhile. Nothing when idle.
    void EndGenRun();
    // The running optimiser thread; null when no run is under way.
    TGenThread* GenThread = nullptr;
    // Seed and reseeding of the optimiser's random numbers for the next runs
    // (repeatable runs in tests); the sizes and the precision come from the edits.
    void SetGenOptions(const rel::GenOptions& base) { genBase_ = base; }
    // How the last run ended (valid after its ThreadTerminated).
    const rel::GenOutcome& LastGenOutcome() const { return genOutcome_; }

    // Item chosen in "Способ подбора параметров" (0, 1 or 2).
    int RadioGroup1ItemIndex() const;

    // Appends one line to the progress log.
    void MemoLine(const QString& line);

    // A run is under way (true) or has ended (false): the buttons that start
    // something ("Путь", "File", "Расчет", the optimiser's start) and the fields a
    // run reads are disabled while it lasts, so nothing touches the analysis state
    // the run is working on.
    void SetRunInProgress(bool running);
    // The results output: the core's results content of the analysis state (with
    // the burn-in time the window shows now), its notes into the progress log, and
    // the results window drawn and shown.
    void OutResults();
    // The worker of the calculation run (made on first use).
    CalcRunner& CalcRun();

    // Controls under their component names.
    QLabel* Label10;
    QLabel* Label15;
    QLabel* Label1;
    QLineEdit* FilePath;
    QPushButton* OpenFileStart;

    QFrame* Panel1;
    QLabel* Label2;
    QLineEdit* meKolAll;
    QLabel* Label3;
    QLineEdit* meKolOtk;
    QLineEdit* meSred;
    QLineEdit* meSKO;
    QLineEdit* LabeledEdit2;
    QLineEdit* LabeledEdit3;
    QLabel* Label9;
    QToolButton* SpeedButton1;
    QLineEdit* Edit4;
    QLabel* Label14;
    QLabel* Label11;
    QLineEdit* MaskEdit1;
    QLabel* Label12;
    QLineEdit* MaskEditSrednee;
    QLabel* Label13;
    QLineEdit* MaskEditSKO;

    QPlainTextEdit* Memo2;
    QTableWidget* Problems_Grid;
    LnChart* Chart2;
    QPushButton* Button2;

    QTabWidget* PageControl;
    QWidget* TabSheet1;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* Edit1;
    QLabel* Label17;
    QLineEdit* Edit6;
    QLabel* Label16;
    QLineEdit* Edit5;
    QPushButton* bbRaschet;
    QCheckBox* SpirSpusk;
    QCheckBox* BoxNewton;
    QCheckBox* BoxSmirnow;
    QCheckBox* Sred_flag;
    QCheckBox* SKO_Flag;
    QGroupBox* RadioGroup1;
    QButtonGroup* RadioGroup1Items;

    QWidget* TabSheet2;
    QLabel* Label19;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* NPokoleny;
    QLineEdit* LabeledEdit1;
    QPushButton* btnCopyBest;
    QLabel* Label7;
    QSlider* TrackBar1;
    QLabel* Label8;
    QSlider* TrackBar2;
    WrapButton* ToolBRunGenOptim;
    QPushButton* StopBtn;
    QLabel* Label18;
    QProgressBar* ProgressBar2;

signals:
    // The window has closed: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildTopArea(QWidget* host);
    QWidget* BuildPanel1();
    QWidget* BuildTabSheet1();
    QWidget* BuildTabSheet2();
    void FormCreate();
    void LoadDataFile(const QString& path);
    void ShowFailureView(const rel::FailureFileView& view);
    void PlaceExpandButton();
    void ArrangeBands();
    void Message(const QString& text);

    AppEnv env_;
    PathSettings settings_;
    OpenDialog openDialog1_;
    rel::AnalysisState St;
    // Declared after St: destroyed first, it waits for a run still writing St.
    std::unique_ptr<CalcRunner> calcRun_;
    QPointer<TForm5> Form5;
    QPointer<TLNview> LNview;
    rel::GenFlags genFlags_;
    rel::GenOptions genBase_;
    rel::GenOutcome genOutcome_;
    bool closingDuringRun_ = false;
    bool settingsWarned_ = false;
    bool arranged_ = false;
    QSplitter* upperSplitter_ = nullptr;
    QSplitter* lowerSplitter_ = nullptr;
    QSplitter* bodySplitter_ = nullptr;
};

// The path as the core's file functions take it (the file system's encoding).
std::string NativePath(const QString& path);

}  // namespace relan
