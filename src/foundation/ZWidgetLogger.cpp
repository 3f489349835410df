#include "foundation/ZWidgetLogger.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QMap>
#include <QMutex>
#include <QRecursiveMutex>
#include <QSettings>
#include <QStackedLayout>
#include <QTextEdit>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <atomic>
#include <cstdio>
#include <limits>

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZHooks.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"

namespace {

// Log file state of the process. Recursive, so that a message raised while a
// message is written cannot dead-lock the handler.
QRecursiveMutex g_fileMutex;
QFile* g_logFile = nullptr;
QTextStream* g_logStream = nullptr;
bool g_logFileOpen = false;
QString g_logFilePath;
// Lines reach the disk at least once a second whatever their level: a run that is
// killed loses at most its last second.
QElapsedTimer g_sinceFlush;
bool g_unflushed = false;
constexpr int kFlushIntervalMs = 1000;
constexpr int kTickFlushMs = 200;

// Debug messages are written only once the window offers the "Debug" level.
std::atomic<bool> g_debugEnabled{false};

// Guards the window pointer and its pending list, so that a worker thread never
// appends to a window that is being destroyed.
QMutex g_windowMutex;
ZWidgetLogger* g_window = nullptr;

// Lines waiting for the window while its thread is busy; beyond, the oldest go.
constexpr int kMaxPendingLines = 10000;
int g_droppedPending = 0; // under g_windowMutex
QElapsedTimer g_droppedReported;

const int kHistoryIcon = 107; // "history.png"
const int kClearIcon = 6;     // "clear.png"
const int kOpenFileIcon = 50; // "openfile.png"

int levelRank(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return 0;
    case QtInfoMsg: return 1;
    case QtWarningMsg: return 2;
    case QtCriticalMsg: return 3;
    case QtFatalMsg: return 4;
    }
    return 0;
}

const QString& lineTemplate()
{
    static const QString t = QStringLiteral(
        "<html><head/><body><p><span style=\" font-weight:600; color:MSG_TYPE: </span>MESSAGE</span></p></body></html>");
    return t;
}

// Log texts are plain text: shown as written, never as mark-up.
QString asHtml(const QString& text)
{
    return text.toHtmlEscaped().replace('\n', QStringLiteral("<br/>"));
}

