#include "report.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <optional>

#include "data/failure_file.h"
#include "data/warranty_file.h"
#include "dialogs.h"
#include "fit/calc_run.h"
#include "form1.h"
#include "form5.h"
#include "numbers.h"
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

// A number given on the command line: the point or the comma as decimal separator.
std::optional<double> OptionNumber(QString text) {
    text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

// A coefficient text as the window's box would hold it: with the window's decimal
// separator, whichever one the command line used.
std::string BoxText(QString text, char sep) {
    text = text.trimmed();
    text.replace(QLatin1Char(sep == ',' ? '.' : ','), QLatin1Char(sep));
    return text.toStdString();
}

// "1.1,1.2,2" into the three check boxes; false on an unknown model.
bool ParseModels(const QString& list, rel::RunParams& p, QString& bad) {
    p.SpirSpusk = p.BoxNewton = p.BoxSmirnow = false;
    for (const QString& part : list.split(QLatin1Char(','))) {
        const QString m = part.trimmed();
        if (m == QLatin1String("1.1"))
            p.SpirSpusk = true;
        else if (m == QLatin1String("1.2"))
            p.BoxNewton = true;
        else if (m == QLatin1String("2"))
            p.BoxSmirnow = true;
        else if (!m.isEmpty()) {
            bad = m;
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsReportCall(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--report") == 0 || std::strncmp(argv[i], "--report=", 9) == 0) return true;
    }
    return false;
}

int RunReport(QApplication& app) {
    SetUpApplication(app);
    StderrDialogs dialogs;
    InstallReversedIntervalHandler(&dialogs);
    const char sep = DecimalSep();

    QCommandLineParser cl;
    cl.setApplicationDescription(QStringLiteral(
        "Расчет без окна: загружает файл данных, подбирает выбранные модели и записывает окно "
        "результатов (заголовок, таблицу и три графика) в файл PDF."));
    cl.addHelpOption();
    const QCommandLineOption report(QStringLiteral("report"), QStringLiteral("PDF-файл отчета"), QStringLiteral("OUT.pdf"));
    const QCommandLineOption warranty(QStringLiteral("warranty"),
                                      QStringLiteral("файл времен окончания гарантии, загружается после файла данных"),
                                      QStringLiteral("GAR"));
    const QCommandLineOption models(QStringLiteral("models"), QStringLiteral("модели: 1.1, 1.2, 2 через запятую"),
                                    QStringLiteral("LIST"), QStringLiteral("1.1"));
    const QCommandLineOption fitSred(QStringLiteral("fit-sred"), QStringLiteral("подбор среднего времени гарантии"));
    const QCommandLineOption fitSko(QStringLiteral("fit-sko"), QStringLiteral("подбор СКО времени гарантии"));
    const QCommandLineOption burnIn(QStringLiteral("burn-in"), QStringLiteral("время приработки, ч"),
                                    QStringLiteral("T"), QStringLiteral("300"));
    const QCommandLineOption item(QStringLiteral("item"),
                                  QStringLiteral("способ подбора параметров: 0, 1 (стандарт) или 2"),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption coef11(QStringLiteral("step-coef-1.1"),
                                    QStringLiteral("коэффициент уменьшения шага модели 1.1"), QStringLiteral("X"));
    const QCommandLineOption coef12(QStringLiteral("step-coef-1.2"),
                                    QStringLiteral("коэффициент уменьшения шага модели 1.2"), QStringLiteral("X"));
    const QCommandLineOption coef2(QStringLiteral("step-coef-2"),
                                   QStringLiteral("коэффициент уменьшения шага модели 2"), QStringLiteral("X"));
    const QCommandLineOption virtualClock(
        QStringLiteral("virtual-clock"),
        QStringLiteral("время подбора = число вычислений критерия / N: повторяемый результат"), QStringLiteral("N"));
    cl.addOptions({report, warranty, models, fitSred, fitSko, burnIn, item, coef11, coef12, coef2, virtualClock});
    cl.addPositionalArgument(QStringLiteral("DATA"), QStringLiteral("файл исходных данных"));

    const QString usage = QStringLiteral(
        "relan --report OUT.pdf DATA [--warranty GAR] [--models 1.1,1.2,2] [--fit-sred] [--fit-sko] "
        "[--burn-in T] [--item N] [--step-coef-1.1 X] [--step-coef-1.2 X] [--step-coef-2 X] "
        "[--virtual-clock N]");
    auto refuse = [&](const QString& why) {
        Err(QStringLiteral("relan --report: ") + why);
        Err(QStringLiteral("Использование: ") + usage);
        return kReportUsage;
    };

    if (!cl.parse(QApplication::arguments())) return refuse(cl.errorText());
    if (cl.isSet(QStringLiteral("help"))) {
        Out(cl.helpText());
        return kReportOk;
    }
    const QString out = cl.value(report);
    if (out.isEmpty()) return refuse(QStringLiteral("не указан файл отчета после --report"));
    const QStringList positional = cl.positionalArguments();
    if (positional.isEmpty()) return refuse(QStringLiteral("не указан файл исходных данных"));
    if (positional.size() > 1)
        return refuse(QStringLiteral("лишние аргументы: ") + positional.mid(1).join(QLatin1Char(' ')));
    const QString data = positional.front();

    rel::RunParams p;
    QString bad;
    if (!ParseModels(cl.value(models), p, bad))
        return refuse(QStringLiteral("неизвестная модель в --models: \"%1\" (допустимы 1.1, 1.2, 2)").arg(bad));
    const std::optional<double> burn = OptionNumber(cl.value(burnIn));
    if (!burn) return refuse(QStringLiteral("--burn-in: \"%1\" не является числом").arg(cl.value(burnIn)));
    bool itemOk = false;
    const int itemValue = cl.value(item).trimmed().toInt(&itemOk);
    if (!itemOk || itemValue < 0 || itemValue > 2)
        return refuse(QStringLiteral("--item: \"%1\" (допустимы 0, 1, 2)").arg(cl.value(item)));
    if (cl.isSet(virtualClock)) {
        bool ok = false;
        const qlonglong n = cl.value(virtualClock).trimmed().toLongLong(&ok);
        if (!ok || n <= 0)
            return refuse(QStringLiteral("--virtual-clock: \"%1\" не является положительным целым числом")
                              .arg(cl.value(virtualClock)));
        p.clock.evaluationsPerSecond = n;
    }
    if (QFileInfo(out).isDir()) return refuse(QStringLiteral("«%1» - папка, а не файл").arg(out));

    // 1. The data file, then the warranty file, as "Путь" and "File" load them.
    rel::AnalysisState st;
    const rel::LoadResult load = rel::LoadFailureFile(st, NativePath(data), sep);
    for (const std::string& m : load.Messages) Err(Q(m));
    if (!load.ok) {
        Err(QStringLiteral("%1: %2").arg(data, Q(load.error)));
        return kReportInput;
    }
    for (const std::string& w : load.Warnings) Err(QStringLiteral("Предупреждение: ") + Q(w));
    std::string sredText = load.view.meSred, skoText = load.view.meSKO;
    if (cl.isSet(warranty)) {
        const QString gar = cl.value(warranty);
        const rel::WarrantyResult w = rel::LoadWarrantyFile(st, NativePath(gar), sep);
        if (!w.ok) {
            Err(QStringLiteral("%1: %2").arg(gar, Q(w.error)));
            return kReportInput;
        }
        sredText = w.meSred;
        skoText = w.meSKO;
    }

    // 2. The run's parameters as the window holds them after the loads: the run
    // takes the warranty figures at the precision of the texts the window shows.
    p.SredGar = rel::ParseLocaleNumber(sredText, sep).value_or(st.SredGar);
    p.SKOGar = rel::ParseLocaleNumber(skoText, sep).value_or(st.SKOGar);
    p.PeriodUchet = rel::ParseLocaleNumber(load.view.LabeledEdit2, sep).value_or(p.SredGar);
    p.TPrirab = *burn;
    p.FitSred = cl.isSet(fitSred);
    p.FitSKO = cl.isSet(fitSko);
    p.Edit1 = cl.isSet(coef11) ? BoxText(cl.value(coef11), sep) : load.view.Edit1;
    p.Edit6 = cl.isSet(coef12) ? BoxText(cl.value(coef12), sep) : load.view.Edit6;
    p.Edit5 = cl.isSet(coef2) ? BoxText(cl.value(coef2), sep) : load.view.Edit5;
    p.item = itemValue;
    p.decimalSep = sep;

    // 3. The run, its memo lines as they come.
    Out(QStringLiteral("Ход решения"));
    const rel::RunResult r = rel::CalculationRun(st, p, [](const std::string& line) { Out(Q(line)); });
    if (!r.ok) {
        Err(Q(r.error));
        return kReportRun;
    }

    // 4. The results output, drawn in a results window that is never shown on a
    // screen, and written to the PDF.
    const rel::ResultsContent content = rel::OutResults(st, rel::FormatGeneral(*burn, sep), sep);
    for (const std::string& note : content.Messages) Out(Q(note));
    // The window at its designed width and as high as the printable part of the
    // page is in proportion, so that the page is filled.
    TForm5 form5(nullptr, dialogs);
    form5.setAttribute(Qt::WA_DontShowOnScreen);
    const QSizeF page = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    const double ratio = (page.width() - 2 * kReportMarginMm) / (page.height() - 2 * kReportMarginMm);
    form5.resize(kForm5DesignWidth, static_cast<int>(std::lround(kForm5DesignWidth * ratio)));
    form5.Fill(content);
    form5.show();
    QApplication::processEvents();
    QApplication::processEvents();
    QString why;
    const bool written = form5.WriteReportPdf(out, why);
    form5.hide();
    if (!written) {
        Err(why);
        return kReportWrite;
    }
    Out(QStringLiteral("Отчет записан: ") + out);
    return kReportOk;
}

}  // namespace relan
