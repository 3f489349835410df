// talmeno-sim: a simulated device on a pseudo terminal, for trying the program
// without hardware. Prints the port path on the first line of its output and runs
// until it is stopped; stopping it looks to the program like an unplugged adapter.

#include "SimulatorCommand.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char** argv)
{
    // Stop signals are taken by sigwait below; blocked before any thread exists so
    // that every thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("talmeno-sim");

    sim::SimulatorCommand command;
    if (!command.start(app.arguments())) {
        if (command.exitCode() == 0) {
            std::printf("%s", qPrintable(command.helpText()));
            return 0;
        }
        std::fprintf(stderr, "%s\n", qPrintable(command.error()));
        return command.exitCode();
    }
    std::printf("%s\n", qPrintable(command.portPath()));
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    command.stop();
    return 0;
}