bool isHexDigit(QChar c)
{
    return c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// The word without the punctuation that may stick to it ("(55", "ff,", "0x1f:").
QStringRef wordCore(const QStringRef& word)
{
    static const QString edges = QStringLiteral("()[]{},.:;=\"'");
    int from = 0;
    int to = word.size();
    while (from < to && edges.contains(word.at(from)))
        ++from;
    while (to > from && edges.contains(word.at(to - 1)))
        --to;
    return word.mid(from, to - from);
}

bool isHexPair(const QStringRef& word)
{
    const QStringRef core = wordCore(word);
    return core.size() == 2 && isHexDigit(core.at(0)) && isHexDigit(core.at(1));
}

// A value written in hexadecimal: "0x1f", "1a", "500003f0" (a word of hexadecimal
// digits only, one of them a digit, so that words such as "bad" stay words).
bool isHexValue(const QStringRef& word)
{
    QStringRef core = wordCore(word);
    const bool prefixed = core.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if (prefixed)
        core = core.mid(2);
    bool digit = prefixed;
    for (QChar c : core) {
        if (!isHexDigit(c))
            return false;
        digit = digit || c.isDigit();
    }
    return digit && !core.isEmpty();
}

// Consecutive bytes of a dump ("55 02 ff ...") take at least this many words.
constexpr int kDumpWords = 3;

// The words of a message after the time prefix, split at blanks and colons (a dump
// may follow "text:" directly); each word keeps the separator after it.
struct Word
{
    QStringRef text;
    QStringRef separator;
};

QVector<Word> splitWords(const QString& message, int from)
{
    QVector<Word> words;
    int start = from;
    for (int k = from; k <= message.size(); ++k) {
        if (k < message.size() && message.at(k) != QLatin1Char(' ') && message.at(k) != QLatin1Char(':'))
            continue;
        words.append({message.midRef(start, k - start), message.midRef(k, k < message.size() ? 1 : 0)});
        start = k + 1;
    }
    return words;
}

// Appends a word with every run of digits as one '#' ("#" alone for a hexadecimal value).
void appendNormalised(QString& out, const QStringRef& word)
{
    if (isHexValue(word)) {
        out += QLatin1Char('#');
        return;
    }
    for (int k = 0; k < word.size(); ++k) {
        if (!word.at(k).isDigit())
            out += word.at(k);
        else if (k == 0 || !word.at(k - 1).isDigit())
            out += QLatin1Char('#');
    }
}

// What one log statement writes whatever values it carries: its words after the time
// prefix, every run of digits as '#', a hexadecimal value as '#' and a frame dump as
// "<hex>" whatever its bytes. Two lines of one statement give the same text; two
// statements that share their first words do not.
QString messageWords(const QString& message)
{
    int from = 0;
    if (message.size() >= 20 && message.at(0) == QLatin1Char('[') && message.at(19) == QLatin1Char(']'))
        from = 20;
    const QVector<Word> words = splitWords(message, from);
    QString out;
    out.reserve(std::min(message.size() - from, 512));
    for (int i = 0; i < words.size(); ++i) {
        int run = 0;
        while (i + run < words.size() && isHexPair(words.at(i + run).text))
            ++run;
        if (run >= kDumpWords) {
            out += QLatin1String("<hex>");
            i += run - 1;
        } else {
            appendNormalised(out, words.at(i).text);
        }
        out += words.at(i).separator;
    }
    return out.trimmed();
}

// A 64-bit hash (FNV-1a) of the level and the words: a long dump costs no memory,
// and two messages of one second hardly ever share a key. (Two qHash calls with
// different seeds are no 64 bits: their difference depends on the length alone.)
quint64 messageKey(QtMsgType type, const QString& words)
{
    constexpr quint64 kPrime = 0x100000001b3ull;
    quint64 h = (0xcbf29ce484222325ull ^ quint64(type)) * kPrime;
    for (const QChar c : words) {
        h ^= c.unicode();
        h *= kPrime;
    }
    return h;
}

// A program left on a faulty link must not fill the disk: each message is written at
// most once a second, and when that second is over one line tells how many of it
// were left out.
class RepeatBudget
{
public:
    struct Line
    {
        QtMsgType type;
        QString text;
    };

    // Whether the message is written; lines counting what the seconds now over left
    // out are added to due.
    bool admit(QtMsgType type, const QString& message, QList<Line>& due)
    {
        const QString words = messageWords(message);
        const quint64 key = messageKey(type, words);
        QMutexLocker lock(&mutex_);
        const qint64 now = elapsed();
        if (now >= nextDue_)
            collectDue(now, false, due);
        const auto it = entries_.find(key);
        if (it != entries_.end()) {
            ++it->left;
            return false;
        }
        // Beyond this many different messages in one second, they are written untracked.
        if (entries_.size() < 4096) {
            entries_.insert(key, Entry{now, 0, type, words.left(kShownWords)});
            nextDue_ = std::min(nextDue_, now + 1000);
        }
        return true;
    }

    // The count lines whose second is over (all of them with force).
    void takeDue(bool force, QList<Line>& due)
    {
        QMutexLocker lock(&mutex_);
        const qint64 now = elapsed();
        if (force || now >= nextDue_)
            collectDue(now, force, due);
    }

private:
    struct Entry
    {
        qint64 since;
        qint64 left;
        QtMsgType type;
        QString words; // what the count line shows of the message
    };
    static constexpr int kShownWords = 160;

    qint64 elapsed()
    {
        if (!clock_.isValid())
            clock_.start();
        return clock_.elapsed();
    }

    void collectDue(qint64 now, bool force, QList<Line>& due)
    {
        nextDue_ = std::numeric_limits<qint64>::max();
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (!force && now - it->since < 1000) {
                nextDue_ = std::min(nextDue_, it->since + 1000);
                ++it;
                continue;
            }
            if (it->left > 0) {
                const QString& words = it->words;
                due.append({it->type, logTimePrefix() + words + (words.isEmpty() ? "" : " ") +
                                          QStringLiteral("(%1 more in the last second)").arg(it->left)});
            }
            it = entries_.erase(it);
        }
    }

    QMutex mutex_;
    QHash<quint64, Entry> entries_;
    QElapsedTimer clock_;
    qint64 nextDue_ = std::numeric_limits<qint64>::max();
};

