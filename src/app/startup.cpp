#include "startup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "frontend/exit_codes.h"
#include "dialogs.h"
#include "stats/distrib.h"
#include "captions.h"
#include "language.h"

namespace relan {

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationVersion(QLatin1String(kVersion));
    // The written language; main() installs another one the user chose.
    InstallLanguage(app, kLanguageRussian);

    // A font with Cyrillic letters: the system's own where it has one, else DejaVu Sans.
    QFont f = QApplication::font();
    const QStringList families = QFontDatabase::families(QFontDatabase::Cyrillic);
    for (const QString& want : {QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans")}) {
        if (families.contains(want)) {
            f.setFamily(want);
            break;
        }
    }
    if (f.pointSizeF() > 0 && f.pointSizeF() > 10.0) f.setPointSizeF(9.0);
    QApplication::setFont(f);
}

namespace {

// The dialogs of the fatal error box; the core calls a plain function.
Dialogs* gFatalDialogs = nullptr;
// The fatal error was met on a worker thread; the window's thread shows its box.
std::atomic<bool> gFatalPending{false};

// The core's text of the box, marked for translation here (the core has no toolkit).
[[maybe_unused]] constexpr const char* kReversedIntervalMark =
    QT_TRANSLATE_NOOP("relan::Startup", "Параметры должны быть t2>t1");

void ShowReversedInterval() {
    const QString caption = QString::fromUtf8(rel::kReversedIntervalCaption);
    const QString text = QCoreApplication::translate("relan::Startup", rel::kReversedIntervalText);
    if (gFatalDialogs)
        gFatalDialogs->Error(nullptr, caption, text);
    else
        QMessageBox::critical(nullptr, caption, text);
}

void OnReversedInterval(double, double) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        // Raised on a run's worker thread: the window's thread shows the box and
        // ends the program, as soon as it serves its events or waits for the run.
        gFatalPending = true;
        QMetaObject::invokeMethod(app, &ServePendingFatal, Qt::QueuedConnection);
        for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
    if (app) ShowReversedInterval();
    // The analysis cannot go on from here: the program ends at once.
    std::_Exit(relcli::kExitInternal);
}

}  // namespace

void ServePendingFatal() {
    if (!gFatalPending.exchange(false)) return;
    ShowReversedInterval();
    std::_Exit(relcli::kExitInternal);
}

void InstallReversedIntervalHandler(Dialogs* dialogs) {
    gFatalDialogs = dialogs;
    rel::SetReversedIntervalHandler(&OnReversedInterval);
}

}  // namespace relan
