// relan: the window program of the failure analysis.
#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "frontend/standard_output.h"
#include "dialogs.h"
#include "file_output.h"
#include "form1.h"
#include "form5.h"
#include "language.h"
#include "report.h"
#include "sanitizer_defaults.h"
#include "startup.h"
#include "version.h"

int main(int argc, char** argv) {
    // No file the program opens may take the place of a closed standard stream.
    relcli::GuardStandardStreams();
    // "relan --version": printed without a window or a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("relan %s\n", rel::kVersion);
        return relcli::FinishStandardOutput(0, "relan");
    }
    if (relan::IsHelpCall(argc, argv)) {
        std::fputs(relan::UsageText().toUtf8().constData(), stdout);
        return relcli::FinishStandardOutput(0, "relan");
    }
    // "relan --report OUT.pdf DATA ...": no window is shown, so no display is
    // needed either.
    const bool report = relan::IsReportCall(argc, argv);
    if (report && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The report's progress lines on standard output are checked like its file.
    if (report) return relcli::FinishStandardOutput(relan::RunReport(app, argc, argv), "relan --report");
    relan::SetUpApplication(app);
    relan::QtDialogs dialogs;
    relan::InstallReversedIntervalHandler(&dialogs);
    relan::AppEnv env = relan::AppEnv::ForExecutable(&dialogs);
    // The settings file is read once, here, for the language and the windows.
    relan::PathSettings settings(env.SettingsFile, env.SettingsFallback);
    env.settings = &settings;
    // The language: "--lang", else the settings file's choice, else the system's locale.
    relan::InstallLanguage(
        app, relan::ResolveLanguage(QApplication::arguments(), settings.ReadLanguage(), QLocale::system()));
    relan::TForm1 form1(env);
    relan::TForm5 form5(&form1, dialogs);
    form1.SetResultsWindow(&form5);
    QObject::connect(&form1, &relan::TForm1::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    form1.show();

    // "relan FILE": the file is loaded as if chosen with "Путь".
    // Its name as the system gave it: the toolkit's list of arguments loses the bytes
    // of a name that are not UTF-8.
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw << relan::FileNameFromBytes(QByteArray(argv[i]));
    const QStringList args = relan::WithoutLanguageOption(raw);
    if (args.size() > 1) {
        const QString file = args.at(1);
        QTimer::singleShot(0, &form1, [&form1, file] { form1.OpenDataFile(file); });
    }
    return app.exec();
}