RepeatBudget g_budget;

} // namespace

void ZWidgetLogger::installMessageHandler()
{
    qInstallMessageHandler(&ZWidgetLogger::messageHandler);
}

void ZWidgetLogger::messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context)
    if (type == QtDebugMsg && !g_debugEnabled.load()) {
        queueForWindow(type, message);
        return;
    }
    QList<RepeatBudget::Line> due;
    const bool admitted = g_budget.admit(type, message, due);
    for (const RepeatBudget::Line& line : qAsConst(due))
        writeLine(line.type, line.text);
    if (admitted)
        writeLine(type, message);
}

// Writes one admitted line to the file, the error stream and the window.
void ZWidgetLogger::writeLine(QtMsgType type, const QString& message)
{
    const QByteArray bytes = message.toLocal8Bit();
    {
        QMutexLocker lock(&g_fileMutex);
        if (g_logFileOpen && g_logStream) {
            *g_logStream << bytes << "\r\n";
            g_unflushed = true;
            if (levelRank(type) >= levelRank(QtWarningMsg) || g_sinceFlush.elapsed() >= kFlushIntervalMs) {
                g_logStream->flush();
                g_unflushed = false;
                g_sinceFlush.start();
            }
        }
        std::fprintf(stderr, "%s\n", bytes.constData());
        std::fflush(stderr);
    }
    queueForWindow(type, message);
}

void ZWidgetLogger::queueForWindow(QtMsgType type, const QString& message)
{
    QMutexLocker lock(&g_windowMutex);
    if (!g_window)
        return;
    if (g_window->pending_.size() >= kMaxPendingLines) {
        g_window->pending_.removeFirst();
        ++g_droppedPending;
    }
    g_window->pending_.append({type, message});
}

void ZWidgetLogger::writeDueLines(bool all)
{
    QList<RepeatBudget::Line> due;
    g_budget.takeDue(all, due);
    for (const RepeatBudget::Line& line : qAsConst(due))
        writeLine(line.type, line.text);
    QMutexLocker lock(&g_fileMutex);
    // Not on every tick while lines keep coming: a few times a second is enough.
    if (g_unflushed && g_logStream && (all || g_sinceFlush.elapsed() >= kTickFlushMs)) {
        g_logStream->flush();
        g_unflushed = false;
        g_sinceFlush.start();
    }
}

ZWidgetLogger* ZWidgetLogger::instance(const QString& logFolder, QWidget* parent)
{
    {
        QMutexLocker lock(&g_windowMutex);
        if (g_window)
            return g_window;
    }
    auto* w = new ZWidgetLogger(logFolder, parent);
    QMutexLocker lock(&g_windowMutex);
    g_window = w;
    return w;
}

ZWidgetLogger* ZWidgetLogger::current()
{
    QMutexLocker lock(&g_windowMutex);
    return g_window;
}

void ZWidgetLogger::flushLogFile()
{
    QMutexLocker lock(&g_fileMutex);
    if (g_logStream)
        g_logStream->flush();
}

QString ZWidgetLogger::logFilePath()
{
    QMutexLocker lock(&g_fileMutex);
    return g_logFilePath;
}

int ZWidgetLogger::displayTime(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return 6000;
    case QtInfoMsg: return 6000;
    case QtWarningMsg: return 8000;
    case QtCriticalMsg: return 10000;
    case QtFatalMsg: return 12000;
    }
    return 6000;
}

