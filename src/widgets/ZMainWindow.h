#pragma once

#include <QMainWindow>

#include "widgets/ZToolBar.h"

class QAction;

// Base of every top-level window of the program. Reports when the window is
// shown, closed and maximised; subclasses switch their protocols on and off in
// onVisibilityChanged, which runs before any listener of visibilityChanged.
class ZMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ZMainWindow(QWidget* parent = nullptr);
    ~ZMainWindow() override;

    ZToolBar* toolBar() const { return toolBar_; }
    bool wasMaximized() const { return wasMaximized_; }

    // The action that opens this window (set by the product handle that owns it);
    // null until then. Not owned.
    QAction* windowAction() const { return windowAction_; }
    void setWindowAction(QAction* action) { windowAction_ = action; }

signals:
    void visibilityChanged(bool visible);
    void maximizeChanged(bool maximize);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

    virtual void onVisibilityChanged(bool visible);

protected:
    // Set by the product handle that creates the action; null until then.
    QAction* windowAction_ = nullptr;

private:
    bool wasMaximized_ = false;
    ZToolBar* toolBar_ = nullptr;
};
