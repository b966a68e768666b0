// Window tests run on the offscreen platform in the Russian locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

// Under ThreadSanitizer the toolkit's own libraries are not instrumented: what
// their copies, allocations and frees touch is left out of the reports (their
// locking still counts), so every report is about this program's own code. The
// optimiser's hand-over through the toolkit's blocking calls is announced to the
// sanitizer where it is made (gen_thread.cpp).
#if defined(__SANITIZE_THREAD__)
#define RELAN_TSAN_TESTS 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define RELAN_TSAN_TESTS 1
#endif
#endif
#ifdef RELAN_TSAN_TESTS
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
#endif

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    return RUN_ALL_TESTS();
}
