// What the window and the report write when writing fails, what they say about it,
// file names that are not UTF-8, and the settings file's troubles.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrinterInfo>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "../write_failures.h"
#include "chart_tools.h"
#include "fake_dialogs.h"
#include "file_output.h"
#include "form1.h"
#include "form5.h"
#include "language.h"
#include "lnview.h"
#include "results_chart.h"
#include "results_grid.h"
#include "settings.h"
#include "table_tools.h"

namespace relan::test {
namespace {

namespace fs = std::filesystem;
using writes::Failure;

std::string Std(const QString& s) { return s.toStdString(); }

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The names in `dir` other than `keep`.
QStringList Others(const QString& dir, const QStringList& keep) {
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& k : keep) names.removeAll(k);
    return names;
}

// Every write of this process beyond `bytes` fails with EFBIG while it lives: the
// injected failure of the window's saves (the window cannot be moved onto a full
// disc of its own).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit old_{};
    void (*handler_)(int) = nullptr;
};

void Trigger(const QMenu* menu, const char* action) {
    QAction* a = menu->findChild<QAction*>(QString::fromUtf8(action));
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
}

// A fleet loaded and model 1.1 run on the virtual clock, its results window drawn.
struct Analysed {
    Window w;
    std::unique_ptr<TForm5> form5;
    QTemporaryDir out;

    Analysed() {
        form5 = std::make_unique<TForm5>(w.form.get(), w.dialogs);
        w.form->SetResultsWindow(form5.get());
        w.form->Runs().Clock.evaluationsPerSecond = 4000;
        w.form->show();
        w.form->OpenDataFile(Fixture("app/causes5.txt"));
        Ctl<QCheckBox>(*w.form, "SpirSpusk")->setChecked(true);
        w.form->bbRaschetClick();
        w.form->Runs().WaitForEnd();
        form5->resize(kForm5DesignWidth, kForm5DesignHeight);
        QApplication::processEvents();
    }
    ~Analysed() { form5.reset(); }
};

// ---- the window's saves ----

TEST(WindowOutput, ASaveThatFailsLeavesTheOldFileAsItWasAndSaysWhy) {
    const bool printer = !QPrinterInfo::availablePrinters().isEmpty();
    Analysed a;
    struct Case {
        const char* file;
        std::function<void()> save;
        bool needsNoPrinter;
    };
    ResultsGrid* grid = Ctl<ResultsGrid>(*a.form5, "Result_Grid");
    TableTools* list = a.w.form->findChild<TableTools*>();
    ASSERT_NE(list, nullptr);
    ResultsChart* chart = Ctl<ResultsChart>(*a.form5, "Chart1");
    const Case cases[] = {
        {"результаты.csv", [&] { Trigger(grid->Tools()->Menu(), "actSaveCsv"); }, false},
        {"отказы.csv", [&] { Trigger(list->Menu(), "actSaveCsv"); }, false},
        {"книга.xlsx", [&] { Trigger(grid->Tools()->Menu(), "actSaveExcel"); }, false},
        {"поток.svg", [&] { Trigger(chart->Explorer()->Menu(), "actSaveSvg"); }, false},
        {"поток.png", [&] { Trigger(chart->Explorer()->Menu(), "actSavePng"); }, false},
        {"отчет.pdf", [&] { a.w.form->SaveReportPdfClick(); }, false},
        {"печать.pdf", [&] { a.form5->Button1Click(); }, true},
        {"накопление.pdf",
         [&] {
             a.w.form->Button2Click();
             TLNview* v = a.w.form->ExpandedView();
             ASSERT_NE(v, nullptr);
             v->Button2Click();
             v->close();
         },
         true},
    };
    const QByteArray old = "старое содержимое, которое нельзя терять\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (c.needsNoPrinter && printer) continue;
        const QString target = a.out.filePath(QString::fromUtf8(c.file));
        WriteAll(target, old);
        a.w.dialogs.saveAnswer = target;
        a.w.dialogs.errors.clear();
        a.w.dialogs.messages.clear();
        {
            FileSizeLimit limit(0);
            c.save();
        }
        EXPECT_EQ(ReadAll(target), old);
        EXPECT_EQ(Others(a.out.path(), {QFileInfo(target).fileName()}), QStringList());
        ASSERT_EQ(a.w.dialogs.errors.size(), 1) << Std(a.w.dialogs.messages.join(QLatin1Char('\n')));
        EXPECT_TRUE(a.w.dialogs.errors[0].contains(
            QStringLiteral("«%1» не записан: файл больше допустимого размера").arg(target)))
            << Std(a.w.dialogs.errors[0]);
        EXPECT_TRUE(a.w.dialogs.messages.filter(QStringLiteral("сохранен")).isEmpty())
            << Std(a.w.dialogs.messages.join(QLatin1Char('\n')));
        QFile::remove(target);
    }
    // Without the limit the same save replaces the old file.
    const QString target = a.out.filePath(QStringLiteral("отчет.pdf"));
    WriteAll(target, old);
    a.w.dialogs.saveAnswer = target;
    a.w.form->SaveReportPdfClick();
    const QByteArray pdf = ReadAll(target);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(relcli::PdfCheck(std::string_view(pdf.constData(), pdf.size())), nullptr);
    EXPECT_EQ(Others(a.out.path(), {QStringLiteral("отчет.pdf")}), QStringList());
}