QString ZWidgetLogger::levelPrefix(QtMsgType type)
{
    // Fixed on first use: a later change of colour scheme keeps the Debug colour.
    static const QMap<int, QString> prefixes = [] {
        QMap<int, QString> m;
        const QString sep = QStringLiteral(";\">");
        m.insert(QtDebugMsg, ZColorSchemeManager::instance()->color(0).name() + sep + "Debug  ");
        m.insert(QtInfoMsg, "#4e9a06" + sep + "Info   ");
        m.insert(QtWarningMsg, "#ce5c00" + sep + "Warning");
        m.insert(QtCriticalMsg, "#cc0000" + sep + "Error  ");
        m.insert(QtFatalMsg, "#a40000" + sep + "Fatal  ");
        return m;
    }();
    return prefixes.value(type);
}

ZWidgetLogger::ZWidgetLogger(const QString& logFolder, QWidget* parent)
    : QWidget(parent)
    , levelCombo_(new QComboBox(this))
    , historyView_(new QTextEdit)
    , historyWindow_(new QWidget)
    , drainTimer_(new QTimer(this))
{
    setWindowTitle(tr("Logger "));
    levelCombo_->setObjectName("logLevelComboBox");
    historyView_->setReadOnly(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(levelCombo_);
    auto* historyButton = new QToolButton(this);
    historyButton->setObjectName("showHistoryButton");
    historyButton->setToolTip(tr("Show History"));
    historyButton->setIcon(ZIconsManager::instance()->icon(kHistoryIcon));
    layout->addWidget(historyButton);

    messageLabel_ = new QLabel(this);
    messageLabel_->setTextFormat(Qt::RichText);
    linkLabel_ = new QLabel(this);
    linkLabel_->setTextFormat(Qt::RichText);
    linkLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    linkLabel_->setOpenExternalLinks(true);
    // The line takes the width it is given (texts are elided to it); a text must not
    // change the window's minimum size.
    messageLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    linkLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    stack_ = new QStackedLayout;
    stack_->addWidget(messageLabel_);
    stack_->addWidget(linkLabel_);
    layout->addLayout(stack_, 1);

    messageTimer_ = new QTimer(this);
    messageTimer_->setObjectName("logMessageTimer");
    messageTimer_->setSingleShot(false);
    connect(messageTimer_, &QTimer::timeout, this, [this] {
        messageTimer_->stop();
        messageLabel_->clear();
        stack_->setCurrentWidget(linkLabel_);
    });
    stack_->setCurrentWidget(linkLabel_);

    levelCombo_->addItem("Info", int(QtInfoMsg));
    levelCombo_->addItem("Warning", int(QtWarningMsg));
    levelCombo_->addItem("Error", int(QtCriticalMsg));
    levelCombo_->addItem("Fatal", int(QtFatalMsg));
    levelCombo_->insertItem(0, "Debug", int(QtDebugMsg));
    g_debugEnabled.store(true);

    QSettings settings;
    int index = levelCombo_->findText(settings.value("Log/LogLevel", "Info").toString());
    if (index < 0)
        index = levelCombo_->findText("Info"); // an unknown stored level: the default
    levelCombo_->setCurrentIndex(index);
    connect(levelCombo_, &QComboBox::currentTextChanged, this, [](const QString& text) {
        QSettings().setValue("Log/LogLevel", text);
    });

    auto* historyLayout = new QVBoxLayout(historyWindow_);
    historyWindow_->resize(settings.value("Log/LogWindowSize", QSize(800, 450)).toSize());
    auto* toolBar = new QToolBar(historyWindow_);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* clearAction = toolBar->addAction(ZIconsManager::instance()->icon(kClearIcon), tr("Clear History"));
    clearAction->setObjectName("clearHistoryAction");
    connect(clearAction, &QAction::triggered, historyView_, &QTextEdit::clear);
    QAction* openAction = toolBar->addAction(ZIconsManager::instance()->icon(kOpenFileIcon), tr("Open Log Dir"));
    openAction->setObjectName("openLogDirAction");
    connect(openAction, &QAction::triggered, this, [logFolder] { openUrlInDesktop(logFolder); });
    historyLayout->addWidget(toolBar);
    historyLayout->addWidget(historyView_);
    connect(historyButton, &QToolButton::clicked, this, [this] {
        historyWindow_->show();
        historyWindow_->raise();
        historyWindow_->activateWindow();
    });

    openLogFile(logFolder);

    drainTimer_->setInterval(16);
    connect(drainTimer_, &QTimer::timeout, this, &ZWidgetLogger::showPendingMessages);
    drainTimer_->start();
}

void ZWidgetLogger::openLogFile(const QString& logFolder)
{
    QDir dir(logFolder);
    if (!dir.exists())
        dir.mkpath(".");
    // The names carry the time, so the first by name is the oldest.
    QStringList files = dir.entryList(QDir::Files, QDir::Name);
    while (files.size() >= 366) {
        dir.remove(files.takeFirst());
    }

    const QString path = QStringLiteral("%1/log_%2.txt")
                             .arg(logFolder, QDateTime::currentDateTime().toString("yyyyMMdd_hhmmss_zzz"));
    QMutexLocker lock(&g_fileMutex);
    if (g_logStream) {
        g_logStream->flush();
        delete g_logStream;
        g_logStream = nullptr;
    }
    delete g_logFile;
    g_logFileOpen = false;
    g_logFilePath.clear();
    g_logFile = new QFile(path);
    if (!g_logFile->open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "could not create log file\n");
        delete g_logFile;
        g_logFile = nullptr;
        return;
    }
    g_logStream = new QTextStream(g_logFile);
    g_logStream->setCodec("UTF-8");
    g_logFileOpen = true;
    g_logFilePath = path;
    g_unflushed = false;
    g_sinceFlush.start();
}

