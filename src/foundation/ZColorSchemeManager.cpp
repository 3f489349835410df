#include "foundation/ZColorSchemeManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTextStream>

#include "foundation/UserPaths.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"

namespace {

ZColorSchemeManager* s_instance = nullptr;

const QString kInternalFile = QStringLiteral(":/color_scheme/internal_colorscheme.ini");
const QString kStyleSheet = QStringLiteral(":/color_scheme/style.qss");

QString defaultFolder()
{
    if (!colorSchemeDir.isEmpty())
        return colorSchemeDir;
    return QDir::tempPath() + "/talmeno_color_scheme";
}

} // namespace

const QMap<int, QString>& ZColorSchemeManager::roleKeys()
{
    static const QMap<int, QString> keys = {
        {0, "foreground_color_normal"},
        {1, "foreground_color_disabled"},
        {2, "foreground_color_hover"},
        {3, "foreground_color_pressed_checked"},
        {4, "background_color_normal"},
        {5, "background_color_disabled"},
        {6, "background_color_hover"},
        {7, "background_color_pressed_checked"},
        {8, "background_color_button_normal"},
        {9, "background_color_inputarea"},
        {10, "foreground_color_selection"},
        {11, "background_color_selection"},
        {12, "border_color_normal"},
        {13, "border_color_focus"},
        {14, "scroll_bar_handle_normal"},
        {15, "scroll_bar_handle_disabled"},
        {16, "scroll_bar_handle_hover"},
        {17, "scroll_bar_handle_pressed"},
    };
    return keys;
}

QString ZColorSchemeManager::roleKey(int role)
{
    return roleKeys().value(role);
}

ZColorSchemeManager* ZColorSchemeManager::instance(const QString& folder, QObject* parent)
{
    if (!s_instance)
        s_instance = new ZColorSchemeManager(folder.isEmpty() ? defaultFolder() : folder, parent);
    return s_instance;
}

ZColorSchemeManager::ZColorSchemeManager(const QString& folder, QObject* parent)
    : QObject(parent), userFile_(folder + "/color_scheme/customized_colorscheme.ini")
{
    icons_ = ZIconsManager::instance(folder + "/color_scheme", this);
    loadSchemes(kInternalFile);
    internalCount_ = schemes_.size();
    loadSchemes(userFile_);
}

ZColorSchemeManager::~ZColorSchemeManager()
{
    qDeleteAll(schemes_);
    schemes_.clear();
    if (s_instance == this)
        s_instance = nullptr;
}

int ZColorSchemeManager::indexOf(const QString& name) const
{
    for (int i = 0; i < schemes_.size(); ++i) {
        if (schemes_.at(i)->name == name)
            return i;
    }
    return -1;
}

QColor ZColorSchemeManager::color(int role) const
{
    if (role < 0 || role >= RoleCount)
        return QColor(Qt::red);
    int index = indexOf(currentName_);
    if (index < 0)
        index = 0; // not applied yet: the first shipped scheme answers
    if (index >= schemes_.size())
        return QColor(Qt::red);
    return schemes_.at(index)->colors.value(role, QColor(Qt::red));
}

void ZColorSchemeManager::loadSchemes(const QString& path)
{
    if (!QFileInfo::exists(path))
        return;
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    const QStringList groups = settings.childGroups();
    for (const QString& group : groups) {
        auto* scheme = new Scheme;
        scheme->name = group;
        scheme->colors = QVector<QColor>(RoleCount, QColor(Qt::red));
        settings.beginGroup(group);
        settings.beginGroup("colors");
        const QStringList keys = settings.childKeys();
        for (const QString& key : keys) {
            const int role = roleKeys().key(key, -1);
            if (role < 0) {
                zWarning() << "key not existed" << key;
                continue;
            }
            scheme->colors[role] = QColor(settings.value(key).toString());
        }
        settings.endGroup();
        settings.endGroup();
        schemes_.append(scheme);
    }
}

void ZColorSchemeManager::saveScheme(const QString& name)
{
    const int index = indexOf(name);
    if (index < 0)
        return;
    const Scheme* scheme = schemes_.at(index);
    QDir().mkpath(QFileInfo(userFile_).absolutePath());
    QSettings settings(userFile_, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.beginGroup(name);
    settings.beginGroup("colors");
    for (int role = 0; role < RoleCount; ++role)
        settings.setValue(roleKey(role), scheme->colors.value(role, QColor(Qt::red)).name());
    settings.endGroup();
    settings.endGroup();
    settings.sync();
}

bool ZColorSchemeManager::copyScheme(const QString& source, const QString& newName)
{
    if (indexOf(newName) >= 0) {
        zWarning() << newName << "existed";
        return false;
    }
    // A slash would nest the group in the INI file and the scheme would come back
    // under another name; an empty name cannot be selected again.
    if (newName.trimmed().isEmpty() || newName.contains('/') || newName.contains('\\')) {
        zWarning() << "invalid color scheme name" << newName;
        return false;
    }
    const int from = indexOf(source);
    if (from < 0) {
        zWarning() << source << "not existed";
        return false;
    }
    auto* scheme = new Scheme;
    scheme->name = newName;
    scheme->colors = schemes_.at(from)->colors;
    schemes_.append(scheme);
    saveScheme(newName);
    return true;
}

bool ZColorSchemeManager::modifyScheme(const QString& name, const QVector<QColor>& colors)
{
    const int index = indexOf(name);
    if (index < 0) {
        zWarning() << name << "not existed";
        return false;
    }
    if (index < internalCount_) {
        zWarning() << "internal color scheme " << "can't be modified" << name;
        return false;
    }
    if (colors.size() != RoleCount) {
        zWarning() << "modifyScheme wrong color count" << colors.size();
        return false;
    }
    schemes_.at(index)->colors = colors;
    saveScheme(name);
    return true;
}

bool ZColorSchemeManager::deleteScheme(const QString& name)
{
    const int index = indexOf(name);
    if (index < internalCount_ || name == currentName_) {
        zWarning() << "deleteColorScheme" << index << name << currentName_;
        return false;
    }
    delete schemes_.takeAt(index);
    QSettings settings(userFile_, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.remove(name);
    settings.sync();
    return true;
}

QString ZColorSchemeManager::fillStyleSheet(QString styleTemplate, const QVector<QColor>& colors,
                                            const QString& internalIconsPath)
{
    styleTemplate.replace(QStringLiteral("internal_icons_path"), internalIconsPath);
    for (int role = 0; role < colors.size() && role < RoleCount; ++role) {
        const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(roleKey(role)));
        styleTemplate.replace(word, colors.at(role).name());
    }
    return styleTemplate;
}

bool ZColorSchemeManager::applyStyleSheet(const QString& name)
{
    if (schemes_.isEmpty()) {
        zCritical() << "no color scheme loaded";
        return false;
    }
    int index = indexOf(name);
    if (index < 0)
        index = 0;
    const Scheme* scheme = schemes_.at(index);
    const QString colorFolder =
        icons_->setColors(scheme->colors.value(ForegroundNormal), scheme->colors.value(ForegroundDisabled),
                          scheme->colors.value(ForegroundHover),
                          scheme->colors.value(ForegroundPressedChecked));

    QFile file(kStyleSheet);
    if (!file.exists()) {
        zCritical() << "style.qss not existed";
        return false;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        zCritical() << "style.qss open failed";
        return false;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    const QString sheet = fillStyleSheet(stream.readAll(), scheme->colors, colorFolder + "/internal_icons");
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(sheet);
    currentName_ = scheme->name;
    return true;
}
