#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QStackedLayout;
class QTextEdit;
class QTimer;

// The logger window: the message handler of the whole program writes every message
// to the log file and the error stream and queues it here, a message repeated within
// a second only once (one line with the count of the others follows when the second
// is over); the window shows the newest message on one line, coloured by level, and
// keeps the history in a separate window. The file is flushed at least once a second.
class ZWidgetLogger : public QWidget
{
    Q_OBJECT
public:
    struct PendingEntry
    {
        QtMsgType type;
        QString text;
    };

    static void installMessageHandler();
    static void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    // Creates the window on the first call; later calls return it and ignore their arguments.
    static ZWidgetLogger* instance(const QString& logFolder, QWidget* parent = nullptr);
    // The window while it exists, else null.
    static ZWidgetLogger* current();
    static void flushLogFile();
    // Writes the count lines of the seconds that are over (all of them with all set)
    // and flushes what the file has not yet flushed; the drain timer runs it.
    static void writeDueLines(bool all = false);
    // The log file of this run (empty when none could be created).
    static QString logFilePath();

    ~ZWidgetLogger() override;

    void showPendingMessages();

    // How long a message of this type stays on the message line, in ms.
    static int displayTime(QtMsgType type);
    // The coloured level prefix put before each shown message.
    static QString levelPrefix(QtMsgType type);

    QComboBox* levelComboBox() const { return levelCombo_; }
    QTextEdit* historyView() const { return historyView_; }
    QWidget* historyWindow() const { return historyWindow_; }
    QLabel* messageLabel() const { return messageLabel_; }
    QLabel* linkLabel() const { return linkLabel_; }
    QTimer* messageTimer() const { return messageTimer_; }
    // True while the message line (not the link label) is shown.
    bool isMessageShown() const;

private:
    ZWidgetLogger(const QString& logFolder, QWidget* parent);
    void openLogFile(const QString& logFolder);
    // Writes one line the repeat budget let through to the file, the error stream and
    // the window.
    static void writeLine(QtMsgType type, const QString& message);
    // Queues a line for the window, the oldest dropped beyond the bound.
    static void queueForWindow(QtMsgType type, const QString& message);

    QComboBox* levelCombo_;
    QTextEdit* historyView_;
    QWidget* historyWindow_;
    QTimer* drainTimer_;
    QList<PendingEntry> pending_; // guarded by the handler's window lock

    QLabel* messageLabel_ = nullptr;
    QLabel* linkLabel_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    QTimer* messageTimer_ = nullptr;
};
