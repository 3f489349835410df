#include "views/CustomTabWidget.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

CustomTabWidget::CustomTabWidget(QWidget* parent)
    : QWidget(parent)
    , tabBar_(new QTabBar(this))
    , pages_(new QStackedWidget(this))
    , cornerLayout_(new QHBoxLayout())
{
    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    auto* barLayout = new QHBoxLayout();
    barLayout->setContentsMargins(0, 0, 0, 0);
    cornerLayout_->setContentsMargins(0, 0, 0, 0);
    barLayout->addWidget(tabBar_);
    barLayout->addStretch(1);
    barLayout->addLayout(cornerLayout_);
    mainLayout->addLayout(barLayout);
    mainLayout->addWidget(pages_, 1);

    tabBar_->setExpanding(false);
    connect(tabBar_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
    connect(tabBar_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            emit activated(tabBar_->tabText(index));
    });
}

int CustomTabWidget::addPage(QWidget* page, const QIcon& icon, const QString& text, int index)
{
    if (!page)
        return -1;
    if (index < 0 || index > pages_->count())
        index = pages_->count();
    // The page first: inserting the tab may make it current, which selects the page.
    pages_->insertWidget(index, page);
    const int tab = tabBar_->insertTab(index, icon, text);
    pages_->setCurrentIndex(tabBar_->currentIndex());
    return tab;
}

int CustomTabWidget::addPage(QWidget* page, const QString& text, int index)
{
    return addPage(page, QIcon(), text, index);
}

void CustomTabWidget::removePage(QWidget* page)
{
    const int index = pages_->indexOf(page);
    if (index < 0)
        return;
    pages_->removeWidget(page);
    tabBar_->removeTab(index);
    page->hide();
    page->setParent(nullptr);
    if (tabBar_->currentIndex() >= 0)
        pages_->setCurrentIndex(tabBar_->currentIndex());
}

void CustomTabWidget::setCurrentPage(QWidget* page)
{
    const int index = pages_->indexOf(page);
    if (index < 0)
        return;
    tabBar_->setCurrentIndex(index);
    pages_->setCurrentIndex(index);
}

void CustomTabWidget::setPageIcon(QWidget* page, const QIcon& icon)
{
    const int index = pages_->indexOf(page);
    if (index >= 0)
        tabBar_->setTabIcon(index, icon);
}

int CustomTabWidget::indexOf(QWidget* page) const
{
    return pages_->indexOf(page);
}

QWidget* CustomTabWidget::page(int index) const
{
    return pages_->widget(index);
}

QWidget* CustomTabWidget::currentPage() const
{
    return pages_->currentWidget();
}

int CustomTabWidget::count() const
{
    return pages_->count();
}
