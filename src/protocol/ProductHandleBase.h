#pragma once

#include <QList>
#include <QMap>
#include <QAction>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVersionNumber>

class QWidget;

// Base of each product line's handle: once the device is recognised it loads the
// line's protocols and shows its actions and windows; it knows the model's name and
// versions and where the line's release notes and firmware are downloaded from.
class ProductHandleBase : public QObject
{
    Q_OBJECT
public:
    ProductHandleBase(int productType, QObject* parent = nullptr);
    ~ProductHandleBase() override;

    // Loads the line's protocols (ProtocolFactory::loadProtocols) and may read the
    // device's parameters; returns an error text, empty when all went well.
    virtual QString handleProductRecognized() = 0;
    // Shows or hides the handle's actions and widgets; deactivating also hides the
    // windows of the hide list.
    virtual void setActive(bool active);

    // Puts the action into the product tool bar; it follows the handle's activity.
    void addToolBarAction(QAction* action);
    void addWidgetToHide(QWidget* widget);
    // The display name of a model id (system-frame byte 3).
    void setModelName(int modelId, const QString& name);

    QString displayName() const { return displayName_; }
    QString name() const { return name_; }
    int productType() const { return productType_; }
    bool isActive() const { return isActive_; }
    QMap<int, QString> modelNames() const { return modelNames_; }
    QVersionNumber firmwareVersion() const { return firmwareVersion_; }
    QVersionNumber hardwareVersion() const { return hardwareVersion_; }
    QVersionNumber latestFirmwareVersion() const { return latestFirmwareVersion_; }
    qint32 deviceBaudrate() const { return deviceBaudrate_; }
    QString firmwareFileName() const { return firmwareFileName_; }
    QString newReleaseNotes() const { return newReleaseNotes_; }
    QString allReleaseNotes() const { return allReleaseNotes_; }
    QList<QAction*> toolBarActions() const;
    // Set by the firmware window for a local image.
    void setLatestFirmwareVersion(const QVersionNumber& version) { latestFirmwareVersion_ = version; }

    // Reads the versions, the device's rate and the display name from the system
    // frame last received.
    void updateVersions();
    // products folder/<name_>/firmware/<channel folder>/release-notes.txt; channel 0
    // "release", 1 "beta", 2 "user/<userCode>".
    QString releaseNotesUrl(int channel, const QString& userCode) const;
    // Downloads the release notes and the firmware they name; on success
    // firmwareFileName() is the local path of the image and the result is empty,
    // else the result is the error text.
    QString downloadFirmware(int channel, const QString& userCode);
    // Reads the notes file: the firmware file name, its version and the notes; returns
    // the firmware's URL (notesUrl with the file name replaced), empty when the notes
    // name no firmware file.
    QString readReleaseNotes(const QString& notesPath, const QString& notesUrl);

protected:
    QString name_;
    QMap<int, QString> modelNames_;
    QStringList strings_;
    QString firmwareFileName_;
    QVersionNumber latestFirmwareVersion_;
    QString newReleaseNotes_;
    QString allReleaseNotes_;
    QString displayName_;
    QVersionNumber firmwareVersion_;
    QVersionNumber hardwareVersion_;
    qint32 deviceBaudrate_ = 0;
    QList<QVariant> items_;
    bool isActive_ = false;
    int productType_ = 0;
    QList<QPointer<QAction>> toolBarActions_;
    QList<QPointer<QWidget>> shownWidgets_;
    QList<QPointer<QWidget>> hiddenWidgets_;
};
