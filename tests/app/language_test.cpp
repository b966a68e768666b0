// The language of the window: where the choice comes from, and the English
// interface with no Russian text left in the main window, the log-log view and the
// results window (the fleet's own texts from the data file aside).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <unistd.h>

#include "fake_dialogs.h"
#include "form1.h"
#include "captions.h"
#include "form5.h"
#include "language.h"
#include "lnview.h"
#include "results_grid.h"
#include "settings.h"

namespace relan::test {
namespace {

TEST(Language, ChoiceComesFromTheOptionThenTheSettingsThenTheSystemLocale) {
    const QLocale c = QLocale::c();
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale uk(QLocale::Ukrainian, QLocale::Ukraine);
    struct Case {
        QStringList args;
        QString setting;
        QLocale system;
        QString want;
    };
    const QString prog = QStringLiteral("relan");
    const QString data = QStringLiteral("fleet.txt");
    const Case cases[] = {
        // The command line wins over the settings and the locale.
        {{prog, QStringLiteral("--lang"), QStringLiteral("en")}, {}, ru, kLanguageEnglish},
        {{prog, QStringLiteral("--lang"), QStringLiteral("en"), data}, QStringLiteral("ru"), ru, kLanguageEnglish},
        {{prog, QStringLiteral("--lang=ru")}, QStringLiteral("en"), de, kLanguageRussian},
        {{prog, data, QStringLiteral("--lang"), QStringLiteral("EN")}, {}, c, kLanguageEnglish},
        // The settings file's key "Language" wins over the locale.
        {{prog}, QStringLiteral("en"), ru, kLanguageEnglish},
        {{prog, data}, QStringLiteral("ru"), de, kLanguageRussian},
        {{prog}, QStringLiteral("English"), c, kLanguageEnglish},
        // The system's locale: Russian for Russian and for the bare C locale, English
        // for any other language.
        {{prog}, {}, de, kLanguageEnglish},
        {{prog}, {}, us, kLanguageEnglish},
        {{prog}, {}, uk, kLanguageEnglish},
        {{prog}, {}, ru, kLanguageRussian},
        {{prog}, {}, c, kLanguageRussian},
        {{prog, data}, {}, c, kLanguageRussian},
        // A language the program does not have is passed over.
        {{prog, QStringLiteral("--lang"), QStringLiteral("fr")}, {}, c, kLanguageRussian},
        {{prog, QStringLiteral("--lang"), QStringLiteral("fr")}, QStringLiteral("de"), de, kLanguageEnglish},
        {{prog, QStringLiteral("--lang")}, QStringLiteral("en"), ru, kLanguageEnglish},
    };
    for (const Case& k : cases)
        EXPECT_EQ(ResolveLanguage(k.args, k.setting, k.system), k.want)
            << k.args.join(QLatin1Char(' ')).toStdString() << " | setting " << k.setting.toStdString() << " | "
            << k.system.name().toStdString();
}

TEST(Language, TheOptionIsTakenOutOfTheArgumentsSoTheDataFileStaysFirst) {
    const QString prog = QStringLiteral("relan"), data = QStringLiteral("fleet.txt");
    const QStringList plain{prog, data};
    EXPECT_EQ(WithoutLanguageOption({prog, QStringLiteral("--lang"), QStringLiteral("en"), data}), plain);
    EXPECT_EQ(WithoutLanguageOption({prog, QStringLiteral("--lang=ru"), data}), plain);
    EXPECT_EQ(WithoutLanguageOption({prog, data, QStringLiteral("--lang"), QStringLiteral("en")}), plain);
    EXPECT_EQ(WithoutLanguageOption(plain), plain);
}

TEST(Language, TheSettingsFileKeepsTheChoiceBesideTheLastPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("rel-%1.txt").arg(getpid()));
    const QString other = dir.filePath(QStringLiteral("admin-%1.txt").arg(getpid()));
    EXPECT_TRUE(ReadLanguageSetting(file).isEmpty());
    PathSettings settings(file);
    ASSERT_TRUE(settings.WriteComStr(QStringLiteral("/data/Парк 1/fleet.txt")));
    ASSERT_TRUE(WriteLanguageSetting(file, kLanguageEnglish));
    EXPECT_EQ(ReadLanguageSetting(file), kLanguageEnglish);
    EXPECT_EQ(settings.ReadComStr({}), QStringLiteral("/data/Парк 1/fleet.txt"));
    // A file beside an executable that cannot be written is read when the user's has no choice.
    ASSERT_TRUE(WriteLanguageSetting(other, kLanguageRussian));
    EXPECT_EQ(ReadLanguageSetting(dir.filePath(QStringLiteral("none.txt")), other), kLanguageRussian);
    EXPECT_EQ(ReadLanguageSetting(file, other), kLanguageEnglish);
}

// Every text a widget tree shows: window titles, labels, buttons, group boxes, tabs,
// tool tips, line edits and their placeholders, table headers (and the cells of the
// results table), chart titles, axes, series names and the texts drawn on charts, the
// progress log's lines. The failure list's cells hold the file's own records.
QStringList ShownTexts(const QWidget& top) {
    QStringList out;
    auto add = [&out](const QObject* w, const QString& kind, const QString& text) {
        if (!text.isEmpty()) out << w->objectName() + QLatin1Char(' ') + kind + QStringLiteral(": ") + text;
    };
    QList<QWidget*> widgets = top.findChildren<QWidget*>();
    widgets.prepend(const_cast<QWidget*>(&top));
    for (const QWidget* w : widgets) {
        if (w->isWindow()) add(w, QStringLiteral("title"), w->windowTitle());
        add(w, QStringLiteral("tool tip"), w->toolTip());
        if (auto* b = qobject_cast<const QAbstractButton*>(w)) add(w, QStringLiteral("button"), b->text());
        if (auto* l = qobject_cast<const QLabel*>(w)) add(w, QStringLiteral("label"), l->text());
        if (auto* g = qobject_cast<const QGroupBox*>(w)) add(w, QStringLiteral("group"), g->title());
        if (auto* t = qobject_cast<const QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i) add(w, QStringLiteral("tab"), t->tabText(i));
        // Menus (the menu bar's and the context menus'): every entry, "Язык"'s own
        // language names aside, which each language shows in itself.
        if (auto* m = qobject_cast<const QMenu*>(w)) {
            add(w, QStringLiteral("menu"), m->title());
            for (const QAction* a : m->actions())
                if (a->text() != QStringLiteral("Русский")) add(w, QStringLiteral("menu entry"), a->text());
        }
        if (auto* bar = qobject_cast<const QMenuBar*>(w))
            for (const QAction* a : bar->actions()) add(w, QStringLiteral("menu bar"), a->text());
        if (auto* e = qobject_cast<const QLineEdit*>(w)) {
            add(w, QStringLiteral("placeholder"), e->placeholderText());
            add(w, QStringLiteral("edit"), e->text());
        }
        if (auto* m = qobject_cast<const QPlainTextEdit*>(w))
            for (const QString& line : m->toPlainText().split(QLatin1Char('\n')))
                add(w, QStringLiteral("log"), line);
        if (auto* v = qobject_cast<const QAbstractItemView*>(w); v && v->model()) {
            const QAbstractItemModel& model = *v->model();
            for (int c = 0; c < model.columnCount(); ++c)
                add(w, QStringLiteral("column"), model.headerData(c, Qt::Horizontal).toString());
            if (qobject_cast<const ResultsGrid*>(w))
                for (int r = 0; r < model.rowCount(); ++r)
                    for (int c = 0; c < model.columnCount(); ++c)
                        add(w, QStringLiteral("cell"), model.index(r, c).data().toString());
        }
        if (auto* cv = qobject_cast<const QChartView*>(w)) {
            const QChart* chart = cv->chart();
            add(w, QStringLiteral("chart"), chart->title());
            for (const QAbstractAxis* a : chart->axes()) {
                add(w, QStringLiteral("axis"), a->titleText());
                if (auto* cat = qobject_cast<QCategoryAxis*>(const_cast<QAbstractAxis*>(a)))
                    for (const QString& label : cat->categoriesLabels()) add(w, QStringLiteral("mark"), label);
            }
            for (const QAbstractSeries* s : chart->series()) add(w, QStringLiteral("series"), s->name());
            for (const QGraphicsItem* item : cv->scene()->items()) {
                if (auto* st = dynamic_cast<const QGraphicsSimpleTextItem*>(item))
                    add(w, QStringLiteral("drawn"), st->text());
                if (auto* tt = dynamic_cast<const QGraphicsTextItem*>(item))
                    add(w, QStringLiteral("drawn"), tt->toPlainText());
            }
        }
    }
    return out;
}

// The texts among `texts` with a Cyrillic letter once the data file's own texts (its
// title and the names of the causes) are taken out, one a line.
std::string Russian(QStringList texts, const rel::AnalysisState& st) {
    QStringList data{QString::fromStdString(st.DataTitle)};
    for (const rel::Vid_otkaza& v : st.ArrVidFile) data << QString::fromStdString(v.Nazv_Prich);
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    QStringList left;
    for (QString t : texts) {
        const QString shown = t;
        for (const QString& d : data)
            if (!d.trimmed().isEmpty()) t.remove(d.trimmed());
        if (t.contains(cyrillic)) left << shown;
    }
    return left.join(QLatin1Char('\n')).toStdString();
}

class EnglishInterface : public ::testing::Test {
protected:
    void SetUp() override {
        InstallLanguage(*qApp, kLanguageEnglish);
        ASSERT_EQ(CurrentLanguage(), kLanguageEnglish) << "relan_en.qm is not in the program's resources";
    }
    void TearDown() override { InstallLanguage(*qApp, kLanguageRussian); }
};

TEST_F(EnglishInterface, MainWindowLogLogViewAndResultsWindowShowNoRussianText) {
    Window w;
    TForm1& f = *w.form;
    TForm5 form5(&f, w.dialogs);
    f.SetResultsWindow(&form5);
    f.Runs().Clock.evaluationsPerSecond = 4000;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Field reliability analysis. — relan, version %1").arg(kVersion));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));

    // Before a file: the empty window.
    EXPECT_EQ(Russian(ShownTexts(f), f.State()), "");
    EXPECT_EQ(Ctl<QPushButton>(f, "bbRaschet")->text(), QStringLiteral("Calculation"));
    const QString shown = ShownTexts(f).join(QLatin1Char('\n'));
    for (const char* entry : {"menu bar: File", "menu entry: Open data…", "menu entry: Show results"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(entry))) << entry;

    // The core's message about a file that is not there, in English.
    const QString missing = QStringLiteral("/nonexistent-%1/fleet.txt").arg(getpid());
    f.OpenDataFile(missing);
    ASSERT_EQ(w.dialogs.errors.size(), 1);
    EXPECT_EQ(Russian(w.dialogs.errors, f.State()), "") << w.dialogs.errors.front().toStdString();
    EXPECT_TRUE(w.dialogs.errors.front().contains(QStringLiteral("does not exist")))
        << w.dialogs.errors.front().toStdString();

    f.OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt"));
    ASSERT_TRUE(f.State().FileLoaded);
    // The built-in cause of the rejects in the list, the causes the file names as written.
    const QAbstractItemModel& list = *Ctl<QAbstractItemView>(f, "Problems_Grid")->model();
    EXPECT_EQ(list.index(0, 2).data().toString(), QStringLiteral("Rejects"));
    // The fleet's own texts are Russian: the check must see them to take them out.
    ASSERT_FALSE(Russian({QString::fromStdString(f.State().DataTitle)}, rel::AnalysisState()).empty());
    for (const char* box : {"SpirSpusk", "BoxNewton", "BoxSmirnow", "BoxML"})
        Ctl<QCheckBox>(f, box)->setChecked(true);
    f.bbRaschetClick();
    f.Runs().WaitForEnd();
    ASSERT_TRUE(form5.isVisible());

    EXPECT_EQ(Russian(ShownTexts(f), f.State()), "");
    const QStringList results = ShownTexts(form5);
    EXPECT_EQ(Russian(results, f.State()), "");
    // The core's words came in English: the table's labels, model 3's block, the legend.
    for (const char* want :
         {"cell: Weibull distr. (A, B as in Excel)", "cell: Kolmogorov criterion", "column: Max. likelihood",
          "label: Shape A", "drawn: Leaving warranty", "drawn: Rejects 9 times"})
        EXPECT_TRUE(results.filter(QString::fromUtf8(want)).size() > 0) << want;

    // The log-log view of the main window, expanded.
    f.Button2Click();
    ASSERT_NE(f.ExpandedView(), nullptr);
    EXPECT_EQ(Russian(ShownTexts(*f.ExpandedView()), f.State()), "");
    delete f.ExpandedView();
}

TEST_F(EnglishInterface, CoreMessagesAboutFilesAndSettingsReadInEnglish) {
    Window w;
    TForm1& f = *w.form;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Data files the reader refuses, each for its own reason.
    const std::string cp1251Engine = "\xC4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFC";
    const std::pair<const char*, std::string> files[] = {
        {"empty", ""},
        {"letters", "Fleet\nabc\n550\n420\n3\n1\n"},
        {"negative", "Fleet\n-5\n550\n420\n3\n1\n"},
        {"short", "Fleet\n2500\n550\n"},
        {"nofailures", "Fleet\n2500\n550\n420\n3\n1\nEngine\n"},
        {"badbyte", "Парк\n2500\n550\n420\n3\n1\nДвигатель\n100\tДвигатель стартера \xFF * x\n"},
        {"mixed",
         "Парк\n2500\n550\n420\n3\n1\nДвигатель\n100\t" + cp1251Engine + " * x\n200\t" + cp1251Engine + "\n"},
        {"utf16cut", std::string("\xFF\xFE"
                                 "F\0l\0"
                                 "x",
                                 7)},
        {"nul", std::string("Fleet\n2500\n550\n4\0 20\n3\n1\n", 25)},
        {"lonecr", "Fleet\n2500\r550\n420\n3\n1\n"},
    };
    for (const auto& [name, body] : files) {
        const QString path = dir.filePath(QStringLiteral("%1-%2.txt").arg(QLatin1String(name)).arg(getpid()));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(body.data(), static_cast<qint64>(body.size()));
        out.close();
        f.OpenDataFile(path);
    }
    f.OpenDataFile(dir.path());  // a folder
    // A loop of symbolic links, a name too long for the system.
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("loop-b")), dir.filePath(QStringLiteral("loop-a"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("loop-a")), dir.filePath(QStringLiteral("loop-b"))));
    f.OpenDataFile(dir.filePath(QStringLiteral("loop-a")));
    f.OpenDataFile(dir.filePath(QString(300, QLatin1Char('n'))));
    // The optimiser's settings it cannot run with.
    f.OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt"));
    ASSERT_TRUE(f.State().FileLoaded);
    const std::pair<const char*, const char*> settings[] = {
        {"1", "100"}, {"abc", "100"}, {"20", "x"}, {"20", "0"}};
    for (const auto& [population, generations] : settings) {
        Ctl<QLineEdit>(f, "Edit3")->setText(QString::fromUtf8(population));
        Ctl<QLineEdit>(f, "NPokoleny")->setText(QString::fromUtf8(generations));
        f.ToolBRunGenOptimClick();
        ASSERT_FALSE(f.GenRunning());
    }
    const QStringList said = w.dialogs.errors + w.dialogs.messages;
    EXPECT_GE(said.size(), 10) << said.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Russian(said, rel::AnalysisState()), "");
}

