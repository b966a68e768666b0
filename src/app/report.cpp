#include "report.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <optional>

#include "analysis/run.h"
#include "frontend/analysis_options.h"
#include "core_words.h"
#include "language.h"
#include "dialogs.h"
#include "file_output.h"
#include "form1.h"
#include "form5.h"
#include "numbers.h"
#include "printing.h"
#include "report_header.h"
#include "text/format.h"
#include "results/out_results.h"
#include "startup.h"
#include "stats/criteria.h"
#include "text/text.h"

namespace relan {

namespace {

void Out(const QString& s) {
    std::fputs(s.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Err(const QString& s) {
    std::fputs(s.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// No one to ask without a window: every message goes to standard error and every
// question is answered "no".
class StderrDialogs : public Dialogs {
public:
    void Message(QWidget*, const QString& text) override { Err(text); }
    void Error(QWidget*, const QString& caption, const QString& text) override { Err(caption + ": " + text); }
    bool Ask(QWidget*, const QString&, const QString& text) override {
        Err(text);
        return false;
    }
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
};

// What the page's header line says of this report: the files and the settings the
// plan ran with.
ReportSettings SettingsOf(const rel::FitPlan& plan, const rel::FitRequest& request,
                          const rel::ResultsContent& content) {
    ReportSettings s;
    s.dataFile = Q(request.data);
    s.warrantyFile = Q(request.warranty);
    s.agesFile = Q(request.ages);
    for (const rel::FitMethod* m : rel::MethodTable::Standard().InRunOrder())
        if (plan.Has(m->id)) s.models << Q(m->id);
    // The deviation form is a setting of the Pearson criterion (models 1.1 and 1.2).
    if (plan.Has("1.1") || plan.Has("1.2")) s.item = plan.item;
    s.burnIn = content.WriteBack.TPrirab;
    s.fitSred = plan.fitSred;
    s.fitSKO = plan.fitSKO;
    s.virtualClock = plan.virtualClock;
    if (plan.genTexts.seed) s.seed = *plan.genTexts.seed;
    if (plan.Has("3")) s.bootstrap = plan.bootstrap;
    return s;
}

}  // namespace

bool IsReportCall(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--report") == 0 || std::strncmp(argv[i], "--report=", 9) == 0) return true;
    }
    return false;
}

QString UsageText() {
    return QCoreApplication::translate(
        "Usage",
        "Анализ отказов изделий в гарантийной эксплуатации.\n"
        "\n"
        "Использование:\n"
        "  relan [ФАЙЛ]         открыть окно программы; ФАЙЛ - файл данных об отказах\n"
        "  relan --lang en|ru [ФАЙЛ]\n"
        "                       окно на английском или на русском языке\n"
        "  relan --report ОТЧЕТ ДАННЫЕ [параметры]\n"
        "                       расчет без окна; окно результатов записывается в ОТЧЕТ:\n"
        "                       PDF, SVG или PNG по расширению файла (.pdf, .svg, .png);\n"
        "                       параметры - как у relan-cli fit (relan --report ОТЧЕТ --help)\n"
        "  relan --help         эта справка\n"
        "  relan --version      версия программы\n"
        "\n"
        "Коды завершения: 0 - готово, 1 - неверный параметр, 2 - файл данных не загружен,\n"
        "3 - расчет остановлен, 4 - файл отчета не записан, 5 - внутренняя ошибка.\n");
}

bool IsHelpCall(int argc, char** argv) {
    return argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
}

int RunReport(QApplication& app, int argc, char** argv) {
    SetUpApplication(app);
    // The page's language: --lang en gives it in English; without the option it is the
    // written Russian page, whatever the system's locale.
    {
        QStringList given;
        for (int i = 0; i < argc; ++i) given << QString::fromLocal8Bit(argv[i]);
        InstallLanguage(app, ResolveLanguage(given, QString(), QLocale(QLocale::Russian)));
    }
    const bool english = CurrentLanguage() == kLanguageEnglish;
    // Texts of the core (progress lines, messages) in the page's language; the
    // Russian lines as the core writes them.
    auto core = [english](const std::string& s) {
        const QString line = QString::fromStdString(s);
        return english ? TranslatedCoreText(ShownProgressLine(line)) : line;
    };
    StderrDialogs dialogs;
    InstallReversedIntervalHandler(&dialogs);
    const char sep = DecimalSep();

    // The options of relan-cli fit (without the optimiser's), from the arguments the
    // toolkit has left.
    CLI::App cl{
        "Расчет без окна: загружает файл данных, подбирает выбранные модели и записывает окно "
        "результатов (заголовок, таблицу и три графика) в файл PDF, SVG или PNG.",
        "relan"};
    cl.set_help_flag("-h,--help", "показать эту справку и выйти");
    std::string out;
    cl.add_option("--report", out, "файл отчета: PDF, SVG или PNG (по расширению)")->required();
    relcli::AnalysisOptions options(cl, false, english ? relcli::HelpLang::English : relcli::HelpLang::Russian);
    std::string langText;
    cl.add_option("--lang", langText,
                  english ? "language of the page and the messages: ru (the default) or en"
                          : "язык отчета и сообщений: ru (по умолчанию) или en");

    const QString usage = QStringLiteral(
        "relan --report OUT.pdf|OUT.svg|OUT.png DATA [--warranty GAR] [--models 1.1,1.2,2,3] [--fit-sred] "
        "[--fit-sko] "
        "[--burn-in T] [--item N] [--step-coef-1.1 X] [--step-coef-1.2 X] [--step-coef-2 X] "
        "[--virtual-clock N] [--bootstrap N] [--seed S]");
    auto refuse = [&](const QString& why) {
        Err(QStringLiteral("relan --report: ") + why);
        Err(QStringLiteral("Использование: ") + usage);
        return kReportUsage;
    };

    // The arguments as the system gave them: a file name is used byte for byte,
    // whether or not it is UTF-8 (the toolkit's own list has lost what is not).
    std::vector<std::string> args(argv, argv + argc);
    std::vector<char*> raw;
    for (std::string& a : args) raw.push_back(a.data());
    try {
        cl.parse(static_cast<int>(raw.size()), raw.data());
    } catch (const CLI::CallForHelp&) {
        Out(Q(cl.help()));
        return kReportOk;
    } catch (const CLI::ParseError& e) {
        return refuse(
            Q(relcli::ParseErrorText(e, english ? relcli::HelpLang::English : relcli::HelpLang::Russian)));
    }
    if (langText != "" && langText != "ru" && langText != "en")
        return refuse(QStringLiteral("--lang: «%1» — ").arg(Q(rel::Excerpt(langText))) +
                      QCoreApplication::translate("Report", "допустимы языки ru и en"));
    if (out.empty()) return refuse(QStringLiteral("не указан файл отчета после --report"));
    rel::FitRequest request = options.Request();
    request.decimalComma = sep == ',';
    const rel::CheckedRequest checked = rel::CheckFitRequest(request, false);
    if (!checked.plan) return refuse(Q(checked.error.message));
    const rel::FitPlan plan = *checked.plan;
    const QString outFile = FileNameFromBytes(QByteArray::fromStdString(out));
    if (IsFolder(outFile)) return refuse(QStringLiteral("«%1» - папка, а не файл").arg(ShownFileName(outFile)));
    if (ReportFormatOf(outFile) == ReportFormat::Unknown)
        return refuse(QCoreApplication::translate(
                          "Report", "неизвестный формат файла отчета «%1»: укажите файл .pdf, .svg или .png")
                          .arg(ShownFileName(outFile)));

    // 1. The data file, then the warranty file, as "Путь" and "File" load them.
    rel::AnalysisState st;
    const rel::LoadedInputs in = rel::LoadInputs(st, plan.data, plan.warranty, sep, plan.badRows, plan.ages);
    if (!in.data.ok) {
        Err(QStringLiteral("%1: %2").arg(Q(request.data), core(in.data.error)));
        return kReportInput;
    }
    const QString warning = QCoreApplication::translate("Report", "Предупреждение: ");
    if (in.data.ok && !in.data.BadRows.empty())
        Err(warning + core(rel::BadRowsSummary(in.data.BadRows, in.data.GoodRows, plan.data)));
    for (const std::string& w : in.data.Warnings) Err(warning + core(w));
    if (!in.error.empty()) {
        Err(QStringLiteral("%1: %2").arg(Q(request.warranty), core(in.warranty.error)));
        return kReportInput;
    }
    // Model 2's cost grows with the failures: the clock's rate is checked against them.
    if (const auto bad = rel::CheckClockForFailures(plan, st.ArrProblems.size())) return refuse(Q(bad->message));

    // 2.-3. The run with the window's settings after the loads, its memo lines as
    // they come.
    Out(QCoreApplication::translate("Report", "Ход решения"));
    const rel::AnalysisResult analysis = rel::Analyse(
        std::move(st), plan, in, [&core](const std::string& line) { Out(core(line)); }, CurrentResultsWords());
    const rel::AnalysisRun& run = analysis.run;
    if (!run.calc.ok) {
        Err(QStringLiteral("%1: %2").arg(Q(request.data), core(run.error)));
        return kReportRun;
    }

    // 4. The results output, drawn in a results window that is never shown on a
    // screen, and written to the PDF.
    const rel::ResultsContent& content = *run.results;
    for (const std::string& note : content.Messages) Out(core(note));
    // The window at its designed width and as high as the printable part of the
    // page is in proportion, so that the page is filled.
    TForm5 form5(nullptr, dialogs);
    form5.setAttribute(Qt::WA_DontShowOnScreen);
    const QSizeF page = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    const double ratio = (page.width() - 2 * kReportMarginMm) / (page.height() - 2 * kReportMarginMm);
    form5.resize(kForm5DesignWidth, static_cast<int>(std::lround(kForm5DesignWidth * ratio)));
    form5.Fill(content);
    form5.SetReportSettings(SettingsOf(plan, request, content));
    form5.show();
    QApplication::processEvents();
    QApplication::processEvents();
    QString why;
    const bool written = form5.WriteReport(outFile, why);
    form5.hide();
    if (!written) {
        Err(why);
        return kReportWrite;
    }
    Out(QCoreApplication::translate("Report", "Отчет записан: ") + ShownFileName(outFile));
    return kReportOk;
}

}  // namespace relan
