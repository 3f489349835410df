#include "widgets/ZUiColorSchemeManager.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "widgets/ZColorLabel.h"

ZUiColorSchemeManager::QuestionDialog ZUiColorSchemeManager::questionHook =
    [](QWidget* parent, const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No);
    };

ZUiColorSchemeManager::TextInputDialog ZUiColorSchemeManager::inputHook =
    [](QWidget* parent, const QString& title, const QString& label, const QString& text, bool* ok) {
        return QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, ok);
    };

ZUiColorSchemeManager::ZUiColorSchemeManager(ZColorSchemeManager* manager, QWidget* parent)
    : ZMainWindow(parent), manager_(manager)
{
    setWindowTitle(tr("Color Scheme"));
    setWindowIcon(ZIconsManager::instance()->icon(11));

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget(scroll);
    auto* column = new QVBoxLayout(content);

    auto* row = new QHBoxLayout;
    deleteButton_ = new QPushButton(tr("Delete"), content);
    copyButton_ = new QPushButton(tr("Copy"), content);
    schemeBox_ = new QComboBox(content);
    schemeBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    applyButton_ = new QPushButton(tr("Apply"), content);
    row->addWidget(deleteButton_);
    row->addWidget(copyButton_);
    row->addWidget(schemeBox_);
    row->addWidget(applyButton_);
    row->addStretch(1);
    column->addLayout(row);

    auto* grid = new QGridLayout;
    for (int role = 0; role < ZColorSchemeManager::RoleCount; ++role) {
        auto* label = new QLabel(ZColorSchemeManager::roleKey(role), content);
        auto* swatch = new ZColorLabel(content);
        swatch->setFixedWidth(60);
        grid->addWidget(label, role % 5, 2 * (role / 5));
        grid->addWidget(swatch, role % 5, 2 * (role / 5) + 1);
        swatches_.append(swatch);
    }
    column->addLayout(grid);
    column->addStretch(1);
    scroll->setWidget(content);
    setCentralWidget(scroll);
    // The editor adds nothing to the base's tool bar; an empty bar would only draw a line.
    toolBar()->hide();
    // Open large enough to show every swatch without scrolling.
    resize(content->sizeHint() + QSize(2 * scroll->frameWidth() + 4, 2 * scroll->frameWidth() + 4));

    for (const ZColorSchemeManager::Scheme* scheme : manager_->schemes())
        schemeBox_->addItem(scheme->name);
    schemeBox_->setCurrentIndex(-1);

    for (int role = 0; role < swatches_.size(); ++role) {
        connect(swatches_.at(role), &ZColorLabel::colorChanged, this,
                [this, role](const QColor& color) { onSwatchChanged(role, color); });
    }
    connect(schemeBox_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ZUiColorSchemeManager::onSchemeSelected);
    connect(applyButton_, &QPushButton::clicked, this, &ZUiColorSchemeManager::applySelected);
    connect(copyButton_, &QPushButton::clicked, this, &ZUiColorSchemeManager::copySelected);
    connect(deleteButton_, &QPushButton::clicked, this, &ZUiColorSchemeManager::deleteSelected);

    schemeBox_->setCurrentIndex(
        schemeBox_->findText(manager_->currentSchemeName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void ZUiColorSchemeManager::onSwatchChanged(int role, const QColor& color)
{
    const int position = schemeBox_->currentIndex();
    if (position < 0 || position >= manager_->schemes().size())
        return;
    if (color != manager_->schemes().at(position)->colors.value(role))
        modified_ = true;
}

void ZUiColorSchemeManager::onSchemeSelected(int position)
{
    if (modified_ && position != previousPosition_ && previousPosition_ >= 0) {
        const QString previousName = schemeBox_->itemText(previousPosition_);
        const QMessageBox::StandardButton answer = questionHook(
            this, tr("Color Scheme Changed"),
            tr("The color scheme %1 was modified,do you want to save the changes?").arg(previousName));
        if (answer == QMessageBox::Yes)
            saveFromSwatches(previousPosition_);
    }
    modified_ = false;
    const auto& schemes = manager_->schemes();
    if (position >= 0 && position < schemes.size()) {
        const QVector<QColor>& colors = schemes.at(position)->colors;
        for (int role = 0; role < swatches_.size(); ++role)
            swatches_.at(role)->setColor(colors.value(role));
    }
    const bool editable = position >= manager_->internalCount();
    for (ZColorLabel* swatch : qAsConst(swatches_))
        swatch->setEnabled(editable);
    deleteButton_->setEnabled(editable);
    previousPosition_ = position;
}

void ZUiColorSchemeManager::saveFromSwatches(int position)
{
    if (position < 0 || position >= schemeBox_->count()) {
        zWarning() << "saveScheme index out of range" << position << schemeBox_->count();
        return;
    }
    QVector<QColor> colors;
    colors.reserve(swatches_.size());
    for (const ZColorLabel* swatch : qAsConst(swatches_))
        colors.append(swatch->color());
    manager_->modifyScheme(schemeBox_->itemText(position), colors);
}

void ZUiColorSchemeManager::applySelected()
{
    const int position = schemeBox_->currentIndex();
    if (position < 0)
        return;
    if (modified_) {
        saveFromSwatches(position);
        modified_ = false;
    }
    manager_->applyStyleSheet(schemeBox_->itemText(position));
}

void ZUiColorSchemeManager::copySelected()
{
    const QString source = schemeBox_->currentText();
    bool ok = false;
    const QString name = inputHook(this, tr("Copy color scheme"), tr("New color scheme name:"),
                                   source + "(copy)", &ok);
    if (!ok || name.isEmpty())
        return;
    // The box follows the manager's list: a refused copy adds no item.
    if (!manager_->copyScheme(source, name))
        return;
    schemeBox_->addItem(name);
    schemeBox_->setCurrentIndex(schemeBox_->count() - 1);
}

void ZUiColorSchemeManager::deleteSelected()
{
    const int position = schemeBox_->currentIndex();
    if (position < 0)
        return;
    modified_ = false;
    // A refused delete (the scheme is in use) keeps the item, so positions stay aligned.
    if (!manager_->deleteScheme(schemeBox_->itemText(position)))
        return;
    previousPosition_ = -1;
    schemeBox_->removeItem(position);
}