TEST_F(EnglishInterface, GeneticAlgorithmLogsAndShowsItsResultsInEnglish) {
    Window w;
    TForm1& f = *w.form;
    TForm5 form5(&f, w.dialogs);
    f.SetResultsWindow(&form5);
    f.OpenDataFile(QStringLiteral(RELAN_EXAMPLES "/demo-fleet.txt"));
    ASSERT_TRUE(f.State().FileLoaded);
    rel::GenOptions o;
    o.seed = 20240611;
    o.reseedEachEvaluation = false;
    f.SetGenOptions(o);
    Ctl<QLineEdit>(f, "Edit3")->setText(QStringLiteral("20"));
    Ctl<QLineEdit>(f, "NPokoleny")->setText(QStringLiteral("30"));
    f.ToolBRunGenOptimClick();
    ASSERT_TRUE(f.GenRunning());
    f.Runs().WaitForEnd();
    ASSERT_FALSE(f.GenRunning());
    EXPECT_EQ(w.dialogs.errors.join(QLatin1Char('\n')).toStdString(), "");
    const QString log = Ctl<QPlainTextEdit>(f, "Memo2")->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("Genes created: "))) << log.toStdString();
    EXPECT_EQ(Russian(ShownTexts(f), f.State()), "");
    EXPECT_EQ(Russian(ShownTexts(form5), f.State()), "");
}

}  // namespace
}  // namespace relan::test
