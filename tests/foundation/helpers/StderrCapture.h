#pragma once

#include <QByteArray>
#include <QTemporaryFile>

// Sends the process's standard error into a file while it lives.
class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // What was written so far (stops nothing).
    QByteArray text();

private:
    QTemporaryFile file_;
    int saved_ = -1;
};
