#include "widgets/PlainTextEditWithFile.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryFile>
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

ConsoleFile::ConsoleFile(QObject* parent)
    : QObject(parent)
{
    {
        // A temporary file keeps its descriptor until it is destroyed, closed or
        // not: the name is taken from one, the file is removed here.
        QTemporaryFile file;
        file.setAutoRemove(false);
        valid_ = file.open();
        if (valid_)
            fileName_ = file.fileName();
        else
            zCritical() << "temporary file create failed";
    }
    setWatched(true);
}

ConsoleFile::~ConsoleFile()
{
    setWatched(false);
    if (valid_)
        QFile::remove(fileName_);
}

void ConsoleFile::setWatched(bool watched)
{
    if (watched == watched_)
        return;
    watched_ = watched;
    if (watched) {
        PlainTextEditWithFileManager::instance()->addFile(this);
    } else {
        // A console shows the text now: no view is kept apart from it.
        carriageEnds_.clear();
        carriageEnds_.squeeze();
        // During teardown the manager goes first; it must not be reached then.
        if (auto* manager = PlainTextEditWithFileManager::existingInstance())
            manager->removeFile(this);
    }
}

void ConsoleFile::append(const QStringList& chunks)
{
    QByteArray bytes;
    for (const QString& chunk : chunks) {
        bytes += chunk.toUtf8();
        bytes += '\n';
        if (!watched_)
            continue;
        const qint64 lineEnd = size_ + bytes.size() - 1;
        // A console's empty view takes no empty line.
        if (viewChars_ == 0 && chunk.isEmpty())
            viewStart_ = lineEnd + 1;
        else if (chunk.endsWith(QLatin1Char('\r')))
            carriageEnds_ << lineEnd;
        viewChars_ += chunk.size();
    }
    if (bytes.isEmpty() || !valid_)
        return;
    QFile file(fileName_);
    qint64 written = -1;
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        written = file.write(bytes);
    if (written > 0)
        size_ += written;
    if (written != bytes.size() && !writeFailed_) {
        writeFailed_ = true;
        zCritical() << "console file write failed:" << fileName_ << file.errorString();
    }
}

void ConsoleFile::truncate()
{
    if (valid_ && !QFile::resize(fileName_, 0))
        zCritical() << "console file truncate failed:" << fileName_;
    size_ = 0;
    clearView();
    viewStart_ = 0;
}

void ConsoleFile::clearView()
{
    viewStart_ = size_;
    viewChars_ = 0;
    carriageEnds_.clear();
}

QString ConsoleFile::viewText() const
{
    if (size_ <= viewStart_ || !valid_)
        return QString();
    QFile file(fileName_);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly) && file.seek(viewStart_))
        bytes = file.read(size_ - viewStart_);
    if (bytes.size() != size_ - viewStart_) {
        zCritical() << "console file read failed:" << fileName_ << file.errorString();
        return QString();
    }
    // Chunks are paragraphs of the view; a "\n" after a chunk's own "\r" would
    // join the two into one line break.
    for (int i = carriageEnds_.size() - 1; i >= 0; --i) {
        const qint64 at = carriageEnds_.at(i) - viewStart_;
        if (at < bytes.size() - 1)
            bytes.replace(int(at), 1, "\xe2\x80\xa9"); // U+2029, the paragraph separator
    }
    bytes.chop(1); // the last chunk's "\n"
    return QString::fromUtf8(bytes);
}

// ---------------------------------------------------------------------------

std::function<void(const QString&)>& PlainTextEditWithFile::openFolderHook()
{
    static std::function<void(const QString&)> hook = [](const QString& folder) { openUrlInDesktop(folder); };
    return hook;
}

PlainTextEditWithFile::PlainTextEditWithFile(QWidget* parent)
    : QPlainTextEdit(parent)
    , file_(new ConsoleFile(this))
{
    setFont(monospaceFont());
    setReadOnly(true);
    zDebug().nospace() << "isUndoRedoEnabled : " << document()->isUndoRedoEnabled();
    setUndoRedoEnabled(false);
    file_->setWatched(false); // the console counts what it shows
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

void PlainTextEditWithFile::adopt(ConsoleFile* kept)
{
    if (!kept || kept == file_)
        return;
    flushPending();
    kept->setParent(this);
    delete file_;
    file_ = kept;
    clear();
    charCount_ = int(kept->viewCharacters());
    // Empty chunks on an empty view left nothing to show.
    if (charCount_ > 0)
        appendPlainText(kept->viewText());
    kept->setWatched(false); // the console counts it now
    if (followEnd_)
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
    // Each batch reaches the file at once, so a crash loses at most one batch.
    file_->append(pending_);
    pending_.clear();
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
    file_->clearView();
    charCount_ = 0;
}

void PlainTextEditWithFile::clearAll()
{
    pending_.clear();
    flushPending();
    clear();
    charCount_ = 0;
    file_->truncate();
}

qint64 PlainTextEditWithFile::fileSize()
{
    flushPending();
    return file_->size();
}

QString PlainTextEditWithFile::saveToFile()
{
    flushPending();
    if (!file_->isValid() || historyDataDir.isEmpty()) {
        zCritical() << "save file failed, please retry";
        return QString();
    }
    const QString path =
        historyDataDir + QDateTime::currentDateTime().toString("/yyyy_MM_dd-hh_mm_ss_zzz") + ".txt";
    QDir().mkpath(historyDataDir);
    if (!QFile::copy(file_->fileName(), path)) {
        // Keep what was gathered: the next save must still hold it.
        zCritical() << "save file failed, please retry";
        return QString();
    }
    file_->truncate();
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

void PlainTextEditWithFileManager::addFile(ConsoleFile* file)
{
    if (!files_.contains(file))
        files_.append(file);
}

void PlainTextEditWithFileManager::removeFile(ConsoleFile* file)
{
    files_.removeOne(file);
}

double PlainTextEditWithFileManager::estimatedMemory() const
{
    double chars = 0;
    for (auto* console : consoles_)
        chars += console->characterCount();
    // A file kept for a console counts as the view it stands for, so that the
    // views are emptied at the same moment whether their consoles are built or not.
    for (auto* file : files_)
        chars += file->viewCharacters();
    return chars * kBytesPerCharacter / kMiB;
}

bool PlainTextEditWithFileManager::checkMemory()
{
    if (estimatedMemory() <= memoryLimit_)
        return false;
    for (auto* console : consoles_)
        console->clearText();
    for (auto* file : files_)
        file->clearView();
    return true;
}

void PlainTextEditWithFileManager::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timerId_)
        checkMemory();
    else
        QObject::timerEvent(event);
}
