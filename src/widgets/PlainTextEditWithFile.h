#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QTemporaryFile>
#include <QTextStream>
#include <functional>

class QMenu;

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
    QString fileName() const { return file_.fileName(); }

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
    void resetFile(); // truncate the file to 0 bytes and restart the stream
    void attachStream();
    void scrollToEnd();

    QTemporaryFile file_;
    QTextStream stream_;
    int charCount_ = 0;
    QStringList pending_;
    int flushTimerId_ = 0;
    bool followEnd_ = true;
    bool scrolling_ = false; // our own scroll, not the user's
    bool repaintHeld_ = false;
};

// Watches all consoles together and empties their views when their estimated
// memory use exceeds a limit. One per process.
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

    // Limit in MiB (200 at creation; the settings widget sets it from "MaximumMemory").
    void setMemoryLimit(double mib) { memoryLimit_ = mib; }
    double memoryLimit() const { return memoryLimit_; }

    // Estimated MiB of all views: characters × 5.6 / 1,048,576.
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
    int timerId_ = 0;
    double memoryLimit_ = 200.0;
};
