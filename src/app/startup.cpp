#include "startup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QThread>
#include <QTranslator>
#include <cstdlib>

#include "dialogs.h"
#include "stats/distrib.h"
#include "captions.h"

namespace relan {

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(AppTitle());
    QApplication::setApplicationVersion(QLatin1String(kVersion));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    else
        delete qtTexts;

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

void ShowReversedInterval() {
    const QString caption = QString::fromUtf8(rel::kReversedIntervalCaption);
    const QString text = QString::fromUtf8(rel::kReversedIntervalText);
    if (gFatalDialogs)
        gFatalDialogs->Error(nullptr, caption, text);
    else
        QMessageBox::critical(nullptr, caption, text);
}

void OnReversedInterval(double, double) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        ShowReversedInterval();
    } else if (app) {
        // Raised in the optimiser's thread: the box is shown by the window's thread
        // while this one waits.
        QMetaObject::invokeMethod(app, &ShowReversedInterval, Qt::BlockingQueuedConnection);
    }
    // The analysis cannot go on from here: the program ends at once.
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

void InstallReversedIntervalHandler(Dialogs* dialogs) {
    gFatalDialogs = dialogs;
    rel::SetReversedIntervalHandler(&OnReversedInterval);
}

}  // namespace relan
