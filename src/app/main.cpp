// relan: the window program of the failure analysis.
#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "dialogs.h"
#include "form1.h"
#include "form5.h"
#include "language.h"
#include "report.h"
#include "sanitizer_defaults.h"
#include "startup.h"
#include "version.h"

int main(int argc, char** argv) {
    // "relan --version": printed without a window or a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("relan %s\n", rel::kVersion);
        return 0;
    }
    if (relan::IsHelpCall(argc, argv)) {
        std::fputs(relan::UsageText().toUtf8().constData(), stdout);
        return 0;
    }
    // "relan --report OUT.pdf DATA ...": no window is shown, so no display is
    // needed either.
    const bool report = relan::IsReportCall(argc, argv);
    if (report && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (report) return relan::RunReport(app);
    relan::SetUpApplication(app);
    relan::QtDialogs dialogs;
    relan::InstallReversedIntervalHandler(&dialogs);
    const relan::AppEnv env = relan::AppEnv::ForExecutable(&dialogs);
    // The language: "--lang", else the settings file's choice, else the system's locale.
    relan::InstallLanguage(
        app, relan::ResolveLanguage(QApplication::arguments(),
                                    relan::ReadLanguageSetting(env.SettingsFile, env.SettingsFallback),
                                    QLocale::system()));
    relan::TForm1 form1(env);
    relan::TForm5 form5(&form1, dialogs);
    form1.SetResultsWindow(&form5);
    QObject::connect(&form1, &relan::TForm1::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    form1.show();

    // "relan FILE": the file is loaded as if chosen with "Путь".
    const QStringList args = relan::WithoutLanguageOption(QApplication::arguments());
    if (args.size() > 1) {
        const QString file = args.at(1);
        QTimer::singleShot(0, &form1, [&form1, file] { form1.OpenDataFile(file); });
    }
    return app.exec();
}
