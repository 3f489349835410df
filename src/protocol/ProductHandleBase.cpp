#include "protocol/ProductHandleBase.h"

#include "foundation/UserPaths.h"
#include "foundation/ZAlgo.h"
#include "foundation/ZDownloadManager.h"
#include "foundation/ZLog.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolSystem.h"

#include <QDir>
#include <QSettings>
#include <QTextCodec>
#include <QUrl>
#include <QWidget>

#include "widgets/ZToolBar.h"

namespace {
const QString kNotesFileName = QStringLiteral("release-notes.txt");

// Where the notes and images are downloaded to.
QString downloadFolder()
{
    return tempDir.isEmpty() ? QDir::tempPath() : tempDir;
}
} // namespace

ProductHandleBase::ProductHandleBase(int productType, QObject* parent)
    : QObject(parent)
    , productType_(productType)
{
}

ProductHandleBase::~ProductHandleBase() = default;

void ProductHandleBase::setActive(bool active)
{
    isActive_ = active;
    for (const QPointer<QAction>& action : toolBarActions_) {
        if (action)
            action->setVisible(active);
    }
    for (const QPointer<QWidget>& widget : shownWidgets_) {
        if (widget)
            widget->setVisible(active);
    }
    if (!active) {
        for (const QPointer<QWidget>& widget : hiddenWidgets_) {
            if (widget)
                widget->hide();
        }
    }
}

void ProductHandleBase::addToolBarAction(QAction* action)
{
    if (!action)
        return;
    toolBarActions_.append(action);
    if (ProductsManager* registry = ProductsManager::existing()) {
        if (ZToolBar* bar = registry->productToolBar())
            bar->addAction(action);
    }
}

void ProductHandleBase::addWidgetToHide(QWidget* widget)
{
    if (widget)
        hiddenWidgets_.append(widget);
}

void ProductHandleBase::setModelName(int modelId, const QString& name)
{
    modelNames_.insert(modelId, name);
}

QList<QAction*> ProductHandleBase::toolBarActions() const
{
    QList<QAction*> actions;
    for (const QPointer<QAction>& action : toolBarActions_) {
        if (action)
            actions.append(action.data());
    }
    return actions;
}

void ProductHandleBase::updateVersions()
{
    const SystemInfoFrame frame = ProtocolSystem::instance()->receivedFrame();
    deviceBaudrate_ = frame.baudRate();
    const auto& b = frame.bytes;
    if (b[7] != 0)
        firmwareVersion_ = QVersionNumber({b[10], b[9], b[8], b[7]});
    else
        firmwareVersion_ = QVersionNumber({b[10], b[9], b[8]});
    hardwareVersion_ = QVersionNumber({b[6], b[5]});
    const int modelId = b[3];
    displayName_ = modelNames_.value(modelId);
    if (!modelNames_.contains(modelId))
        zWarning() << "Product series is illegal:" << modelId;
}

QString ProductHandleBase::releaseNotesUrl(int channel, const QString& userCode) const
{
    QString folder;
    switch (channel) {
    case 0:
        folder = QStringLiteral("release");
        break;
    case 1:
        folder = QStringLiteral("beta");
        break;
    default:
        folder = QStringLiteral("user/userCode");
        folder.replace(QStringLiteral("userCode"), userCode);
        break;
    }
    return QStringLiteral("%1/%2/firmware/%3/%4").arg(productsDownloadUrl(), name_, folder, kNotesFileName);
}

QString ProductHandleBase::downloadFirmware(int channel, const QString& userCode)
{
    ZDownloadManager* downloads = ZDownloadManager::instance();
    const QString notesUrl = releaseNotesUrl(channel, userCode);
    const QString notesPath = downloads->downloadAndWait(QUrl(notesUrl), downloadFolder(), true);
    if (notesPath.isEmpty())
        return tr("Download release notes failed.");
    const QString firmwareUrl = readReleaseNotes(notesPath, notesUrl);
    if (firmwareUrl.isEmpty())
        return tr("Read release notes failed.");
    const QString firmwarePath = downloads->downloadAndWait(QUrl(firmwareUrl), downloadFolder(), false);
    if (firmwarePath.isEmpty())
        return tr("Download firmware file failed.");
    firmwareFileName_ = firmwarePath;
    return QString();
}

QString ProductHandleBase::readReleaseNotes(const QString& notesPath, const QString& notesUrl)
{
    QSettings notes(notesPath, QSettings::IniFormat);
    notes.setIniCodec(QTextCodec::codecForLocale());
    firmwareFileName_ = notes.value(QStringLiteral("FirmwareFileName")).toString();
    if (firmwareFileName_.isEmpty())
        return QString();
    latestFirmwareVersion_ = QVersionNumber::fromString(extractVersion(firmwareFileName_));
    newReleaseNotes_ = releaseNotesText(notes, firmwareVersion_, latestFirmwareVersion_);
    allReleaseNotes_ = releaseNotesText(notes, QVersionNumber(), latestFirmwareVersion_);
    // The image lies in the notes' folder; its name is one path segment there.
    QString url = notesUrl;
    const int slash = url.lastIndexOf(QLatin1Char('/'));
    url.truncate(slash + 1);
    return url + QString::fromLatin1(QUrl::toPercentEncoding(firmwareFileName_));
}
