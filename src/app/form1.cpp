#include "form1.h"

#include <exception>
#include <limits>
#include <optional>

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "analysis/load.h"
#include "analysis/request.h"
#include "captions.h"
#include "export/workbook.h"
#include "table_tools.h"
#include "chart_tools.h"
#include "data/ages_file.h"
#include "data/warranty_file.h"
#include "dialogs.h"
#include "failure_list_model.h"
#include "file_output.h"
#include "form5.h"
#include "lnchart.h"
#include "lnview.h"
#include "core_words.h"
#include "numbers.h"
#include "wrap_button.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

std::string NativePath(const QString& path) { return FileNameBytes(path).toStdString(); }

AppEnv AppEnv::ForExecutable(Dialogs* dialogs) {
    AppEnv env;
    env.ExeDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    // The user's configuration folder of the program "relan", whatever title the
    // application carries (it holds the version, which must not move the settings).
    const QString title = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("relan"));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QCoreApplication::setApplicationName(title);
    // Installed in a system folder: the user's configuration folder only, and no file
    // beside the program read either (it may be left from a run as root).
    const bool system = IsSystemFolder(env.ExeDir);
    env.SettingsFile =
        SettingsFileFor(env.ExeDir, !system && SettingsFolderWritable(env.ExeDir), config, &env.SettingsFallback);
    if (system) env.SettingsFallback.clear();
    env.dialogs = dialogs;
    return env;
}

