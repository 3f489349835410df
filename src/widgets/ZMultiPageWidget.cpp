#include "widgets/ZMultiPageWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

ZMultiPageWidget::ZMultiPageWidget(ZIPageFactory* factory, QWidget* parent)
    : QWidget(parent)
    , factory_(factory)
{
    if (factory_)
        factory_->setParent(this);

    mainLayout_ = new QVBoxLayout(this);
    mainLayout_->setContentsMargins(0, 0, 0, 0);
    stack_ = new QStackedLayout;
    mainLayout_->addLayout(stack_);

    controlRow_ = new QWidget(this);
    controlLayout_ = new QHBoxLayout(controlRow_);
    controlLayout_->setContentsMargins(0, 0, 0, 0);
    deleteButton_ = new QPushButton(QStringLiteral("-"), controlRow_);
    previousButton_ = new QPushButton(QStringLiteral("<"), controlRow_);
    chooser_ = new QComboBox(controlRow_);
    nextButton_ = new QPushButton(QStringLiteral(">"), controlRow_);
    addButton_ = new QPushButton(QStringLiteral("+"), controlRow_);
    chooser_->setDuplicatesEnabled(false);
    chooser_->setEditable(true);
    chooser_->setLineEdit(new QLineEdit(chooser_));
    // Typing into the chooser renames the current page.
    chooser_->setInsertPolicy(QComboBox::InsertAtCurrent);
    controlLayout_->addWidget(deleteButton_);
    controlLayout_->addWidget(previousButton_);
    controlLayout_->addWidget(chooser_, 1);
    controlLayout_->addWidget(nextButton_);
    controlLayout_->addWidget(addButton_);
    mainLayout_->addWidget(controlRow_);

    connect(addButton_, &QPushButton::clicked, this, [this] { addNewPage(); });
    connect(deleteButton_, &QPushButton::clicked, this, [this] { deletePage(currentIndex()); });
    connect(previousButton_, &QPushButton::clicked, this, &ZMultiPageWidget::previousPage);
    connect(nextButton_, &QPushButton::clicked, this, &ZMultiPageWidget::nextPage);
    connect(chooser_, QOverload<int>::of(&QComboBox::activated), this, &ZMultiPageWidget::activated);
    connect(chooser_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ZMultiPageWidget::indexChanged);
}

ZMultiPageWidget::~ZMultiPageWidget()
{
    // The chooser must not report index changes while the pages go away.
    chooser_->disconnect(this);
}

int ZMultiPageWidget::currentIndex() const
{
    return chooser_->currentIndex();
}

QWidget* ZMultiPageWidget::currentPage() const
{
    const int index = currentIndex();
    return index >= 0 && index < pages_.size() ? pages_.at(index) : nullptr;
}

QString ZMultiPageWidget::currentText() const
{
    return chooser_->currentText();
}

void ZMultiPageWidget::setCurrentIndex(int index)
{
    if (index < 0 || index >= pages_.size())
        index = 0;
    chooser_->setCurrentIndex(index);
}

void ZMultiPageWidget::setEditable(bool editable)
{
    if (editable == editable_)
        return;
    editable_ = editable;
    if (factory_)
        factory_->setEditable(editable);
    addButton_->setVisible(editable);
    deleteButton_->setVisible(editable);
    chooser_->setEditable(editable);
    if (editable)
        chooser_->setInsertPolicy(QComboBox::InsertAtCurrent);
    onEditableChanged(editable);
}

void ZMultiPageWidget::deletePage(int index)
{
    if (index < 0 || index >= pages_.size())
        return;
    QWidget* page = pages_.takeAt(index);
    stack_->removeWidget(page);
    page->deleteLater();
    chooser_->removeItem(index);
}

void ZMultiPageWidget::addNewPage(QString pageName)
{
    if (!multiplePages_ && !pages_.isEmpty())
        return;
    if (!factory_)
        return;
    QWidget* page = factory_->createPage(this);
    if (!page)
        return;
    pages_.append(page);
    stack_->addWidget(page);
    chooser_->addItem(pageName);
}

void ZMultiPageWidget::previousPage()
{
    const int n = pages_.size();
    if (n == 0)
        return;
    int index = currentIndex() - 1;
    if (index < 0)
        index = n - 1;
    chooser_->setCurrentIndex(index);
    emit activated(index);
}

void ZMultiPageWidget::nextPage()
{
    const int n = pages_.size();
    if (n == 0)
        return;
    int index = currentIndex() + 1;
    if (index >= n)
        index = 0;
    chooser_->setCurrentIndex(index);
    emit activated(index);
}

void ZMultiPageWidget::indexChanged(int index)
{
    if (index >= 0 && index < pages_.size())
        stack_->setCurrentWidget(pages_.at(index));
    emit currentIndexChanged(index);
}

void ZMultiPageWidget::onEditableChanged(bool)
{
}