ZWidgetLogger::~ZWidgetLogger()
{
    // The counts of the current second, while the file is still there.
    writeDueLines(true);
    {
        QMutexLocker lock(&g_windowMutex);
        if (g_window == this)
            g_window = nullptr;
        pending_.clear();
    }
    QSettings().setValue("Log/LogWindowSize", historyWindow_->size());
    // Deleted here rather than later: after the event loop nothing would delete it.
    delete historyWindow_;
    historyWindow_ = nullptr;
    qInstallMessageHandler(nullptr);

    QMutexLocker lock(&g_fileMutex);
    if (g_logStream) {
        g_logStream->flush();
        delete g_logStream;
        g_logStream = nullptr;
    }
    if (g_logFile) {
        g_logFile->close();
        delete g_logFile;
        g_logFile = nullptr;
    }
    g_logFileOpen = false;
}

bool ZWidgetLogger::isMessageShown() const
{
    return stack_->currentWidget() == messageLabel_;
}

void ZWidgetLogger::showPendingMessages()
{
    writeDueLines(false);
    QList<PendingEntry> entries;
    int dropped = 0;
    {
        QMutexLocker lock(&g_windowMutex);
        entries.swap(pending_);
        if (g_droppedPending > 0 && (!g_droppedReported.isValid() || g_droppedReported.elapsed() >= 1000)) {
            dropped = g_droppedPending;
            g_droppedPending = 0;
            g_droppedReported.start();
        }
    }
    if (dropped > 0)
        zWarning() << "log window behind:" << dropped << "oldest lines not shown";
    for (const PendingEntry& entry : qAsConst(entries)) {
        // The chosen level and every level after it in the combo box are shown.
        const int index = levelCombo_->findData(int(entry.type));
        if (index < levelCombo_->currentIndex())
            continue;
        const QString prefix = levelPrefix(entry.type);
        QString line = lineTemplate();
        line.replace("MSG_TYPE", prefix);
        historyView_->append(QString(line).replace("MESSAGE", asHtml(entry.text)));

        const QFontMetrics fm(messageLabel_->font());
        const int width = messageLabel_->width() - fm.horizontalAdvance("Warning :   ");
        const QString oneLine = QString(entry.text).replace('\n', ' ');
        const QString elided = fm.elidedText(oneLine, Qt::ElideRight, width);
        messageLabel_->setText(QString(line).replace("MESSAGE", asHtml(elided)));

        if (!messageTimer_->isActive())
            stack_->setCurrentWidget(messageLabel_);
        messageTimer_->start(displayTime(entry.type));
    }
}
