#pragma once

#include "foundation/ZLog.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QSharedPointer>
#include <QString>

// The decoded records of one data-frame protocol, filled on the processing thread
// and drained by its views. Holds at most 1000 records: a view that stops draining
// loses the oldest, not memory.
template <typename Data>
struct ProtocolDataQueue
{
    static constexpr int kMaxRecords = 1000;

    explicit ProtocolDataQueue(const QString& name = QString())
        : name_(name)
    {
    }

    void push(QSharedPointer<Data> record)
    {
        QMutexLocker lock(&mutex);
        ++pushed_;
        datas_.append(std::move(record));
        if (datas_.size() > kMaxRecords) {
            zWarning().nospace() << name_ << ":datas_.size() > 1000, previous data will be discarded";
            datas_.removeFirst();
        }
    }

    QList<QSharedPointer<Data>> takeAll()
    {
        QMutexLocker lock(&mutex);
        QList<QSharedPointer<Data>> all;
        all.swap(datas_);
        return all;
    }

    int size() const
    {
        QMutexLocker lock(&mutex);
        return datas_.size();
    }

    // Records pushed since the queue was made, dropped ones included.
    quint64 pushedCount() const
    {
        QMutexLocker lock(&mutex);
        return pushed_;
    }

    mutable QMutex mutex;
    QList<QSharedPointer<Data>> datas_;
    QString name_;
    quint64 pushed_ = 0;
};
