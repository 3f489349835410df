#pragma once

#include <QColor>
#include <QIcon>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

class QImage;

// Gives every window, tool bar and button its icons by number. Pictures of the
// general and toggle tables are monochrome and are recoloured to the current
// colour scheme: four tinted copies per picture (one per interaction state) are
// written once into a folder named after the four foreground colours and reused
// from then on. Status pictures (":/images/") are used as they are.
// The id tables are part of the interface: callers pass bare numbers.
class ZIconsManager : public QObject
{
    Q_OBJECT
public:
    // Interaction states, the index into stateSuffixes().
    enum State { Disabled = 0, Normal = 1, Hover = 2, PressedOrChecked = 3, StateCount = 4 };

    // Created on the first call with folder and parent; later calls return the same
    // instance and ignore their arguments. With an empty folder the instance uses
    // colorSchemeDir + "/color_scheme" (or a folder in the temporary area before the
    // user folders exist), so tinted copies never land in the file-system root.
    static ZIconsManager* instance(const QString& folder = QString(), QObject* parent = nullptr);
    ~ZIconsManager() override;

    // Makes the four colours current and makes sure the tinted copies of every
    // internal and general picture exist in their colour folder; returns that folder.
    QString setColors(const QColor& normal, const QColor& disabled, const QColor& hover,
                      const QColor& pressedOrChecked);

    QIcon icon(int id);        // general-icon table, tinted
    QIcon toggleIcon(int id);  // toggle-icon table, tinted, off and on pictures
    QIcon colorIcon(int id);   // status-icon table, untinted

    // "%1/%2%3.%4": folder, base name, state suffix, suffix of fileName.
    static QString stateIconPath(const QString& folder, const QString& fileName, int state);
    static const QStringList& stateSuffixes();

    // The fixed number tables (empty names for ids outside them).
    static QString generalIconName(int id);
    static QPair<QString, QString> toggleIconNames(int id);
    static QString colorIconName(int id);
    static int generalIconCount();
    static int toggleIconCount();
    static int colorIconCount();

    QString schemeFolder() const { return schemeFolder_; }
    // Empty until the first setColors.
    QString colorFolder() const { return colorFolder_; }
    QString generalIconsFolder() const { return generalIconsFolder_; }
    QColor normalColor() const { return normal_; }

private:
    ZIconsManager(const QString& folder, QObject* parent);
    // Writes the missing tinted copies of one picture; true when all four exist.
    bool ensureTintedCopies(const QString& sourcePath, const QString& targetFolder);
    QString tintedGeneralFile(const QString& name, int state);
    QIcon untintedIcon(const QString& name, const QString& onName = QString()) const;

    QColor normal_ = Qt::transparent;
    QColor disabled_ = Qt::transparent;
    QColor hover_ = Qt::transparent;
    QColor pressedOrChecked_ = Qt::transparent;
    QString schemeFolder_;
    QString colorFolder_;
    QString generalIconsFolder_;
    QMap<int, QIcon> icons_;
    QMap<int, QIcon> toggleIcons_;
    QMap<int, QIcon> colorIcons_;
};

// Recolours one picture: every pixel takes `colour` and keeps the picture's own
// alpha; the result is saved to `path` (format from its suffix). The file appears
// complete or not at all: it is written under a temporary name and renamed.
// Palette or RGB pictures are converted to 32-bit ARGB first.
bool tintImage(const QImage& image, const QColor& colour, const QString& path);
