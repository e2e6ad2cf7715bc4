#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

int main(int argc, char** argv) {
    // Discovery runs this binary at build time, where there is no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Time stamps follow the locale; fix it so expected pane texts do not depend on the machine.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
