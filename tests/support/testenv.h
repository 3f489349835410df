#pragma once

#include <QApplication>
#include <QtTest>
#include <cstdio>
#include <cstdlib>

#include "resources/init_resources.h"

namespace talmeno_test {

// Refuses to run outside run_test.sh, which provides private settings and data folders.
inline void requireSandbox()
{
    if (qEnvironmentVariableIsEmpty("TALMENO_TEST_SANDBOX")) {
        std::fprintf(stderr, "run this test through ctest (tests/run_test.sh): it needs a private home\n");
        std::exit(2);
    }
}

} // namespace talmeno_test

// Like QTEST_MAIN, with the sandbox check, the program's organisation name and its resources.
#define TALMENO_TEST_MAIN(TestObject)                                  \
    int main(int argc, char** argv)                                    \
    {                                                                  \
        talmeno_test::requireSandbox();                                \
        QApplication app(argc, argv);                                  \
        QCoreApplication::setOrganizationName("Quorvel");              \
        QSettings::setDefaultFormat(QSettings::IniFormat);             \
        talmenoInitResources();                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                       \
        TestObject tc;                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                     \
        return QTest::qExec(&tc, argc, argv);                          \
    }
