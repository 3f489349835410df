#include "foundation/ZIconsManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QVector>

#include "foundation/UserPaths.h"
#include "foundation/ZLog.h"

namespace {

ZIconsManager* s_instance = nullptr;

const QString kSourceRoot = QStringLiteral(":/color_scheme");
const QString kGeneralSource = QStringLiteral(":/color_scheme/general_icons");

const QVector<QString>& generalTable()
{
    static const QVector<QString> table = {
        // 0-9
        "addtag.png", "airplane.png", "anchor.png", "autorecognize1.png", "axis3d.png", "car.png",
        "clear.png", "close.png", "command.png", "communication.png",
        // 10-19
        "company.png", "config.png", "connected1.png", "customize.png", "customizelayout.png",
        "data.png", "debug.png", "delete.png", "direction.png", "disconnected1.png",
        // 20-29
        "download.png", "embed.png", "export1.png", "frametag.png", "fusion.png",
        "globalrestart.png", "globalsetting.png", "gyro.png", "horizontalsplit.png", "human.png",
        // 30-39
        "import.png", "keepontop.png", "led.png", "lightning.png", "linechart.png", "list.png",
        "location.png", "mag.png", "map.png", "maximize.png",
        // 40-49
        "minimize.png", "model0.png", "model1.png", "model2.png", "model3.png", "model4.png",
        "model5.png", "needle.png", "newwindow.png", "normalizefrommaximize.png",
        // 50-59
        "openfile.png", "operate.png", "pause.png", "play.png", "popup.png", "poweroff.png",
        "protocol.png", "protocoldata.png", "purereading.png", "quadrotor.png",
        // 60-69
        "question.png", "read.png", "recording1.png", "replay1.png", "restart.png",
        "restartanchor.png", "restarttag.png", "save.png", "scatter3dchart.png", "scatterchart.png",
        // 70-79
        "screenshot.png", "serialport2.png", "setting.png", "stable.png", "static.png", "store.png",
        "tag.png", "tagstatus.png", "target.png", "track.png",
        // 80-89
        "update.png", "updatefirmware1.png", "upload.png", "verticalsplit.png", "vip.png",
        "website.png", "wirelesssetting.png", "write.png", "color-palette.png",
        "ahrs-calibration1.png",
        // 90-99
        "accx+.png", "accx-.png", "accy+.png", "accy-.png", "accz+.png", "accz-.png", "magx.png",
        "magy.png", "magz.png", "accelerometer.png",
        // 100-108
        "range.png", "signalreceiver.png", "selectall.png", "new.png", "menu1.png",
        "productSetting1.png", "dop.png", "history.png", "zoom.png",
    };
    return table;
}

const QVector<QPair<QString, QString>>& toggleTable()
{
    static const QVector<QPair<QString, QString>> table = {
        {"disconnected.png", "connected.png"},
        {"switch_off.png", "switch_on.png"},
    };
    return table;
}

const QVector<QString>& colorTable()
{
    static const QVector<QString> table = {
        "talmeno_logo.png", "talmeno_logo.png",
        "anchorgray.png", "anchorgreen.png", "anchorred.png", "anchoryellow.png",
        "lightgray.png", "lightgreen.png", "lightred.png", "lightyellow.png",
        "consolegray.png", "consolegreen.png", "consolered.png", "consoleyellow.png",
        "lightgray.png", "lightgreen.png", "lightred.png", "lightyellow.png",
        "lightgray.png", "lightgreen.png", "lightred.png", "lightyellow.png",
        "lightgray.png", "lightgreen.png", "lightred.png", "lightyellow.png",
        "lightblue.png", "lightcyan.png", "lightgray.png", "lightgreen.png",
    };
    return table;
}

QString defaultSchemeFolder()
{
    if (!colorSchemeDir.isEmpty())
        return colorSchemeDir + "/color_scheme";
    return QDir::tempPath() + "/talmeno_color_scheme";
}

} // namespace

