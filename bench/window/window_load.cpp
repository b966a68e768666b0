// The main window's load of a large data file, as its user feels it: the file is read
// on a worker thread while the window serves its events. Loads FILE through the window
// (offscreen) with a 1 ms timer running, and prints the load's wall time and the
// longest gap between two timer events during it (how long the window could not
// answer).
//
//   window-load FILE [REPEATS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "dialogs.h"
#include "form1.h"
#include "settings.h"

namespace {

// Messages are printed, questions answered "Да": nothing waits on a modal box.
class PrintedDialogs : public relan::Dialogs {
public:
    void Message(QWidget*, const QString& text) override { std::printf("message: %s\n", qPrintable(text)); }
    void Error(QWidget*, const QString&, const QString& text) override {
        std::printf("error: %s\n", qPrintable(text));
    }
    bool Ask(QWidget*, const QString&, const QString&) override { return true; }
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-load FILE [REPEATS]\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir dir;
    PrintedDialogs dialogs;
    relan::AppEnv env;
    env.ExeDir = dir.path() + QLatin1Char('/');
    env.SettingsFile = env.ExeDir + QStringLiteral("rel.txt");
    env.dialogs = &dialogs;
    relan::TForm1 form(env);
    for (int r = 0; r < repeats; ++r) {
        QElapsedTimer clock, sinceTick;
        qint64 longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
        tick.start(1);
        clock.start();
        sinceTick.start();
        const bool ok = form.OpenDataFile(file);
        const qint64 wall = clock.elapsed();
        longest = std::max(longest, sinceTick.elapsed());
        tick.stop();
        std::printf("load %s: %lld ms, longest wait for an event %lld ms\n", ok ? "done" : "refused",
                    static_cast<long long>(wall), static_cast<long long>(longest));
    }
    return 0;
}