TEST(WindowOutput, EveryReasonOfAFailedWriteHasItsEnglish) {
    InstallLanguage(*qApp, kLanguageEnglish);
    QStringList untranslated;
    for (const char* reason : relcli::WriteReasons()) {
        const QString shown = WriteReasonText(relcli::WriteOutcome::Failed(reason));
        if (shown == QString::fromUtf8(reason)) untranslated << shown;
    }
    InstallLanguage(*qApp, kLanguageRussian);
    EXPECT_TRUE(untranslated.isEmpty()) << Std(untranslated.join(QStringLiteral(", ")));
}

// ---- file names as the system's bytes ----

TEST(FileNames, AnyBytesOfANameComeBackAsTheyWere) {
    const QByteArray names[] = {
        "/data/fleet.txt",
        "/data/Парк 1/отказы.txt",
        "/data/bad\xff\xfe.txt",
        "/data/\xcf\xe0\xf0\xea.txt",  // a Windows-1251 name
        "/data/cut\xd0",               // a letter cut short
        "/data/\xc0\xaf",              // an overlong slash
        "/data/\xed\xa0\x80",          // a surrogate written as UTF-8
        "/data/\xf4\x90\x80\x80",      // beyond U+10FFFF
        "/data/😀.txt",
    };
    for (const QByteArray& bytes : names) {
        const QString name = FileNameFromBytes(bytes);
        EXPECT_EQ(FileNameBytes(name), bytes) << bytes.toHex().constData();
        // Valid UTF-8 is decoded as such; a kept byte is shown as U+FFFD.
        if (QString::fromUtf8(bytes).toUtf8() == bytes) {
            EXPECT_EQ(name, QString::fromUtf8(bytes));
        } else {
            EXPECT_TRUE(ShownFileName(name).contains(QChar(QChar::ReplacementCharacter))) << Std(name);
        }
    }
}

class OddNames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A data file whose name is not UTF-8 (a Windows-1251 "Парк" and a stray byte).
        bytes = FileNameBytes(dir.path()) + "/\xcf\xe0\xf0\xea-\xff.txt";
        fs::copy_file(Std(Fixture("app/tiny.txt")), bytes.toStdString());
    }
    // The toolkit does not see these names: removed by their bytes.
    void TearDown() override { fs::remove_all(FileNameBytes(dir.path()).toStdString()); }
    QTemporaryDir dir;
    QByteArray bytes;
};

