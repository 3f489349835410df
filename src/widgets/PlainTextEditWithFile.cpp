#include "widgets/PlainTextEditWithFile.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QScrollBar>
#include <QTimerEvent>
#include <QtMath>

#include "foundation/UserPaths.h"
#include "foundation/ZHooks.h"
#include "foundation/ZLog.h"
#include "widgets/ZWidgetHelpers.h"

namespace {
PlainTextEditWithFileManager* g_manager = nullptr;

constexpr double kBytesPerCharacter = 5.6;
constexpr double kMiB = 1048576.0;
} // namespace

std::function<void(const QString&)>& PlainTextEditWithFile::openFolderHook()
{
    static std::function<void(const QString&)> hook = [](const QString& folder) { openUrlInDesktop(folder); };
    return hook;
}

PlainTextEditWithFile::PlainTextEditWithFile(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setFont(monospaceFont());
    setReadOnly(true);
    zDebug().nospace() << "isUndoRedoEnabled : " << document()->isUndoRedoEnabled();
    setUndoRedoEnabled(false);
    if (!file_.open())
        zCritical() << "temporary file create failed";
    attachStream();
    PlainTextEditWithFileManager::instance()->addConsole(this);
    // Only a visible view tells where the user wants to be; a hidden one keeps the
    // last wish.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (isVisible() && !scrolling_)
            followEnd_ = value >= verticalScrollBar()->maximum();
    });
}

void PlainTextEditWithFile::scrollToEnd()
{
    scrolling_ = true;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    scrolling_ = false;
}

void PlainTextEditWithFile::showEvent(QShowEvent* event)
{
    QPlainTextEdit::showEvent(event);
    // Lines appended while hidden (another tab in front) are not followed by the
    // base view; without this the view stays where it was hidden and never follows
    // again, since its end is then out of sight.
    if (followEnd_)
        scrollToEnd();
}

void PlainTextEditWithFile::resizeEvent(QResizeEvent* event)
{
    const bool follow = followEnd_;
    QPlainTextEdit::resizeEvent(event);
    if (follow)
        scrollToEnd();
}

PlainTextEditWithFile::~PlainTextEditWithFile()
{
    if (flushTimerId_)
        killTimer(flushTimerId_);
    // During teardown the manager goes first; it must not be reached then.
    if (auto* manager = PlainTextEditWithFileManager::existingInstance())
        manager->removeConsole(this);
}

int PlainTextEditWithFile::widthForColumns(int n) const
{
    ensurePolished();
    const int margin = qCeil(document()->documentMargin());
    return fontMetrics().horizontalAdvance(QString(n, QLatin1Char('0'))) + 2 * margin + 2 * frameWidth()
           + verticalScrollBar()->sizeHint().width() + 1;
}

void PlainTextEditWithFile::appendText(const QString& text)
{
    pending_.append(text);
    charCount_ += text.size();
    if (!flushTimerId_)
        flushTimerId_ = startTimer(kFlushIntervalMs, Qt::PreciseTimer);
}

void PlainTextEditWithFile::flushPending()
{
    if (flushTimerId_) {
        killTimer(flushTimerId_);
        flushTimerId_ = 0;
    }
    if (pending_.isEmpty())
        return;
    // A paragraph separator between chunks makes the same paragraphs as separate
    // appends; a plain "\n" would merge with a chunk's trailing "\r".
    // Appending "" to an empty view leaves no line; a joined write would leave one.
    int first = 0;
    if (document()->isEmpty()) {
        while (first < pending_.size() && pending_.at(first).isEmpty())
            ++first;
    }
    if (first < pending_.size()) {
        const bool follow = followEnd_;
        // The view's repaint after a batch waits one turn of the event loop, so
        // input that arrived while the batch was written (the serial port, read on
        // this thread) is read before the repaint instead of after it.
        if (isVisible() && !repaintHeld_ && updatesEnabled()) {
            repaintHeld_ = true;
            setUpdatesEnabled(false);
            QMetaObject::invokeMethod(this, [this] { resumeRepaint(); }, Qt::QueuedConnection);
        }
        scrolling_ = true;
        const QStringList chunks = first == 0 ? pending_ : pending_.mid(first);
        // A lone chunk (a page's text of a whole refresh) goes in without a copy.
        appendPlainText(chunks.size() == 1 ? chunks.first() : chunks.join(QChar::ParagraphSeparator));
        scrolling_ = false;
        if (follow)
            scrollToEnd();
    }
    for (const QString& chunk : qAsConst(pending_))
        stream_ << chunk << '\n';
    pending_.clear();
    // Each batch reaches the file at once, so a crash loses at most one batch.
    stream_.flush();
}

