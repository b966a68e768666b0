// The main window's menu bar ("Файл", "Расчет", "Вид", "Справка"), its keyboard
// shortcuts, the list of recent data files and the drop of a data file onto the
// window. Every action calls the handler of the button that does the same.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "captions.h"
#include "dialogs.h"
#include "file_output.h"
#include "form1.h"
#include "form5.h"
#include "language_menu.h"
#include "text/text.h"

namespace relan {

namespace {

QAction* Add(QMenu* menu, const char* name, const QString& text, const QKeySequence& keys = {}) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    if (!keys.isEmpty()) a->setShortcut(keys);
    return a;
}

// The local file of a drag that carries exactly one, else empty.
QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile()) return {};
    // The name's bytes as the URL carries them (a byte that is not UTF-8 stays
    // percent-encoded there and is kept).
    return FileNameFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

// A warranty end-time file: named as its dialog offers them (gar*.txt), or a title
// line followed by lines that each hold one number. A data file has its header's
// numbers followed by cause names and failure rows, never only numbers.
bool IsWarrantyFile(const QString& file) {
    if (QFileInfo(file).fileName().startsWith(QLatin1String("gar"), Qt::CaseInsensitive)) return true;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(64 * 1024);
    QList<QByteArray> lines = head.split('\n');
    if (!f.atEnd()) lines.removeLast();  // cut short by the read
    int numbers = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        std::string t = lines[i].trimmed().toStdString();
        if (t.empty()) continue;
        for (char& c : t)
            if (c == ',') c = '.';
        if (!rel::ParseLocaleNumber(t, '.')) return false;
        ++numbers;
    }
    return numbers >= 2;
}

}  // namespace