TEST_F(OddNames, TheWindowLoadsItFromTheCommandLineTheRecentListAndADrop) {
    Window w;
    const QString name = FileNameFromBytes(bytes);
    ASSERT_TRUE(w.form->OpenDataFile(name)) << Std(w.dialogs.errors.join(QLatin1Char('\n')));
    EXPECT_EQ(Ctl<QTableView>(*w.form, "Problems_Grid")->model()->rowCount(), 4);
    EXPECT_TRUE(w.dialogs.errors.isEmpty()) << Std(w.dialogs.errors.join(QLatin1Char('\n')));

    // The next start offers it in "Последние файлы", and it loads from there.
    w.Open();
    QAction* recent = Ctl<QAction>(*w.form, "actRecent1");
    EXPECT_TRUE(recent->statusTip().contains(QChar(QChar::ReplacementCharacter))) << Std(recent->statusTip());
    recent->trigger();
    EXPECT_TRUE(w.form->State().FileLoaded);
    EXPECT_TRUE(w.dialogs.messages.isEmpty()) << Std(w.dialogs.messages.join(QLatin1Char('\n')));
    EXPECT_EQ(Ctl<QTableView>(*w.form, "Problems_Grid")->model()->rowCount(), 4);

    // Dropped from a file manager, its bytes percent-encoded in the URL.
    w.Open();
    QMimeData mime;
    mime.setUrls({QUrl(QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form.get(), &drop);
    EXPECT_TRUE(w.form->State().FileLoaded) << Std(w.dialogs.errors.join(QLatin1Char('\n')));
}

TEST_F(OddNames, TheReportReadsAndWritesTheNamesItIsGiven) {
    const QByteArray out = FileNameBytes(dir.path()) + "/\xee\xf2\xf7\xe5\xf2-\xff.pdf";
    const writes::Run r = writes::Bash(writes::Quote(RELAN_APP) + " --report " + writes::Quote(out.toStdString()) +
                                           " " + writes::Quote(bytes.toStdString()) + " --virtual-clock 4000",
                                       Std(dir.path()));
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(fs::exists(out.toStdString()));
    const std::string pdf = writes::ReadFile(out.toStdString());
    EXPECT_EQ(relcli::PdfCheck(pdf), nullptr);
    EXPECT_NE(r.out.find("Отчет записан: " + Std(ShownFileName(FileNameFromBytes(out)))), std::string::npos)
        << r.out;
    // Nothing else was made: no file under a name with its bytes replaced.
    EXPECT_EQ(std::distance(fs::directory_iterator(Std(dir.path())), fs::directory_iterator()), 2);
}

// ---- the report's files ----

class ReportOutput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.isValid()); }
    fs::path Scratch() const { return Std(scratch.path()); }
    QTemporaryDir scratch;
};

TEST_F(ReportOutput, AReportThatCannotBeWrittenWholeLeavesTheOldOneAsItWas) {
    const std::string data = Std(Fixture("app/causes5.txt"));
    const bool fullDisc = writes::FullDiscPossible(Scratch());
    struct Case {
        Failure failure;
        const char* file;
        const char* reason;
    };
    const Case cases[] = {
        {Failure::FullDisc, "отчет.pdf", "нет места на диске"},
        {Failure::FullDisc, "отчет.svg", "нет места на диске"},
        {Failure::FullDisc, "отчет.png", "нет места на диске"},
        {Failure::SizeLimit, "отчет.pdf", "файл больше допустимого размера"},
        {Failure::SizeLimit, "отчет.svg", "файл больше допустимого размера"},
        {Failure::SizeLimit, "отчет.png", "файл больше допустимого размера"},
    };
    const std::string old = "старый отчет, который нельзя терять\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(writes::Name(c.failure)) + " " + c.file);
        if (c.failure == Failure::FullDisc && !fullDisc) {
            std::printf("skipped: no private tmpfs can be mounted here\n");
            continue;
        }
        const writes::Left left = writes::WriteFailing(
            c.failure,
            "QT_QPA_PLATFORM=offscreen " + writes::Quote(RELAN_APP) + " --report {DIR}/" + writes::Quote(c.file) +
                " " + writes::Quote(data) + " --virtual-clock 4000 >/dev/null",
            c.file, old, Scratch());
        EXPECT_EQ(left.run.status, 4) << left.run.err;
        EXPECT_NE(left.run.err.find(std::string(c.file) + "» не записан: " + c.reason), std::string::npos)
            << left.run.err;
        ASSERT_TRUE(left.targetThere);
        EXPECT_EQ(left.target, old);
        EXPECT_TRUE(left.others.empty()) << left.others.front();
    }
}

