#pragma once

#include <QApplication>
#include <functional>

// The application object: delivers every event inside a guard that logs an escaping
// exception and ends the process, since the program's state is unknown after it.
class ZApplication : public QApplication
{
    Q_OBJECT
public:
    ZApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs body inside the start-up guard: an escaping exception is logged at critical
// level, the log file flushed, and 1 returned; otherwise body's result.
int runGuarded(const std::function<int()>& body);

// The whole program from the message handler to the teardown; main returns its result.
int talmenoMain(int argc, char** argv);