void PlainTextEditWithFile::resumeRepaint()
{
    if (!repaintHeld_)
        return;
    repaintHeld_ = false;
    setUpdatesEnabled(true); // repaints the whole view
}

void PlainTextEditWithFile::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == flushTimerId_) {
        flushPending();
        return;
    }
    QPlainTextEdit::timerEvent(event);
}

void PlainTextEditWithFile::clearText()
{
    flushPending();
    clear();
    stream_.flush();
    file_.flush();
    charCount_ = 0;
}

void PlainTextEditWithFile::clearAll()
{
    pending_.clear();
    flushPending();
    clear();
    stream_.flush();
    file_.flush();
    charCount_ = 0;
    resetFile();
}

void PlainTextEditWithFile::resetFile()
{
    file_.resize(0);
    file_.seek(0);
    attachStream();
}

void PlainTextEditWithFile::attachStream()
{
    // Attaching resets the stream's codec, so it is set every time.
    stream_.setDevice(&file_);
    stream_.setCodec("UTF-8");
}

qint64 PlainTextEditWithFile::fileSize()
{
    flushPending();
    stream_.flush();
    file_.flush();
    return file_.size();
}

QString PlainTextEditWithFile::saveToFile()
{
    flushPending();
    stream_.flush();
    if (!file_.flush() || historyDataDir.isEmpty()) {
        zCritical() << "save file failed, please retry";
        return QString();
    }
    const QString path =
        historyDataDir + QDateTime::currentDateTime().toString("/yyyy_MM_dd-hh_mm_ss_zzz") + ".txt";
    file_.close();
    QDir().mkpath(historyDataDir);
    const bool copied = QFile::copy(file_.fileName(), path);
    if (!file_.open())
        zCritical() << "temporary file create failed";
    if (!copied) {
        // Keep what was gathered: the next save must still hold it.
        file_.seek(file_.size());
        attachStream();
        zCritical() << "save file failed, please retry";
        return QString();
    }
    resetFile();
    openFolderHook()(historyDataDir);
    return path;
}

QMenu* PlainTextEditWithFile::createContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    menu->addSeparator();
    const double mb = fileSize() / kMiB;
    QAction* save = menu->addAction(tr("Save to File") + QString(" %1 MB").arg(mb, 0, 'f', 2));
    connect(save, &QAction::triggered, this, [this] { saveToFile(); });
    QAction* clearAction = menu->addAction(tr("Clear"));
    connect(clearAction, &QAction::triggered, this, &PlainTextEditWithFile::clearAll);
    return menu;
}

void PlainTextEditWithFile::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createContextMenu();
    menu->exec(event->globalPos());
    delete menu;
}

// ---------------------------------------------------------------------------

PlainTextEditWithFileManager* PlainTextEditWithFileManager::instance(QObject* parent)
{
    if (!g_manager)
        g_manager = new PlainTextEditWithFileManager(parent);
    return g_manager;
}

PlainTextEditWithFileManager* PlainTextEditWithFileManager::existingInstance()
{
    return g_manager;
}

PlainTextEditWithFileManager::PlainTextEditWithFileManager(QObject* parent)
    : QObject(parent)
{
    timerId_ = startTimer(kWatchIntervalMs, Qt::CoarseTimer);
}

PlainTextEditWithFileManager::~PlainTextEditWithFileManager()
{
    if (g_manager == this)
        g_manager = nullptr;
}

void PlainTextEditWithFileManager::addConsole(PlainTextEditWithFile* console)
{
    if (!consoles_.contains(console))
        consoles_.append(console);
}

void PlainTextEditWithFileManager::removeConsole(PlainTextEditWithFile* console)
{
    consoles_.removeAll(console);
}

double PlainTextEditWithFileManager::estimatedMemory() const
{
    double chars = 0;
    for (auto* console : consoles_)
        chars += console->characterCount();
    return chars * kBytesPerCharacter / kMiB;
}

bool PlainTextEditWithFileManager::checkMemory()
{
    if (estimatedMemory() <= memoryLimit_)
        return false;
    for (auto* console : consoles_)
        console->clearText();
    return true;
}

void PlainTextEditWithFileManager::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timerId_)
        checkMemory();
    else
        QObject::timerEvent(event);
}
