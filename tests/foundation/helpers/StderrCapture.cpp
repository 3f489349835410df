#include "StderrCapture.h"

#include <cstdio>
#include <unistd.h>

StderrCapture::StderrCapture()
{
    file_.open();
    std::fflush(stderr);
    saved_ = ::dup(2);
    ::dup2(file_.handle(), 2);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
}

QByteArray StderrCapture::text()
{
    std::fflush(stderr);
    QFile reader(file_.fileName());
    reader.open(QIODevice::ReadOnly);
    return reader.readAll();
}
