#include "widgets/WidgetIndicator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>

#include "foundation/ZIconsManager.h"

namespace {

QLabel* iconPage(int colorIconId, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setPixmap(ZIconsManager::instance()->colorIcon(colorIconId).pixmap(25, 25, QIcon::Normal, QIcon::Off));
    return label;
}

} // namespace

WidgetIndicator::WidgetIndicator(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget(this);
    pages_->addWidget(iconPage(6, pages_));
    pages_->addWidget(iconPage(8, pages_));
    layout->addWidget(pages_);
    pages_->setCurrentIndex(0);
}

void WidgetIndicator::setState(bool on)
{
    state_ = on;
    pages_->setCurrentIndex(on ? 1 : 0);
}
