#pragma once

#include <QMainWindow>
#include <QString>

// The program's main window: wires the services together, holds the pages above the
// logger window, starts the worker threads when built and stops them on close.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // The window size for a screen's available area; false when it would not fit.
    static bool initialSize(const QSize& available, QSize* size);

signals:
    void newMessageForStatusBar(QString message);
    void newMessageForMessageBox(QString message);

public slots:
    void handleMessageForStatusBar(QString message);
    void handleMessageForMessageBox(QString message);

protected:
    void closeEvent(QCloseEvent* event) override;
};