TForm1::TForm1(const AppEnv& env, QWidget* parent)
    : QMainWindow(parent),
      env_(env),
      ownSettings_(env.settings ? nullptr
                                : std::make_unique<PathSettings>(env.SettingsFile, env.SettingsFallback)),
      settings_(env.settings ? *env.settings : *ownSettings_) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(MainCaption());
    dataDialog_.Filter = tr(kDataFilter);
    warrantyDialog_.Filter = tr(kWarrantyFilter);
    agesDialog_.Filter = tr(kAgesFilter);
    elapsedTimer_ = new QTimer(this);
    elapsedTimer_->setInterval(1000);
    connect(elapsedTimer_, &QTimer::timeout, this, [this] { ShowElapsed(); });

    problems_ = new FailureListModel(St, this);
    SetupUi(this, problems_);
    Chart2->Explorer()->SetDialogs(env_.dialogs);
    auto* failureTools = new TableTools(Problems_Grid, tr("Отказы"));
    failureTools->SetDialogs(env_.dialogs);
    failureTools->SetWorkbookWriter([this](const QString& file, QString& why) { return SaveWorkbook(file, why); });

    connect(OpenFileStart, &QPushButton::clicked, this, [this] { OpenFileStartClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(AgesButton, &QToolButton::clicked, this, [this] { AgesButtonClick(); });
    connect(bbRaschet, &QPushButton::clicked, this, [this] { bbRaschetClick(); });
    connect(ToolBRunGenOptim, &QPushButton::clicked, this, [this] { ToolBRunGenOptimClick(); });
    connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });
    connect(btnCopyBest, &QPushButton::clicked, this, [this] { btnCopyBestClick(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    ConnectRuns();
    BuildMenu();

    FormCreate();
    // Said once the window is up: a settings file found damaged or unreadable.
    QTimer::singleShot(0, this, [this] { ShowSettingsNotice(); });
}

void TForm1::ShowSettingsNotice() {
    const QString notice = settings_.TakeNotice();
    if (!notice.isEmpty()) Message(notice);
}

TForm1::~TForm1() {
    // A run under way is ended by runs_, destroyed before the state it works on;
    // it delivers nothing any more.
    if (LNview) delete LNview.data();
}

void TForm1::SetResultsWindow(TForm5* form5) {
    Form5 = form5;
    if (Form5)
        Form5->SetWorkbookWriter([this](const QString& file, QString& why) { return SaveWorkbook(file, why); });
}

bool TForm1::SaveWorkbook(const QString& file, QString& why) {
    if (runs_.Running()) {  // the run owns the analysis state until it ends
        why = tr("Дождитесь окончания расчета: книга Excel записывается по его результатам.");
        return false;
    }
    const rel::MlResult* ml = lastML_ && St.ModML.Executed ? &*lastML_ : nullptr;
    const rel::ResultsContent none;
    const relcli::WriteOutcome written =
        relcli::WriteWorkbook(NativePath(file), St, lastResults_ ? *lastResults_ : none, ml);
    if (written) return true;
    why = WriteFailureText(file, written);
    return false;
}

TForm5* TForm1::ResultsWindow() const { return Form5; }
TLNview* TForm1::ExpandedView() const { return LNview; }

void TForm1::FormCreate() {
    // Maximised, filling the screen's work area even where no window manager
    // maximises it.
    if (QScreen* s = screen()) setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    // Nothing is loaded yet: the path field stays empty. The file remembered in the
    // settings is where "Путь" opens its dialog.
    FilePath->clear();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!arranged_) {
        arranged_ = true;
        ArrangeBands();
    }
}

void TForm1::Message(const QString& text) { env_.dialogs->Message(this, TranslatedCoreText(text)); }

void TForm1::Error(const QString& text) {
    env_.dialogs->Error(this, QCoreApplication::applicationName(), TranslatedCoreText(text));
}

QString ShownProgressLine(const QString& line) {
    // "выполнен за 0:00:10ч/мин/с" -> "выполнен за 0:00:10 (ч:мин:с)".
    static const QRegularExpression elapsed(QStringLiteral("(\\d+:\\d\\d:\\d\\d)ч/мин/с$"));
    QString shown = line;
    return shown.replace(elapsed, QStringLiteral("\\1 (ч:мин:с)"));
}

void TForm1::MemoLine(const QString& line) { Memo2->appendPlainText(TranslatedCoreText(ShownProgressLine(line))); }

int TForm1::RadioGroup1ItemIndex() const { return RadioGroup1Items->checkedId(); }

void TForm1::OpenFileStartClick() {
    if (runs_.Running()) return;  // a run owns the loaded data until it ends
    // The dialog opens at the file loaded last (this run or a former one).
    dataDialog_.InitialDir = settings_.ReadComStr(QString());
    const QString chosen = dataDialog_.Choose(*env_.dialogs, this);
    if (chosen.isEmpty()) return;  // cancelled: nothing changes
    LoadDataFile(chosen);
}

bool TForm1::OpenDataFile(const QString& path) {
    return LoadDataFile(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

rel::LoadResult TForm1::LoadOffThread(const std::function<rel::LoadResult()>& work) {
    // The load runs on a thread of its own while the window keeps drawing (input waits
    // until it ends); the run's progress bar turns into a busy bar meanwhile.
    loading_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int shownMax = ProgressBar2->maximum(), shownValue = ProgressBar2->value();
    ProgressBar2->setRange(0, 0);
    std::optional<rel::LoadResult> result;
    std::exception_ptr failure;
    QEventLoop wait;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            result.emplace(work());
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    ProgressBar2->setRange(0, shownMax);
    ProgressBar2->setValue(shownValue);
    QApplication::restoreOverrideCursor();
    loading_ = false;
    if (failure) std::rethrow_exception(failure);
    return std::move(*result);
}

bool TForm1::LoadDataFile(const QString& path) {
    if (path.isEmpty() || loading_) return false;
    const std::string native = NativePath(path);
    const std::string shownPath = ShownFileName(path).toStdString();
    const char sep = DecimalSep();
    // The file is read into a fresh analysis; the window's one is replaced only when the
    // whole file has been read, so a refused file changes nothing. Reading the bytes and
    // the rows both happen on the worker thread.
    std::string bytes, why;
    bool read = false;
    rel::AnalysisState fresh;
    auto load = [&](rel::BadRowPolicy policy) {
        return LoadOffThread([&, policy] {
            if (!read && !(read = rel::ReadFileBytes(native, bytes, why))) return rel::LoadResult{};
            return rel::LoadFailureBytes(fresh, bytes, shownPath, sep, policy);
        });
    };
    rel::LoadResult r = load(rel::BadRowPolicy::Refuse);
    if (!read) {
        Error(Q(why) + tr(". Файл данных не загружен."));
        return false;
    }
    // Rows whose time cannot be read: one message with the first of them, and the
    // good rows loaded only when the user says so.
    if (!r.ok && !r.BadRows.empty() && r.GoodRows > 0) {
        const QString question =
            TranslatedCoreText(Q(rel::BadRowsSummary(r.BadRows, r.GoodRows, shownPath))) + QStringLiteral("\n\n") +
            tr("Загрузить остальные строки отказов (%1) без строк с ошибками?").arg(r.GoodRows);
        if (!env_.dialogs->Ask(this, QCoreApplication::applicationName(), question)) return false;
        r = load(rel::BadRowPolicy::Skip);
    }
    bytes = std::string();  // the file's bytes are not needed once decoded
    if (r.ok) {
        St = std::move(fresh);
        ShowFailureView(r.view);
    }
    if (!r.ok) {
        // Refused: the path, the settings and what is shown stay those of the file
        // loaded before.
        Error(Q(r.error));
        return false;
    }
    // Loaded: it is the file shown, offered again by the dialog and at the next start.
    FilePath->setText(ShownFileName(path));
    dataDialog_.FileName = path;
    loadedData_ = path;
    StartNewAnalysis();
    settings_.WriteComStr(QDir::toNativeSeparators(path));
    RememberRecent(path);
    ShowSettingsNotice();
    for (const std::string& w : r.Warnings) Message(Q(w));
    return true;
}

void TForm1::StartNewAnalysis() {
    // The core has started a fresh analysis with the file; what the window holds of
    // the fleet before goes too: its warranty file, model 3's intervals, the results
    // and the optimiser's progress.
    loadedWarranty_.clear();
    loadedAges_.clear();
    AgesPath->clear();
    AgesInfo->clear();
    Edit4->setText(QStringLiteral("c:\\"));
    for (QLineEdit* e : {MaskEdit1, MaskEditSrednee, MaskEditSKO}) e->clear();
    Label15->clear();
    lastML_.reset();
    lastResults_.reset();
    actShowResults_->setEnabled(false);
    actSaveReport_->setEnabled(false);
    if (Form5) Form5->hide();
    ProgressBar2->setValue(0);
    GenCounter->clear();
    Memo2->setPlainText(tr("Ход решения"));
}

void TForm1::ShowFailureView(const rel::FailureFileView& v) {
    Label10->setText(Q(v.Title));
    meSred->setText(Q(v.SredText));
    meSKO->setText(Q(v.SKOText));
    meKolAll->setText(Q(v.ParkText));
    meKolOtk->setText(Q(v.FailuresText));
    LabeledEdit2->setText(Q(v.PeriodText));
    Edit1->setText(Q(v.StepCoef11Text));
    Edit6->setText(Q(v.StepCoef12Text));
    Edit5->setText(Q(v.StepCoef2Text));
    Edit2->setText(Q(v.PrecisionText));
    if (v.GenerationsText) NPokoleny->setText(Q(*v.GenerationsText));

    // The failure list: the loaded failures under their headers.
    problems_->ShowLoaded(v.Marks, DecimalSep());
    const int widths[] = {65, 85, 200, 1010};
    for (int c = 0; c < FailureListModel::kColumns; ++c) Problems_Grid->setColumnWidth(c, widths[c]);

    Chart2->SetPoints(v.LnPoints, v.LnLine);
}

void TForm1::SpeedButton1Click() {
    if (runs_.Running()) return;  // a run owns the warranty figures until it ends
    // The dialog opens at the warranty file loaded last, else beside the data file.
    const QString dataFile = loadedData_.isEmpty() ? settings_.ReadComStr(QString()) : loadedData_;
    warrantyDialog_.InitialDir = !loadedWarranty_.isEmpty() ? loadedWarranty_
                                 : dataFile.isEmpty()       ? QString()
                                                            : QFileInfo(dataFile).absolutePath();
    const QString file = warrantyDialog_.Choose(*env_.dialogs, this);
    if (file.isEmpty()) return;  // cancelled: nothing changes
    LoadWarrantyFile(file);
}

bool TForm1::LoadWarrantyFile(const QString& file) {
    if (runs_.Running()) return false;
    const rel::WarrantyResult r = rel::LoadWarrantyFile(St, NativePath(file), DecimalSep());
    if (!r.ok) {
        Error(Q(r.error));
        return false;
    }
    warrantyDialog_.FileName = file;
    loadedWarranty_ = file;
    // The load has cleared every model's result; model 3's intervals go with it.
    lastML_.reset();
    Edit4->setText(Q(rel::WarrantyShortName(NativePath(file))));
    Label15->setText(Q(r.Title));
    MaskEdit1->setText(Q(r.CountText));
    MaskEditSrednee->setText(Q(r.MeanText));
    MaskEditSKO->setText(Q(r.SdText));
    meSred->setText(Q(r.SredText));
    meSKO->setText(Q(r.SKOText));
    return true;
}

void TForm1::AgesButtonClick() {
    if (runs_.Running()) return;
    if (!St.FileLoaded || St.DataPath.empty()) {
        Message(tr("Сначала загрузите файл данных: число изделий в файле наработок сверяется с его парком."));
        return;
    }
    const QString dataFile = loadedData_.isEmpty() ? settings_.ReadComStr(QString()) : loadedData_;
    agesDialog_.InitialDir = !loadedAges_.isEmpty() ? loadedAges_
                             : dataFile.isEmpty()   ? QString()
                                                    : QFileInfo(dataFile).absolutePath();
    const QString file = agesDialog_.Choose(*env_.dialogs, this);
    if (file.isEmpty()) return;
    LoadAgesFile(file);
}

bool TForm1::LoadAgesFile(const QString& file) {
    if (runs_.Running()) return false;
    const rel::AgesResult r = rel::LoadAgesFile(St, NativePath(file), DecimalSep());
    if (!r.ok) {
        Error(TranslatedCoreText(Q(r.error)));
        return false;
    }
    agesDialog_.FileName = file;
    loadedAges_ = file;
    // The load has cleared every model's result; model 3's intervals go with it.
    lastML_.reset();
    AgesPath->setText(Q(r.ShortName));
    AgesPath->setToolTip(ShownFileName(file));
    AgesInfo->setText(tr("%1\nИзделий: %2, с известным окончанием гарантии: %3, с наработкой в месяц: %4; "
                         "средняя наработка %5 ч")
                          .arg(Q(r.Title), Q(r.CountText), Q(r.KnownText), Q(r.UsageText), Q(r.MeanAgeText)));
    QStringList recent = settings_.ReadRecentAges();
    recent.removeAll(file);
    recent.prepend(file);
    settings_.WriteRecentAges(recent);
    RebuildRecentMenu();
    return true;
}

bool TForm1::DataReady() {
    // A run needs a loaded fleet before anything of its fields is read.
    if (!St.FileLoaded && !FilePath->text().isEmpty()) {
        Message(tr("Файл данных не загружен: откройте его кнопкой «Путь» (Файл → Открыть данные…)."));
        return false;
    }
    return true;
}

bool TForm1::CheckDataPath() {
    St.DataPath = FilePath->text().toStdString();
    if (St.DataPath.empty()) {
        Message(tr("Не указан путь к файлу исходных данных"));
        return false;
    }
    return St.FileLoaded;
}

bool TForm1::ReadField(QLineEdit* edit, const QString& fieldName, double& value, const rel::FigureRange* range) {
    QString why;
    double v = 0.0;
    if (ReadNumber(edit->text(), fieldName, v, why)) {
        // The same range as relan-cli's option for the figure.
        if (!range || rel::InRange(v, *range)) {
            value = v;
            return true;
        }
        why = tr("«%1» в поле «%2» вне допустимых пределов (%3).")
                  .arg(edit->text().trimmed(), fieldName, TranslatedCoreText(QString::fromUtf8(range->text)));
    }
    Error(why);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool TForm1::ReadForecastSettings(double& usage, int& horizon) {
    usage = std::numeric_limits<double>::quiet_NaN();
    const QString u = UsageEdit->text().trimmed();
    if (!u.isEmpty()) {
        QString why;
        double v = 0;
        if (!ReadNumber(u, tr("Наработка в месяц"), v, why)) {
            Error(why);
            return false;
        }
        if (!(v > 0 && v <= rel::kMaxHoursPerMonth)) {
            Error(tr("«%1» в поле «Наработка в месяц» вне допустимых пределов (больше 0, до 744 ч).").arg(u));
            return false;
        }
        usage = v;
    }
    const std::optional<int> h = rel::ParseIntText(HorizonEdit->text().toStdString());
    if (!h || *h < 1 || *h > rel::kMlMaxHorizon) {
        Error(tr("«%1» в поле «Месяцев прогноза» вне допустимых пределов (целое от 1 до %2).")
                  .arg(HorizonEdit->text().trimmed())
                  .arg(rel::kMlMaxHorizon));
        return false;
    }
    horizon = *h;
    return true;
}

bool TForm1::ReadRunParams() {
    // In this order, each value stored as soon as it is read: a field that is not
    // a number stops the reading with the values before it already taken.
    if (!ReadField(meSred, tr("Среднее время гарантии"), St.SredGar, &rel::kWarrantyRange)) return false;
    if (!ReadField(meSKO, tr("СКО времени гарантии"), St.SKOGar, &rel::kWarrantyRange)) return false;
    if (!ReadField(LabeledEdit2, tr("Расчетный период учета отказов"), St.PeriodUchet)) return false;
    if (!ReadField(LabeledEdit3, tr("Расч. время приработки"), St.TPrirab, &rel::kBurnInRange)) return false;
    return true;
}

void TForm1::Button2Click() {
    if (runs_.Running()) return;  // the run owns the analysis state until it ends
    auto* view = new TLNview(*env_.dialogs);
    LNview = view;
    connect(view, &TLNview::Closing, this, [this] { show(); });
    hide();
    view->show();
    view->Fill(St);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (loading_) {
        // A data file is being read (a second or two): the window closes after it.
        event->ignore();
        QTimer::singleShot(50, this, [this] { close(); });
        return;
    }
    if (closing_) {
        // Already closing, waiting for a run to end: that close goes on.
        event->ignore();
        return;
    }
    // The optimiser may have run for long: its end is asked for first. "Нет" keeps
    // the window open and the run going.
    if (GenRunning() && !env_.dialogs->Ask(this, QCoreApplication::applicationName(), tr("Прервать расчет?"))) {
        event->ignore();
        return;
    }
    QApplication::beep();
    // A run under way ends first and shows no results: the optimiser at the end of
    // its generation, the calculation run at its end (model 3 between its steps).
    // The window keeps drawing meanwhile.
    closing_ = true;
    runs_.EndForClose();
    closing_ = false;
    event->accept();
    emit Closed();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took presses the default button "Путь".
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        OpenFileStart->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace relan
