// Start-up: Russian locale and toolkit texts, and the one fatal error.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

#include "frontend/exit_codes.h"
#include "fake_dialogs.h"
#include "startup.h"
#include "stats/distrib.h"
#include "captions.h"
#include "frontend/exit_codes.h"

namespace relan::test {
namespace {

TEST(StartUp, TitleLocaleAndToolkitTextsAreRussian) {
    SetUpApplication(*qApp);
    EXPECT_EQ(QCoreApplication::applicationName(), AppTitle());
    EXPECT_TRUE(AppTitle().startsWith(QStringLiteral("Анализ надежности")));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    EXPECT_EQ(QLocale().toString(2500.5, 'g', 15), QStringLiteral("2\u00a0500,5"));
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm");
    if (!QFile::exists(qm)) GTEST_SKIP() << "qtbase_ru.qm is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
}

// Shows the fatal box on the error stream, where the parent test can see it.
class StderrDialogs : public FakeDialogs {
public:
    void Error(QWidget*, const QString& caption, const QString& text) override {
        std::fprintf(stderr, "box: %s|%s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        std::fflush(stderr);
    }
};

TEST(StartUpDeathTest, ReversedIntervalShowsItsBoxAndEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static StderrDialogs dialogs;
            InstallReversedIntervalHandler(&dialogs);
            rel::WeibInterval(1.5, 1000.0, 200.0, 100.0);
            std::fprintf(stderr, "still running\n");
            std::exit(0);
        },
        ::testing::ExitedWithCode(relcli::kExitInternal), "box: Velmar\\|.*t2>t1");
}

}  // namespace
}  // namespace relan::test
