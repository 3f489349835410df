#pragma once

#include <QMap>
#include <QObject>
#include <QThread>
#include <functional>

using FunctionRunInThread = std::function<void()>;
Q_DECLARE_METATYPE(FunctionRunInThread)

// Lives in one slot's thread and runs the function objects queued to it.
class RunManager : public QObject
{
    Q_OBJECT
public:
    RunManager();

signals:
    void runSignal(FunctionRunInThread func);
    void slotExecuteFinished();

public slots:
    void runSlot(FunctionRunInThread func);
};

// Six numbered thread slots: 0 is the GUI thread, 1..5 are worker threads
// (1 record/replay, 2 frame extraction, 3 frame processing, 4 chart refresh, 5 timers).
class ZThreadManager : public QObject
{
    Q_OBJECT
public:
    static ZThreadManager* instance(QObject* parent = nullptr);
    ~ZThreadManager() override;

    void moveToThread(QObject* object, int n);
    void runInThread(int n, const FunctionRunInThread& func, bool wait = false);
    void startThreads();
    void stopThreads();

    QThread* thread(int n) const;

private:
    explicit ZThreadManager(QObject* parent);
    struct Slot;
    class Private;
    Private* d;
};