TEST_F(ReportOutput, AFullTemporaryFolderOrStandardOutputDoNotTouchTheReport) {
    const std::string data = Std(Fixture("app/causes5.txt"));
    const fs::path pdf = Scratch() / "отчет.pdf";
    // Its progress lines on a full device: the report is written, the status says
    // the output was lost.
    const writes::Run lost = writes::Bash(writes::Quote(RELAN_APP) + " --report " + writes::Quote(pdf.string()) +
                                              " " + writes::Quote(data) + " --virtual-clock 4000 >/dev/full",
                                          Scratch());
    EXPECT_EQ(lost.status, 4) << lost.err;
    EXPECT_NE(lost.err.find("стандартный вывод не записан: нет места на диске"), std::string::npos) << lost.err;
    EXPECT_EQ(relcli::PdfCheck(writes::ReadFile(pdf)), nullptr);
    fs::remove(pdf);

    // A full temporary folder: the report does not go through it.
    if (!writes::FullDiscPossible(Scratch())) GTEST_SKIP() << "no private tmpfs can be mounted here";
    const writes::Left left =
        writes::WriteFailing(Failure::FullDisc,
                             "TMPDIR={DIR} QT_QPA_PLATFORM=offscreen " + writes::Quote(RELAN_APP) + " --report " +
                                 writes::Quote(pdf.string()) + " " + writes::Quote(data) + " --virtual-clock 4000",
                             "placeholder", "", Scratch());
    EXPECT_EQ(left.run.status, 0) << left.run.err;
    EXPECT_NE(left.run.out.find("Отчет записан: " + pdf.string()), std::string::npos) << left.run.out;
    EXPECT_EQ(relcli::PdfCheck(writes::ReadFile(pdf)), nullptr);
    // Only the toolkit's session folder (made there when the session has none).
    for (const std::string& n : left.others) EXPECT_EQ(n.rfind("runtime-", 0), 0u) << n;
}

TEST_F(ReportOutput, TwoReportsIntoOneFileLeaveOneWholeReport) {
    const fs::path pdf = Scratch() / "отчет.pdf";
    writes::WriteFile(pdf, "старый отчет\n");
    const std::string one = writes::Quote(RELAN_APP) + " --report " + writes::Quote(pdf.string()) + " " +
                            writes::Quote(Std(Fixture("app/causes5.txt"))) + " --virtual-clock 4000 >/dev/null";
    const writes::Run r =
        writes::Bash(one + " & p1=$!; " + one + " & p2=$!; wait $p1; a=$?; wait $p2; echo $a $?", Scratch());
    EXPECT_EQ(r.out, "0 0\n") << r.err;
    EXPECT_EQ(relcli::PdfCheck(writes::ReadFile(pdf)), nullptr);
    EXPECT_EQ(Others(scratch.path(), {QStringLiteral("отчет.pdf")}), QStringList());
}

// ---- the settings file ----

TEST(SettingsFile, ADamagedFileIsSetAsideSaidOnceAndStartedAfresh) {
    struct Case {
        const char* what;
        QByteArray bytes;
        qint64 size;  // a sparse file of this size instead, when not 0
    };
    const Case cases[] = {
        {"binary", QByteArray("PK\x03\x04\x00\x00\x08\x00garbage", 16), 0},
        {"not UTF-8", "[Path]\nComStr=C:\\\xcf\xe0\xf0\xea\\fleet.txt\n", 0},
        {"a broken section line", "[Path\nComStr=/data/fleet.txt\n", 0},
        {"200 MB", {}, 200LL << 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        const QString file = w.Env().SettingsFile, bad = file + QStringLiteral(".bad");
        if (c.size > 0) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_TRUE(f.resize(c.size));
        } else {
            WriteAll(file, c.bytes);
        }
        w.Open();
        QApplication::processEvents();
        ASSERT_EQ(w.dialogs.messages.size(), 1);
        EXPECT_TRUE(w.dialogs.messages[0].contains(QStringLiteral("поврежден и отложен как «%1»").arg(bad)))
            << Std(w.dialogs.messages[0]);
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_EQ(QFileInfo(bad).size(), c.size > 0 ? c.size : c.bytes.size());
        if (c.size == 0) {
            EXPECT_EQ(ReadAll(bad), c.bytes);
        }
        // Nothing remembered: the dialog opens without a folder; a load starts the file anew.
        w.Path(Fixture("app/tiny.txt"));
        EXPECT_TRUE(w.dialogs.opens.back().folder.isEmpty());
        EXPECT_EQ(QSettings(file, QSettings::IniFormat).value(QStringLiteral("Path/ComStr")).toString(),
                  Fixture("app/tiny.txt"));
        EXPECT_EQ(w.dialogs.messages.size(), 1);
    }
}

