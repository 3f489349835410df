#include "views/BaseContainer.h"

#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "foundation/UserPaths.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "views/BaseResource.h"
#include "views/ViewHooks.h"
#include "views/VolatileCombobox.h"
#include "widgets/ZWidgetHelpers.h"

BaseContainer::BaseContainer(BaseContainerItem* item, QWidget* parent) : QWidget(parent), item_(item)
{
    // Icon ids by resource type: Data, Line, Scatter, Attitude, Scatter3D.
    static const int kTypeIcons[] = {15, 34, 69, 1, 68};
    QList<QIcon> typeIcons;
    for (int id : kTypeIcons)
        typeIcons << ZIconsManager::instance()->icon(id);
    icon_ = typeIcons.value(int(item_->type()));

    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);

    auto* topBar = new QWidget(this);
    topBar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    topBar->setMaximumHeight(28);
    auto* topLayout = new QHBoxLayout(topBar);
    topLayout->setContentsMargins(0, 0, 0, 0);

    iconLabel_ = new QLabel(topBar);
    iconLabel_->setFixedSize(28, 28);
    nameLabel_ = new QLabel(topBar);
    windowChooser_ = new VolatileCombobox(item_->windowNamesFunction(), topBar);
    toolBar_ = new QToolBar(topBar);
    extraBarLayout_ = new QHBoxLayout();
    extraBarLayout_->setContentsMargins(0, 0, 0, 0);

    topLayout->addWidget(iconLabel_);
    topLayout->addWidget(nameLabel_);
    topLayout->addWidget(createVLine(topBar));
    topLayout->addWidget(windowChooser_);
    topLayout->addWidget(toolBar_);
    topLayout->addStretch(1);
    topLayout->addLayout(extraBarLayout_);
    mainLayout->addWidget(topBar);

    contentLayout_ = new QVBoxLayout();
    contentLayout_->setContentsMargins(0, 0, 0, 0);
    mainLayout->addLayout(contentLayout_, 1);

    screenshotButton_ = new QToolButton(toolBar_);
    screenshotButton_->setIcon(ZIconsManager::instance()->icon(70));
    screenshotButton_->setToolTip(tr("Screenshot"));
    toolBar_->addWidget(screenshotButton_);

    clearButton_ = new QToolButton(toolBar_);
    clearButton_->setIcon(ZIconsManager::instance()->icon(6));
    clearButton_->setToolTip(tr("Clear chart area"));
    clearButton_->setAutoRaise(true);
    clearButton_->setCheckable(false);
    toolBar_->addWidget(clearButton_);

    connect(item_, &BaseItem::dataChanged, this, &BaseContainer::handleItemDataChanged);
    connect(windowChooser_, &QComboBox::textActivated, this,
            [this](const QString& window) { item_->setData(BaseContainerItem::ColWindow, window); });
    connect(screenshotButton_, &QToolButton::clicked, this, [this] { takeScreenshot(); });
    connect(clearButton_, &QToolButton::clicked, this, &BaseContainer::clearChartArea);
}

void BaseContainer::syncFromItem()
{
    const int n = item_->columnCount();
    for (int c = 0; c < n; ++c)
        handleItemDataChanged(c);
    initialised_ = true;
    handleInitialized();
}

void BaseContainer::handleItemDataChanged(int column)
{
    switch (column) {
    case BaseContainerItem::ColName:
        nameLabel_->setText(item_->name());
        break;
    case BaseContainerItem::ColWindow:
        windowChooser_->setCurrentText(item_->window());
        if (windowChooser_->currentText() != item_->window() && !item_->window().isEmpty()) {
            windowChooser_->addItem(item_->window());
            windowChooser_->setCurrentText(item_->window());
        }
        break;
    case BaseContainerItem::ColAsDefault:
        iconPixmap_ = icon_.pixmap(iconSize_, item_->isDefault() ? QIcon::Active : QIcon::Normal);
        iconLabel_->setPixmap(iconPixmap_);
        emit iconChanged(this);
        break;
    default:
        break;
    }
}

void BaseContainer::putResource(BaseResource* resource)
{
    resources_.append(resource);
    addResource(resource);
    if (resource && resource->item()) {
        item_->appendResource(resource->item());
        item_->applyToResource(resource->item());
    }
}

QList<BaseResource*> BaseContainer::resources() const
{
    QList<BaseResource*> list;
    for (const QPointer<BaseResource>& r : resources_)
        if (r)
            list << r.data();
    return list;
}

void BaseContainer::takeResource(BaseResource* resource)
{
    for (int i = 0; i < resources_.size(); ++i) {
        if (resources_.at(i) == resource) {
            resources_.removeAt(i);
            break;
        }
    }
    removeResource(resource);
    if (resource && resource->item())
        item_->removeResource(resource->item());
}

void BaseContainer::clearChartArea()
{
    for (BaseResource* r : resources()) {
        BaseResourceItem* it = r ? r->item() : nullptr;
        if (!it || it->isFixedVisibility())
            continue;
        it->clear();
        it->setDirty(true);
    }
}

QString BaseContainer::screenshotFilePath() const
{
    return screenshotDir + QStringLiteral("/[%1]ScreenShot_").arg(nameLabel_->text())
           + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")) + QStringLiteral(".png");
}

QString BaseContainer::saveScreenshot(const QPixmap& pixmap)
{
    QDir().mkpath(screenshotDir);
    const QString path = screenshotFilePath();
    if (!pixmap.save(path, "PNG")) {
        zWarning() << "screenshot not written:" << path;
        return QString();
    }
    ViewHooks::openFolder(screenshotDir);
    return path;
}
