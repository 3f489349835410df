#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QWidget>

class BaseContainerItem;
class BaseResource;
class VolatileCombobox;
class QVBoxLayout;
class QHBoxLayout;
class QToolBar;
class QLabel;
class QToolButton;

// The widget of one container item: a top bar (type icon, name, window chooser,
// tool bar, read-outs) above the content of the kind, and the list of resources
// the view manager put in. The container never owns its resources.
class BaseContainer : public QWidget
{
    Q_OBJECT
public:
    explicit BaseContainer(BaseContainerItem* item, QWidget* parent = nullptr);

    BaseContainerItem* item() const { return item_; }
    // The resources put in and not yet taken out (a deleted one drops out).
    QList<BaseResource*> resources() const;
    bool isInitialized() const { return initialised_; }
    QIcon icon() const { return icon_; }
    QPixmap iconPixmap() const { return iconPixmap_; }

    // Every column through handleItemDataChanged, then handleInitialized().
    void syncFromItem();
    void putResource(BaseResource* resource);
    void takeResource(BaseResource* resource);
    // Empties every series the user may hide; the next refresh redraws them empty.
    void clearChartArea();
    // screenshot folder + "/[<name>]ScreenShot_<yyyyMMdd_HHmmss>.png"
    QString screenshotFilePath() const;

    // For tests and the layout: the parts of the top bar.
    QLabel* nameLabel() const { return nameLabel_; }
    QLabel* iconLabel() const { return iconLabel_; }
    VolatileCombobox* windowChooser() const { return windowChooser_; }
    QToolBar* toolBar() const { return toolBar_; }
    QToolButton* screenshotButton() const { return screenshotButton_; }
    QToolButton* clearButton() const { return clearButton_; }

    virtual void addResource(BaseResource* resource) = 0;
    virtual void removeResource(BaseResource* resource) = 0;
    // Saves a picture of the container at screenshotFilePath(); returns the path
    // written, empty when it could not be written.
    virtual QString takeScreenshot() = 0;
    virtual void handleInitialized() {}

public slots:
    virtual void handleItemDataChanged(int column);

signals:
    void iconChanged(BaseContainer* container);

protected:
    QVBoxLayout* contentLayout() const { return contentLayout_; }
    QHBoxLayout* extraBarLayout() const { return extraBarLayout_; }
    // Creates the screenshot folder, saves the picture and opens the folder.
    QString saveScreenshot(const QPixmap& pixmap);

private:
    BaseContainerItem* item_;
    QList<QPointer<BaseResource>> resources_;
    QVBoxLayout* contentLayout_;
    QHBoxLayout* extraBarLayout_;
    QToolBar* toolBar_;
    QLabel* iconLabel_;
    QLabel* nameLabel_;
    VolatileCombobox* windowChooser_;
    QToolButton* screenshotButton_;
    QToolButton* clearButton_;
    QIcon icon_;
    QSize iconSize_{26, 26};
    QPixmap iconPixmap_;
    bool initialised_ = false;
};
