// Window tests run on the offscreen platform in the Russian locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include "sanitizer_defaults.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    return RUN_ALL_TESTS();
}
