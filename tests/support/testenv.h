#pragma once

#include <QApplication>
#include <QtTest>
#include <cstdio>
#include <dlfcn.h>
#include <cstdlib>
#include <functional>

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

// How deep this thread is in event dispatch: 1 in a callback of the application's
// own loop, more inside a nested loop or processEvents (glib's count, which sees
// both; without glib, the nested event loops).
inline int dispatchDepth()
{
    using Depth = int (*)();
    static const Depth depth = reinterpret_cast<Depth>(dlsym(RTLD_DEFAULT, "g_main_depth"));
    return depth ? depth() : QThread::currentThread()->loopLevel();
}

// Runs act once this thread is back in its own event loop. A step that waits in a loop
// of its own (qWaitFor) while the program sits in a nested one (a wait of its device
// recognition, say) keeps that one from returning until the step ends; so the step
// starts at the top, looked for every 20 ms, for at most 20 s.
inline void runAtTopLevel(const std::function<void()>& act, int triesLeft = 1000)
{
    if (dispatchDepth() > 1 && triesLeft > 0) {
        QTimer::singleShot(20, QCoreApplication::instance(), [act, triesLeft] { runAtTopLevel(act, triesLeft - 1); });
        return;
    }
    act();
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
