#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QVector>
#include <functional>

class QMenu;

// The temporary file behind a console: every chunk followed by "\n", in UTF-8.
// Each write opens the file only for its length, so that a thousand of them (a
// node's box each) hold no file open.
//
// It may also be kept without a console (for a box not built yet): it then keeps
// what a console would show since the memory watch last emptied the views, counts
// those characters under the same watch, and hands that text to the console that
// adopts it, so a console built late shows and saves what one built at once would.
class ConsoleFile : public QObject
{
    Q_OBJECT
public:
    // Watched by the manager until a console adopts it.
    explicit ConsoleFile(QObject* parent = nullptr);
    ~ConsoleFile() override;

    // False when the file could not be created (logged).
    bool isValid() const { return valid_; }
    QString fileName() const { return fileName_; }
    qint64 size() const { return size_; }

    // Writes each chunk followed by "\n" in one open of the file.
    void append(const QStringList& chunks);
    // Empties the file.
    void truncate();

    // Characters (UTF-16 code units) of the chunks a console would show: those since
    // the last clearView().
    qint64 viewCharacters() const { return viewChars_; }
    // The memory watch emptied the views: what follows starts the view.
    void clearView();
    // The text a console fed the same chunks would show, read back from the file.
    QString viewText() const;

private:
    friend class PlainTextEditWithFile;
    void setWatched(bool watched);

    QString fileName_;
    qint64 size_ = 0;
    bool valid_ = false;
    bool writeFailed_ = false;  // reported once
    qint64 viewStart_ = 0;      // where the view's first chunk starts in the file
    qint64 viewChars_ = 0;
    // The "\n" after each chunk of the view that ends in "\r": in the file the two
    // read as one line break, in the view they are two.
    QVector<qint64> carriageEnds_;
    bool watched_ = false;
};

// Read-only text console whose every line is also written to a temporary file, so
// the user can save the whole text even after the view was emptied to save memory.
//
// Appends are gathered and written to the view and the file on a short timer (a
// device at 3.5 Mbaud delivers hundreds of chunks a second); each chunk still
// becomes its own line, exactly as one append per chunk would leave it. Every
// operation that reads or empties the view or the file writes the gathered chunks
// out first, so no caller can observe the batching except through timing.
class PlainTextEditWithFile : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit PlainTextEditWithFile(QWidget* parent = nullptr);
    ~PlainTextEditWithFile() override;

    // Takes kept as its file, with what kept says its view shows; the console's own
    // file goes. For a console that has shown nothing yet.
    void adopt(ConsoleFile* kept);

    // The width that shows lines of n characters without wrapping them.
    int widthForColumns(int n) const;

    // One chunk: one line in the view, the text plus "\n" in the file.
    void appendText(const QString& text);
    // Empties the view and zeroes the character count; the file keeps its content.
    void clearText();
    // "Clear" of the context menu: empties the view and the file.
    void clearAll();
    // "Save to File": copies the file into the history folder and starts it afresh.
    // Returns the saved file's path, or an empty string on failure (the data is kept).
    QString saveToFile();

    // Writes the gathered chunks to the view and the file now.
    void flushPending();

    // Repaints the view now if its repaint after the last batch is still held
    // back (a batch's repaint waits one turn of the event loop); a grab of the
    // window for a screenshot must see the view.
    void resumeRepaint();

    int characterCount() const { return charCount_; }
    // Size in bytes of the temporary file, pending chunks included.
    qint64 fileSize();
    QString fileName() const { return file_->fileName(); }

    // The context menu with the two extra entries; the caller owns it.
    QMenu* createContextMenu();

    // How the history folder is shown after a save; replaceable so that tests and
    // headless runs never start a file browser.
    static std::function<void(const QString& folder)>& openFolderHook();

    // Milliseconds between two writes of gathered chunks.
    static constexpr int kFlushIntervalMs = 30;

    // Whether the view keeps showing the newest line: true unless the user scrolled
    // away from the end, and again once they scroll back to it.
    bool followsEnd() const { return followEnd_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void scrollToEnd();

    ConsoleFile* file_;
    int charCount_ = 0;
    QStringList pending_;
    int flushTimerId_ = 0;
    bool followEnd_ = true;
    bool scrolling_ = false; // our own scroll, not the user's
    bool repaintHeld_ = false;
};

// Watches all consoles together, and the console files kept without a console,
// and empties their views when their estimated memory use exceeds a limit. One
// per process.
class PlainTextEditWithFileManager : public QObject
{
    Q_OBJECT
public:
    static PlainTextEditWithFileManager* instance(QObject* parent = nullptr);
    // The manager if it still exists, without creating one (consoles destroyed
    // after the manager must not reach it).
    static PlainTextEditWithFileManager* existingInstance();
    ~PlainTextEditWithFileManager() override;

    void addConsole(PlainTextEditWithFile* console);
    void removeConsole(PlainTextEditWithFile* console);
    const QList<PlainTextEditWithFile*>& consoles() const { return consoles_; }
    void addFile(ConsoleFile* file);
    void removeFile(ConsoleFile* file);
    const QList<ConsoleFile*>& files() const { return files_; }

    // Limit in MiB (200 at creation; the settings widget sets it from "MaximumMemory").
    void setMemoryLimit(double mib) { memoryLimit_ = mib; }
    double memoryLimit() const { return memoryLimit_; }

    // Estimated MiB of all views, those of the files kept for a console included:
    // characters × 5.6 / 1,048,576.
    double estimatedMemory() const;
    // The 3000 ms watch: empties every view when the estimate exceeds the limit.
    // Returns true when it emptied them.
    bool checkMemory();

    static constexpr int kWatchIntervalMs = 3000;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    explicit PlainTextEditWithFileManager(QObject* parent);

    QList<PlainTextEditWithFile*> consoles_;
    QList<ConsoleFile*> files_;
    int timerId_ = 0;
    double memoryLimit_ = 200.0;
};
