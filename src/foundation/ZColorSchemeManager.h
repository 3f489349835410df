#pragma once

#include <QColor>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

class ZIconsManager;

// Keeps the colour schemes (the shipped read-only ones, then the user's own), makes
// one current by filling the style-sheet template with its eighteen colours, hands
// the current colours to widgets that paint themselves and tells the icon manager
// the four foreground colours so icons match.
class ZColorSchemeManager : public QObject
{
    Q_OBJECT
public:
    enum Role {
        ForegroundNormal = 0,
        ForegroundDisabled = 1,
        ForegroundHover = 2,
        ForegroundPressedChecked = 3,
        BackgroundNormal = 4,
        BackgroundDisabled = 5,
        BackgroundHover = 6,
        BackgroundPressedChecked = 7,
        BackgroundButtonNormal = 8,
        BackgroundInputArea = 9,
        ForegroundSelection = 10,
        BackgroundSelection = 11,
        BorderNormal = 12,
        BorderFocus = 13,
        ScrollBarHandleNormal = 14,
        ScrollBarHandleDisabled = 15,
        ScrollBarHandleHover = 16,
        ScrollBarHandlePressed = 17,
        RoleCount = 18
    };

    struct Scheme
    {
        QString name;
        QVector<QColor> colors; // RoleCount entries, indexed by role
    };

    // Created on the first call; later calls ignore their arguments. The user's
    // schemes lie in folder + "/color_scheme/customized_colorscheme.ini". An empty
    // folder means colorSchemeDir (or a temporary folder before it is known).
    static ZColorSchemeManager* instance(const QString& folder = QString(), QObject* parent = nullptr);
    ~ZColorSchemeManager() override;

    // Makes the named scheme current (an unknown name: the first scheme). False when
    // the style sheet could not be read; then nothing changes.
    bool applyStyleSheet(const QString& name);

    // The current scheme's colour of a role. Before the first apply the first
    // (shipped) scheme answers; a role outside 0..17 gives Qt::red, the colour the
    // loader also gives to missing roles, so the mistake shows.
    QColor color(int role) const;
    QString currentSchemeName() const { return currentName_; }
    int indexOf(const QString& name) const;
    int internalCount() const { return internalCount_; }
    const QList<Scheme*>& schemes() const { return schemes_; }

    // Each returns whether it changed the list (and the user's file); refusals are
    // logged as warnings and leave both unchanged.
    bool copyScheme(const QString& source, const QString& newName);
    bool modifyScheme(const QString& name, const QVector<QColor>& colors);
    bool deleteScheme(const QString& name);

    void loadSchemes(const QString& path);
    void saveScheme(const QString& name);

    QString userSchemeFile() const { return userFile_; }
    ZIconsManager* iconsManager() const { return icons_; }

    static QString roleKey(int role); // empty outside 0..17
    static const QMap<int, QString>& roleKeys();
    // The template with "internal_icons_path" and every whole-word role key replaced.
    static QString fillStyleSheet(QString styleTemplate, const QVector<QColor>& colors,
                                  const QString& internalIconsPath);

private:
    ZColorSchemeManager(const QString& folder, QObject* parent);

    QString userFile_;
    int internalCount_ = 0;
    QString currentName_;
    QList<Scheme*> schemes_;
    ZIconsManager* icons_ = nullptr;
};
