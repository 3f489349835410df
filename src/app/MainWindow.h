#pragma once

#include <QList>
#include <QPointer>
#include <QSettings>
#include <QString>
#include <functional>

#include "widgets/ZMainWindow.h"

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QSpinBox;
class QToolButton;
class QVBoxLayout;
class SettingWidget;
class ZComboBox;
class ZComboBoxEditable;

// The program's main window and the place where the services are wired together:
// the frame pipeline, the pages, the product registry, the timers, the serial
// terminal and the data player bar; the menu and the tool bars; the worker threads.
// It also points the two message hooks at itself while it exists.
class MainWindow : public ZMainWindow
{
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // The window size for a screen's available area; false when it would not fit.
    static bool initialSize(const QSize& available, QSize* size);

    // "%1 %2  %3" filled with the three title texts.
    void updateWindowTitle();
    void setTitleText(int index, const QString& text);
    QString titleText(int index) const { return titles_[index]; }

    // Actions run once, 1000 ms after the next show of the window.
    void addDeferredAction(std::function<void()> action) { deferredActions_.append(std::move(action)); }
    int deferredActionCount() const { return deferredActions_.size(); }
    void runDeferredActions();

    // The window opened by "UWB Calibration": the product line that owns it installs
    // the factory at start-up; without one the action does nothing.
    using WindowFactory = std::function<QWidget*()>;
    static void setUwbCalibrationWindowFactory(WindowFactory factory);
    // The calibration window once made (process-wide), else null.
    static QWidget* uwbCalibrationWindow();

    // How the restart notice of "Use 3D" and the message-box hook's warning are
    // shown; replaceable so that tests and headless runs never block on a box.
    using DialogHook = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
    static DialogHook& informationBoxHook();
    static DialogHook& warningBoxHook();

    // Parts of the menu and tool bars, for the program's own checks.
    QToolButton* menuButton() const { return menuButton_; }
    QMenu* mainMenu() const { return mainMenu_; }
    QAction* use3DAction() const { return use3DAction_; }
    QAction* autoConnectAction() const { return autoConnectAction_; }
    QAction* autoRecognizeAction() const { return autoRecognizeAction_; }
    QAction* showModelViewTableAction() const { return showModelViewTableAction_; }
    QAction* openDataDirAction() const { return openDataDirAction_; }
    QAction* colorSchemeAction() const { return colorSchemeAction_; }
    QAction* uwbCalibrationAction() const { return uwbCalibrationAction_; }
    QAction* terminalAction() const { return terminalAction_; }
    SettingWidget* settingWidget() const { return settingWidget_; }
    QComboBox* protocolChooser() const { return protocolChooser_; }
    QCheckBox* udpCheckBox() const { return udpCheckBox_; }
    QSpinBox* udpPortBox() const { return udpPortBox_; }
    ZComboBox* portMirror() const { return portMirror_; }
    ZComboBoxEditable* baudrateMirror() const { return baudrateMirror_; }
    ZToolBar* playerToolBar() const { return playerToolBar_; }
    ZToolBar* recognitionToolBar() const { return recognitionToolBar_; }
    QWidget* colorSchemeEditor() const { return colorSchemeEditor_.data(); }

signals:
    void newMessageForStatusBar(QString message);
    void newMessageForMessageBox(QString message);

public slots:
    void handleAutoRecognize(bool connected);
    void handleAutoConnect();
    void handleMessageForStatusBar(QString message);
    void handleMessageForMessageBox(QString message);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void initMenu();
    QWidget* createUdpRow();
    void initToolBars();
    void showColorSchemeEditor();
    void showUwbCalibration();
    void stopWorkerThreads();

    QAction* autoRecognizeAction_ = nullptr;
    QAction* autoConnectAction_ = nullptr;
    QVBoxLayout* centralLayout_ = nullptr;
    QList<std::function<void()>> deferredActions_;
    QString titles_[3];
    SettingWidget* settingWidget_ = nullptr;
    QSettings settings_;

    QToolButton* menuButton_ = nullptr;
    QMenu* mainMenu_ = nullptr;
    QAction* use3DAction_ = nullptr;
    QAction* showModelViewTableAction_ = nullptr;
    QAction* openDataDirAction_ = nullptr;
    QAction* colorSchemeAction_ = nullptr;
    QAction* uwbCalibrationAction_ = nullptr;
    QAction* terminalAction_ = nullptr;
    QComboBox* protocolChooser_ = nullptr;
    QCheckBox* udpCheckBox_ = nullptr;
    QSpinBox* udpPortBox_ = nullptr;
    ZComboBox* portMirror_ = nullptr;
    ZComboBoxEditable* baudrateMirror_ = nullptr;
    ZToolBar* playerToolBar_ = nullptr;
    ZToolBar* recognitionToolBar_ = nullptr;
    QPointer<QWidget> colorSchemeEditor_;
    bool closing_ = false;
    bool threadsStopped_ = false;
};
