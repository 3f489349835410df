#pragma once

#include "link/ZSerialPortInterface.h"
#include "protocol/SystemInfoSubject.h"
#include "widgets/ZMainWindow.h"

#include <QString>

#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedLayout;
class ProductHandleBase;

// The window from which the user brings a device's firmware up to date: it gets an
// image from the public or a user channel of the download server or from a local
// file, shows the release notes, offers the update when it is newer (or when told to
// ignore the version), writes it over the wire or through the wireless relay, and
// afterwards recognises the device again or searches the remote nodes. One instance,
// made by the product registry. GUI thread only.
class WidgetFirmwareUpdate : public ZMainWindow, public ZSerialPortInterface, public SystemInfoObserver
{
    Q_OBJECT
public:
    static WidgetFirmwareUpdate* instance(QWidget* parent = nullptr);
    // The window if it exists, without making one.
    static WidgetFirmwareUpdate* existing();
    ~WidgetFirmwareUpdate() override;

    void handleSerialPortStatusChanged(bool isOpen) override;
    void handleSystemInfoChanged(bool recognized, const SystemInfoFrame& frame) override;

    // The update goes to the remote nodes through the relay when on.
    void setWirelessUpdate(bool on);
    bool isWirelessUpdate() const { return wirelessUpdate_; }

    // Downloads the release notes and image of a channel (0 public, 2 the user
    // channel of userCode) through the current product's handle.
    void pullFirmware(int channel, const QString& userCode);
    // Lets the user choose a local image and its version.
    void loadLocalFirmware();
    // Writes the image at hand to the device (or the remote nodes).
    void startUpdate();
    void updateUpdateButton();
    void showFirmwareInfo(const QString& version);

    QString firmwareFile() const { return firmwareFile_; }
    bool isLocalFirmwareLoaded() const { return localFirmwareLoaded_; }
    bool isBetaRequested() const { return betaRequested_; }
    // A pull or an update is running.
    bool isBusy() const { return busy_; }

    QProgressBar* progressBar() const { return progressBar_; }
    QLabel* infoLabel() const { return infoLabel_; }
    QPushButton* updateButton() const { return updateButton_; }
    QPlainTextEdit* newReleaseNotesView() const { return newReleaseNotesView_; }
    QPlainTextEdit* allReleaseNotesView() const { return allReleaseNotesView_; }
    QCheckBox* showAllCheckBox() const { return showAllCheckBox_; }
    QStackedLayout* notesLayout() const { return notesLayout_; }
    QAction* localFirmwareAction() const { return localFirmwareAction_; }
    QAction* publicFirmwareAction() const { return publicFirmwareAction_; }
    QAction* betaFirmwareAction() const { return betaFirmwareAction_; }
    QAction* ignoreVersionAction() const { return ignoreVersionAction_; }

    // How the window asks for a text (parent, title, label, pre-filled text, answer):
    // true when confirmed. Replaceable so that headless runs answer it.
    using TextInputHook =
        std::function<bool(QWidget* parent, const QString& title, const QString& label, const QString& text,
                           QString* answer)>;
    // How the window asks a yes/no question (Yes the default); true for Yes.
    using QuestionHook = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
    // Install a hook; an empty one restores the dialog. Return the previous hook.
    static TextInputHook setTextInputHook(TextInputHook hook);
    static QuestionHook setQuestionHook(QuestionHook hook);

private:
    explicit WidgetFirmwareUpdate(QWidget* parent);
    void buildWidgets();
    void pullBetaFirmware();
    ProductHandleBase* currentHandle() const;
    bool askText(const QString& title, const QString& label, const QString& text, QString* answer);
    bool askQuestion(const QString& title, const QString& text);
    // Waits until the port delivers any data or ms pass.
    void waitForPortData(int ms);
    void showStatus(const QString& text, int ms);

    QProgressBar* progressBar_ = nullptr;
    QLabel* infoLabel_ = nullptr;
    QPushButton* updateButton_ = nullptr;
    QPlainTextEdit* newReleaseNotesView_ = nullptr;
    QPlainTextEdit* allReleaseNotesView_ = nullptr;
    QAction* localFirmwareAction_ = nullptr;
    QAction* publicFirmwareAction_ = nullptr;
    QAction* betaFirmwareAction_ = nullptr;
    QString betaCode_;
    QString localFirmwarePath_;
    QAction* ignoreVersionAction_ = nullptr;
    QString firmwareFile_;
    bool localFirmwareLoaded_ = false;
    bool wirelessUpdate_ = false;
    bool betaRequested_ = false;
    bool busy_ = false;
    QCheckBox* showAllCheckBox_ = nullptr;
    QStackedLayout* notesLayout_ = nullptr;
};

// Points the product registry's firmware hooks at the firmware frame and this
// window: the registry then creates both with the main window, opens the window
// from the product tool bar and pulls the public firmware after a product change.
// To be called once before ProductsManager::instance.
void installFirmwareUpdateHooks();