bool tintImage(const QImage& image, const QColor& colour, const QString& path)
{
    if (image.isNull())
        return false;
    // A palette picture cannot be painted on; premultiplied ARGB keeps every alpha.
    QImage tinted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&tinted);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(tinted.rect(), colour);
    }
    // Written aside and renamed, so an interrupted run never leaves a half file
    // under the final name (a later run would take it as complete).
    const QFileInfo info(path);
    const QString format = info.suffix().toLower();
    const QString partial = info.absolutePath() + "/." + info.fileName() + ".part";
    QFile::remove(partial);
    if (!tinted.save(partial, format.isEmpty() ? nullptr : format.toLatin1().constData())) {
        QFile::remove(partial);
        return false;
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

ZIconsManager* ZIconsManager::instance(const QString& folder, QObject* parent)
{
    if (!s_instance)
        s_instance = new ZIconsManager(folder.isEmpty() ? defaultSchemeFolder() : folder, parent);
    return s_instance;
}

ZIconsManager::ZIconsManager(const QString& folder, QObject* parent)
    : QObject(parent), schemeFolder_(folder)
{
}

ZIconsManager::~ZIconsManager()
{
    if (s_instance == this)
        s_instance = nullptr;
}

const QStringList& ZIconsManager::stateSuffixes()
{
    static const QStringList suffixes = {"_disabled", "_normal", "_hover", "_pressedOrChecked"};
    return suffixes;
}

QString ZIconsManager::stateIconPath(const QString& folder, const QString& fileName, int state)
{
    const QFileInfo info(fileName);
    return QStringLiteral("%1/%2%3.%4")
        .arg(folder, info.baseName(), stateSuffixes().value(state), info.suffix());
}

QString ZIconsManager::generalIconName(int id)
{
    return generalTable().value(id);
}

QPair<QString, QString> ZIconsManager::toggleIconNames(int id)
{
    return toggleTable().value(id);
}

QString ZIconsManager::colorIconName(int id)
{
    return colorTable().value(id);
}

int ZIconsManager::generalIconCount() { return generalTable().size(); }
int ZIconsManager::toggleIconCount() { return toggleTable().size(); }
int ZIconsManager::colorIconCount() { return colorTable().size(); }

bool ZIconsManager::ensureTintedCopies(const QString& sourcePath, const QString& targetFolder)
{
    const QColor colours[StateCount] = {disabled_, normal_, hover_, pressedOrChecked_};
    const QString name = QFileInfo(sourcePath).fileName();
    QImage image; // loaded once, only when a copy is missing
    bool complete = true;
    for (int state = 0; state < StateCount; ++state) {
        const QString target = stateIconPath(targetFolder, name, state);
        if (QFileInfo(target).isFile())
            continue;
        if (image.isNull() && !image.load(sourcePath)) {
            zWarning() << "icon picture unreadable:" << sourcePath;
            return false;
        }
        if (!tintImage(image, colours[state], target)) {
            zWarning() << "tinted icon not written:" << target;
            complete = false;
        }
    }
    return complete;
}

QString ZIconsManager::setColors(const QColor& normal, const QColor& disabled, const QColor& hover,
                                 const QColor& pressedOrChecked)
{
    const QStringList names = {normal.name(), disabled.name(), hover.name(), pressedOrChecked.name()};
    const QString folder = schemeFolder_ + "/" + names.join(',');
    colorFolder_ = folder;
    generalIconsFolder_ = folder + "/general_icons";
    if (normal == normal_ && disabled == disabled_ && hover == hover_
        && pressedOrChecked == pressedOrChecked_)
        return folder;
    normal_ = normal;
    disabled_ = disabled;
    hover_ = hover;
    pressedOrChecked_ = pressedOrChecked;

    // A folder left complete by an earlier run costs only the existence checks; one
    // left incomplete (the run was interrupted) is completed file by file.
    for (const QString& sub : {QStringLiteral("/internal_icons"), QStringLiteral("/general_icons")}) {
        const QString target = folder + sub;
        if (!QDir().mkpath(target)) {
            zWarning() << "icon folder not created:" << target;
            continue;
        }
        const QDir source(kSourceRoot + sub);
        const QStringList files =
            source.entryList(QDir::Files | QDir::Readable | QDir::NoSymLinks);
        for (const QString& file : files)
            ensureTintedCopies(source.filePath(file), target);
    }
    return folder;
}

QString ZIconsManager::tintedGeneralFile(const QString& name, int state)
{
    return stateIconPath(generalIconsFolder_, name, state);
}

QIcon ZIconsManager::untintedIcon(const QString& name, const QString& onName) const
{
    QIcon result;
    result.addFile(kGeneralSource + "/" + name, QSize(), QIcon::Normal, QIcon::Off);
    if (!onName.isEmpty())
        result.addFile(kGeneralSource + "/" + onName, QSize(), QIcon::Normal, QIcon::On);
    return result;
}

QIcon ZIconsManager::icon(int id)
{
    const auto cached = icons_.constFind(id);
    if (cached != icons_.constEnd())
        return *cached;
    const QString name = generalIconName(id);
    // Before the first setColors there is no colour folder: hand out the plain
    // picture and keep the cache for the tinted one.
    if (generalIconsFolder_.isEmpty())
        return name.isEmpty() ? QIcon() : untintedIcon(name);
    QIcon result;
    if (!name.isEmpty()) {
        QDir().mkpath(generalIconsFolder_);
        ensureTintedCopies(kGeneralSource + "/" + name, generalIconsFolder_);
        result.addFile(tintedGeneralFile(name, Normal), QSize(), QIcon::Normal, QIcon::Off);
        result.addFile(tintedGeneralFile(name, Disabled), QSize(), QIcon::Disabled, QIcon::Off);
        result.addFile(tintedGeneralFile(name, Hover), QSize(), QIcon::Active, QIcon::Off);
    }
    icons_.insert(id, result);
    return result;
}

QIcon ZIconsManager::toggleIcon(int id)
{
    const auto cached = toggleIcons_.constFind(id);
    if (cached != toggleIcons_.constEnd())
        return *cached;
    const QPair<QString, QString> names = toggleIconNames(id);
    if (generalIconsFolder_.isEmpty())
        return names.first.isEmpty() ? QIcon() : untintedIcon(names.first, names.second);
    QIcon result;
    if (!names.first.isEmpty()) {
        QDir().mkpath(generalIconsFolder_);
        const QPair<QString, QIcon::State> parts[] = {{names.first, QIcon::Off},
                                                      {names.second, QIcon::On}};
        for (const auto& part : parts) {
            ensureTintedCopies(kGeneralSource + "/" + part.first, generalIconsFolder_);
            result.addFile(tintedGeneralFile(part.first, Normal), QSize(), QIcon::Normal, part.second);
            result.addFile(tintedGeneralFile(part.first, Disabled), QSize(), QIcon::Disabled, part.second);
            result.addFile(tintedGeneralFile(part.first, Hover), QSize(), QIcon::Active, part.second);
        }
    }
    toggleIcons_.insert(id, result);
    return result;
}

QIcon ZIconsManager::colorIcon(int id)
{
    const auto cached = colorIcons_.constFind(id);
    if (cached != colorIcons_.constEnd())
        return *cached;
    QIcon result;
    const QString name = colorIconName(id);
    if (!name.isEmpty()) {
        const QString path = ":/images/" + name;
        result.addFile(path, QSize(), QIcon::Normal, QIcon::Off);
        result.addFile(path, QSize(), QIcon::Disabled, QIcon::Off);
    }
    colorIcons_.insert(id, result);
    return result;
}
