#pragma once

// Runs a bench in a private environment, as the tests run: its own home, settings,
// data, cache, runtime and temporary folders, so nothing it writes reaches the
// real home. Call first thing in main, before any Qt object exists.
//
// The process forks: the child runs the bench, the parent waits for it and then
// removes the folders, so they go also when the bench leaves through _exit or
// dies.

#include <QByteArray>
#include <QDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace benchenv {

inline void usePrivateHome()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/talmeno-bench.XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("bench: cannot make a private home");
        std::exit(1);
    }
    const std::string root = pattern;
    const struct
    {
        const char* variable;
        const char* folder;
    } folders[] = {{"HOME", "/home"},         {"XDG_CONFIG_HOME", "/config"}, {"XDG_DATA_HOME", "/data"},
                   {"XDG_CACHE_HOME", "/cache"}, {"XDG_RUNTIME_DIR", "/runtime"}, {"TMPDIR", "/tmp"}};
    for (const auto& f : folders) {
        const std::string path = root + f.folder;
        mkdir(path.c_str(), 0700);
        setenv(f.variable, path.c_str(), 1);
    }
    // Whatever a bench broadcasts stays on this machine.
    setenv("TALMENO_UDP_ADDRESS", "127.0.0.1", 1);

    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("bench: fork");
        std::exit(1);
    }
    if (child == 0)
        return;
    // An interrupt reaches the child too; the parent stays to clean up.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_IGN);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    QDir(QString::fromStdString(root)).removeRecursively();
    std::_Exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

} // namespace benchenv
