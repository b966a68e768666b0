#include "form1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QToolButton>

#include "analysis/load.h"
#include "captions.h"
#include "data/warranty_file.h"
#include "dialogs.h"
#include "failure_list_model.h"
#include "form5.h"
#include "lnchart.h"
#include "lnview.h"
#include "numbers.h"
#include "wrap_button.h"

namespace relan {

namespace {

const QString kNoPathText = QStringLiteral("Не указан путь к файлу исходных данных");

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

AppEnv AppEnv::ForExecutable(Dialogs* dialogs) {
    AppEnv env;
    env.ExeDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    env.SettingsFile = env.ExeDir + QStringLiteral("rel.txt");
    env.dialogs = dialogs;
    return env;
}

TForm1::TForm1(const AppEnv& env, QWidget* parent)
    : QMainWindow(parent), env_(env), settings_(env.SettingsFile) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(MainCaption());
    openDialog1_.Filter = QString::fromUtf8(kDataFilter);
    openDialog1_.InitialDir = env_.ExeDir;

    problems_ = new FailureListModel(St, this);
    SetupUi(this, problems_);

    connect(OpenFileStart, &QPushButton::clicked, this, [this] { OpenFileStartClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(bbRaschet, &QPushButton::clicked, this, [this] { bbRaschetClick(); });
    connect(ToolBRunGenOptim, &QPushButton::clicked, this, [this] { ToolBRunGenOptimClick(); });
    connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });
    connect(btnCopyBest, &QPushButton::clicked, this, [this] { btnCopyBestClick(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    ConnectRuns();

    FormCreate();
}

TForm1::~TForm1() {
    // A run under way is ended by runs_, destroyed before the state it works on;
    // it delivers nothing any more.
    if (LNview) delete LNview.data();
}

void TForm1::SetResultsWindow(TForm5* form5) { Form5 = form5; }
TForm5* TForm1::ResultsWindow() const { return Form5; }
TLNview* TForm1::ExpandedView() const { return LNview; }

void TForm1::FormCreate() {
    // Maximised, filling the screen's work area even where no window manager
    // maximises it.
    if (QScreen* s = screen()) setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    FilePath->setText(settings_.ReadComStr(env_.ExeDir));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!arranged_) {
        arranged_ = true;
        ArrangeBands();
    }
}

void TForm1::Message(const QString& text) { env_.dialogs->Message(this, text); }

void TForm1::MemoLine(const QString& line) { Memo2->appendPlainText(line); }

int TForm1::RadioGroup1ItemIndex() const { return RadioGroup1Items->checkedId(); }

void TForm1::OpenFileStartClick() {
    if (runs_.Running()) return;  // a run owns the loaded data until it ends
    openDialog1_.InitialDir = settings_.ReadComStr(QString());
    if (openDialog1_.Execute(*env_.dialogs, this)) FilePath->setText(openDialog1_.FileName);
    // Confirmed or cancelled, the dialog's current file is read: after a cancel
    // the file chosen last in this run, before any choice nothing at all.
    LoadDataFile(openDialog1_.FileName);
}

void TForm1::OpenDataFile(const QString& path) {
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    openDialog1_.FileName = full;
    FilePath->setText(full);
    LoadDataFile(full);
}

void TForm1::LoadDataFile(const QString& path) {
    if (path.isEmpty()) return;
    std::string bytes, why;
    if (!rel::ReadFileBytes(NativePath(path), bytes, why)) {
        Message(Q(why) + QStringLiteral(". Файл данных не загружен."));
        return;
    }
    // The file could be read: it becomes the one offered at the next start.
    if (!settings_.WriteComStr(QDir::toNativeSeparators(path)) && !settingsWarned_) {
        settingsWarned_ = true;
        qWarning("relan: the settings file %s cannot be written", qPrintable(settings_.File()));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const rel::LoadResult r = rel::LoadFailureBytes(St, bytes, path.toStdString(), DecimalSep());
    if (r.ok) ShowFailureView(r.view);
    QApplication::restoreOverrideCursor();
    for (const std::string& m : r.Messages) Message(Q(m));
    if (!r.ok) {
        Message(Q(r.error));
        return;
    }
    for (const std::string& w : r.Warnings) Message(Q(w));
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
    openDialog1_.Filter = QString::fromUtf8(kWarrantyFilter);
    openDialog1_.Execute(*env_.dialogs, this);
    const QString file = openDialog1_.FileName;
    if (file.isEmpty()) return;  // nothing chosen yet in this run: nothing changes
    Edit4->setText(Q(rel::WarrantyShortName(NativePath(file))));
    const rel::WarrantyResult r = rel::LoadWarrantyFile(St, NativePath(file), DecimalSep());
    if (!r.ok) {
        Message(Q(r.error));
        return;
    }
    Label15->setText(Q(r.Title));
    MaskEdit1->setText(Q(r.CountText));
    MaskEditSrednee->setText(Q(r.MeanText));
    MaskEditSKO->setText(Q(r.SdText));
    meSred->setText(Q(r.SredText));
    meSKO->setText(Q(r.SKOText));
}

bool TForm1::CheckDataPath() {
    St.DataPath = FilePath->text().toStdString();
    if (St.DataPath.empty()) {
        Message(kNoPathText);
        return false;
    }
    return St.FileLoaded;
}

bool TForm1::ReadField(QLineEdit* edit, const QString& fieldName, double& value) {
    QString why;
    if (ReadNumber(edit->text(), fieldName, value, why)) return true;
    env_.dialogs->Error(this, QCoreApplication::applicationName(), why);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool TForm1::ReadRunParams() {
    // In this order, each value stored as soon as it is read: a field that is not
    // a number stops the reading with the values before it already taken.
    if (!ReadField(meSred, QStringLiteral("Среднее время гарантии"), St.SredGar)) return false;
    if (!ReadField(meSKO, QStringLiteral("СКО времени гарантии"), St.SKOGar)) return false;
    if (!ReadField(LabeledEdit2, QStringLiteral("Расчетный период учета отказов"), St.PeriodUchet)) return false;
    if (!ReadField(LabeledEdit3, QStringLiteral("Расч. время приработки"), St.TPrirab)) return false;
    return true;
}

void TForm1::Button2Click() {
    auto* view = new TLNview(*env_.dialogs);
    LNview = view;
    connect(view, &TLNview::Closing, this, [this] { show(); });
    hide();
    view->show();
    view->Fill(St);
}

void TForm1::closeEvent(QCloseEvent* event) {
    QApplication::beep();
    // A run under way ends first and shows no results: the optimiser at the end of
    // its generation, the calculation run at its end. Neither waits for this
    // thread, so the wait is a plain one.
    runs_.EndForClose();
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