void TForm1::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    QMenu* file = bar->addMenu(tr("Файл"));
    file->setObjectName(QStringLiteral("menuFile"));
    actOpenData_ = Add(file, "actOpenData", tr("Открыть данные…"), QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(actOpenData_, &QAction::triggered, this, [this] { OpenFileStartClick(); });
    actOpenWarranty_ =
        Add(file, "actOpenWarranty", tr("Открыть файл гарантии…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    connect(actOpenWarranty_, &QAction::triggered, this, [this] { SpeedButton1Click(); });
    actOpenAges_ = Add(file, "actOpenAges", tr("Открыть файл наработок парка…"));
    connect(actOpenAges_, &QAction::triggered, this, [this] { AgesButtonClick(); });
    recentMenu_ = file->addMenu(tr("Последние файлы"));
    recentMenu_->setObjectName(QStringLiteral("menuRecent"));
    file->addSeparator();
    actSaveReport_ = Add(file, "actSaveReport", tr("Сохранить отчет PDF…"), QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(actSaveReport_, &QAction::triggered, this, [this] { SaveReportPdfClick(); });
    file->addSeparator();
    QAction* exit = Add(file, "actExit", tr("Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, [this] { close(); });

    QMenu* run = bar->addMenu(tr("Расчет"));
    run->setObjectName(QStringLiteral("menuRun"));
    actRun_ = Add(run, "actRun", tr("Расчет"), QKeySequence(Qt::Key_F5));
    connect(actRun_, &QAction::triggered, this, [this] { bbRaschetClick(); });
    actGen_ = Add(run, "actGen", tr("Генетический алгоритм"), QKeySequence(Qt::Key_F6));
    connect(actGen_, &QAction::triggered, this, [this] { ToolBRunGenOptimClick(); });
    QAction* stop = Add(run, "actStop", tr("Стоп"), QKeySequence(Qt::Key_Escape));
    connect(stop, &QAction::triggered, this, [this] { StopBtnClick(); });

    QMenu* view = bar->addMenu(tr("Вид"));
    view->setObjectName(QStringLiteral("menuView"));
    actShowResults_ = Add(view, "actShowResults", tr("Показать результаты"), QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(actShowResults_, &QAction::triggered, this, [this] { ShowLastResults(); });
    view->addSeparator();
    new LanguageMenu(view, &settings_, env_.dialogs, this);

    QMenu* help = bar->addMenu(tr("Справка"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction* formats = Add(help, "actFormats", tr("Формат файлов"), QKeySequence(Qt::Key_F1));
    connect(formats, &QAction::triggered, this, [this] { ShowFileFormats(); });
    QAction* about = Add(help, "actAbout", tr("О программе"));
    connect(about, &QAction::triggered, this, [this] { ShowAbout(); });

    // Nothing to show or save before the first results.
    actShowResults_->setEnabled(false);
    actSaveReport_->setEnabled(false);
    RebuildRecentMenu();
    setAcceptDrops(true);
}

void TForm1::EnableMenuForRun(bool running) {
    for (QAction* a : {actOpenData_, actOpenWarranty_, actOpenAges_, actRun_, actGen_}) a->setEnabled(!running);
    recentMenu_->setEnabled(!running);
}

QStringList TForm1::RecentFiles() const { return settings_.ReadRecent(); }

void TForm1::RememberRecent(const QString& path) {
    QStringList files = settings_.ReadRecent();
    files.removeAll(path);
    files.prepend(path);
    settings_.WriteRecent(files);
    RebuildRecentMenu();
}

void TForm1::RebuildRecentMenu() {
    recentMenu_->clear();
    const QStringList files = settings_.ReadRecent();
    int n = 0;
    for (const QString& f : files) {
        // "1 demo-fleet.txt" with the whole path in the status tip; the first nine by their digit.
        ++n;
        QAction* a =
            recentMenu_->addAction(QStringLiteral("&%1 %2").arg(n).arg(ShownFileName(QFileInfo(f).fileName())));
        a->setObjectName(QStringLiteral("actRecent%1").arg(n));
        a->setStatusTip(ShownFileName(f));
        a->setToolTip(ShownFileName(f));
        connect(a, &QAction::triggered, this, [this, f] { OpenRecent(f); });
    }
    // The ages files of fleets in service, loaded on the data file open now.
    const QStringList ages = settings_.ReadRecentAges();
    if (!ages.isEmpty()) {
        recentMenu_->addSection(tr("Файлы наработок парка"));
        int k = 0;
        for (const QString& f : ages) {
            ++k;
            QAction* a = recentMenu_->addAction(ShownFileName(QFileInfo(f).fileName()));
            a->setObjectName(QStringLiteral("actRecentAges%1").arg(k));
            a->setStatusTip(ShownFileName(f));
            a->setToolTip(ShownFileName(f));
            connect(a, &QAction::triggered, this, [this, f] { OpenRecentAges(f); });
        }
    }
    recentMenu_->setEnabled((!files.isEmpty() || !ages.isEmpty()) && !runs_.Running());
}

bool TForm1::RecentStillThere(const QString& path, bool ages) {
    if (IsRegularFile(path)) return true;
    // Gone since: it leaves its list, and what is loaded stays.
    QStringList files = ages ? settings_.ReadRecentAges() : settings_.ReadRecent();
    files.removeAll(path);
    if (ages)
        settings_.WriteRecentAges(files);
    else
        settings_.WriteRecent(files);
    RebuildRecentMenu();
    Message(tr("Файл «%1» не найден. Он убран из списка последних файлов.").arg(ShownFileName(path)));
    return false;
}

void TForm1::OpenRecentAges(const QString& path) {
    // The load itself refuses a file before a data file (the fleet to match).
    if (runs_.Running() || !RecentStillThere(path, true)) return;
    LoadAgesFile(path);
}

void TForm1::OpenRecent(const QString& path) {
    if (runs_.Running()) return;  // a run owns the loaded data until it ends
    if (!RecentStillThere(path, false)) return;
    LoadDataFile(path);
}

void TForm1::ShowLastResults() {
    if (!Form5 || !lastResults_) return;
    Form5->show();
    Form5->raise();
    Form5->activateWindow();
}

void TForm1::SaveReportPdfClick() {
    if (!Form5 || !lastResults_) return;
    const QString caption = tr("Сохранить отчет PDF");
    QString file = env_.dialogs->SaveFile(this, caption, QDir::home().filePath(tr("Результаты анализа.pdf")),
                                          tr("Файлы PDF (*.pdf)"));
    if (file.isEmpty()) return;  // cancelled
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
    QString why;
    if (!Form5->WriteReportPdf(file, why)) {
        env_.dialogs->Error(this, caption, why);
        return;
    }
    Message(tr("Отчет сохранен: %1").arg(ShownFileName(QFileInfo(file).absoluteFilePath())));
}

QString TForm1::FileFormatsText() {
    // The Russian text in the Russian interface; the translation names the README's
    // English section.
    QFile f(tr(":/help/file-formats.ru.md"));
    if (!f.exists()) f.setFileName(QStringLiteral(":/help/file-formats.md"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

void TForm1::ShowFileFormats() {
    // A window beside the main one, not modal: the user reads it while working.
    if (!formats_) {
        auto* dlg = new QDialog(this);
        dlg->setObjectName(QStringLiteral("FormatsWindow"));
        dlg->setWindowTitle(tr("Формат файлов") + VersionNotice());
        auto* text = new QTextBrowser(dlg);
        text->setObjectName(QStringLiteral("FormatsText"));
        text->setReadOnly(true);
        text->setOpenExternalLinks(false);
        text->setMarkdown(FileFormatsText());
        auto* close = new QPushButton(tr("Закрыть"), dlg);
        connect(close, &QPushButton::clicked, dlg, &QDialog::close);
        auto* layout = new QVBoxLayout(dlg);
        layout->addWidget(text, 1);
        layout->addWidget(close, 0, Qt::AlignRight);
        dlg->resize(820, 680);
        formats_ = dlg;
    }
    formats_->show();
    formats_->raise();
    formats_->activateWindow();
}

QString TForm1::AboutText() {
    return tr("relan — анализ надежности изделий в гарантийной эксплуатации\n"
              "Версия %1\n\n"
              "Используемые библиотеки и их лицензии:\n"
              "Qt %2 — GNU LGPL v3\n"
              "Boost.Math — Boost Software License 1.0\n"
              "Eigen — Mozilla Public License 2.0\n"
              "libxlsxwriter — BSD 2-Clause\n"
              "nlohmann-json — MIT\n"
              "CLI11 — BSD 3-Clause")
        .arg(QLatin1String(kVersion), QLatin1String(qVersion()));
}

void TForm1::ShowAbout() { Message(AboutText()); }

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!runs_.Running() && !DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty() || runs_.Running()) return;
    event->acceptProposedAction();
    // The same load as "Путь" or "File": a file that is refused changes nothing.
    if (IsWarrantyFile(file))
        LoadWarrantyFile(file);
    else
        OpenDataFile(file);
}

}  // namespace relan