TEST(SettingsFile, AFileThatCannotBeReadOrSavedIsSaidOnceEach) {
    Window w;
    const QString file = w.Env().SettingsFile;
    ASSERT_TRUE(QDir().mkpath(file));  // a folder where the file should be
    w.Open();
    QApplication::processEvents();
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages[0].contains(QStringLiteral("«%1» не прочитан: это папка, а не файл").arg(file)))
        << Std(w.dialogs.messages[0]);
    // The load goes on; that the settings are not kept is said at the first save only.
    w.Path(Fixture("app/tiny.txt"));
    EXPECT_TRUE(w.form->State().FileLoaded);
    ASSERT_EQ(w.dialogs.messages.size(), 2);
    EXPECT_TRUE(w.dialogs.messages[1].startsWith(QStringLiteral("Настройки программы не сохранены")))
        << Std(w.dialogs.messages[1]);
    EXPECT_TRUE(w.dialogs.messages[1].contains(QStringLiteral("это папка, а не файл")));
    w.Path(Fixture("app/causes2.txt"));
    EXPECT_EQ(w.dialogs.messages.size(), 2);
    EXPECT_TRUE(QFileInfo(file).isDir());
}

TEST(SettingsFile, ASaveThatFailsLeavesTheOldFileAsItWas) {
    Window w;
    const QString file = w.Env().SettingsFile;
    QSettings(file, QSettings::IniFormat)
        .setValue(QStringLiteral("Path/ComStr"), QStringLiteral("/old/fleet.txt"));
    const QByteArray old = ReadAll(file);
    ASSERT_FALSE(old.isEmpty());
    w.Open();
    {
        FileSizeLimit limit(0);
        w.Path(Fixture("app/tiny.txt"));
    }
    EXPECT_TRUE(w.form->State().FileLoaded);
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_EQ(Others(w.dir.path(), {QStringLiteral("rel.txt")}), QStringList());
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages[0].contains(
        QStringLiteral("Файл «%1» не записан: файл больше допустимого размера").arg(file)))
        << Std(w.dialogs.messages[0]);
}

TEST(SettingsFile, TheLanguageMenuSaysWhenTheChoiceWasNotKept) {
    Window w;
    ASSERT_TRUE(QDir().mkpath(w.Env().SettingsFile));
    w.Open();
    QApplication::processEvents();
    w.dialogs.messages.clear();
    Ctl<QAction>(*w.form, "actLangEn")->trigger();
    ASSERT_EQ(w.dialogs.errors.size(), 1);
    EXPECT_TRUE(w.dialogs.errors[0].contains(QStringLiteral("Язык интерфейса не сохранен")))
        << Std(w.dialogs.errors[0]);
    EXPECT_TRUE(w.dialogs.errors[0].contains(QStringLiteral("это папка, а не файл"))) << Std(w.dialogs.errors[0]);
    EXPECT_TRUE(w.dialogs.messages.isEmpty()) << Std(w.dialogs.messages.join(QLatin1Char('\n')));
    // The failure was said: the next load does not say it again.
    w.Path(Fixture("app/tiny.txt"));
    EXPECT_TRUE(w.dialogs.messages.isEmpty()) << Std(w.dialogs.messages.join(QLatin1Char('\n')));
}

TEST(SettingsFile, IsReadOncePerStart) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("rel.txt"));
    QSettings(file, QSettings::IniFormat).setValue(QStringLiteral("Language"), QStringLiteral("en"));
    PathSettings settings(file);
    // Changed on the disc after the start: this start keeps what it read.
    {
        QSettings other(file, QSettings::IniFormat);
        other.setValue(QStringLiteral("Language"), QStringLiteral("ru"));
        other.setValue(QStringLiteral("Path/ComStr"), QStringLiteral("/elsewhere.txt"));
    }
    EXPECT_EQ(settings.ReadLanguage(), QStringLiteral("en"));
    EXPECT_EQ(settings.ReadComStr(QStringLiteral("none")), QStringLiteral("none"));
    // A save keeps what the other copy wrote under the keys this one did not change.
    ASSERT_TRUE(settings.WriteLanguage(QStringLiteral("en")));
    const PathSettings next(file);
    EXPECT_EQ(next.ReadLanguage(), QStringLiteral("en"));
    EXPECT_EQ(next.ReadComStr({}), QStringLiteral("/elsewhere.txt"));
}

}  // namespace
}  // namespace relan::test
