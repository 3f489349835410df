#include "widgets/ZTableWidget.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

ZTableWidget::ZTableWidget(QWidget* parent, int columns, int rows, const QStringList& horizontalLabels,
                           const QStringList& verticalLabels)
    : QTableWidget(parent)
{
    setColumnCount(columns);
    if (!horizontalLabels.isEmpty())
        setHorizontalHeaderLabels(horizontalLabels);
    setRowCount(rows);
    if (!verticalLabels.isEmpty())
        setVerticalHeaderLabels(verticalLabels);

    menu_ = new QMenu(this);
    setContextMenuPolicy(Qt::CustomContextMenu);
    insertAction_ = menu_->addAction(tr("Insert new row"), this, &ZTableWidget::insertAtContextRow, QKeySequence());
    deleteAction_ = menu_->addAction(tr("Delete current row"), this, &ZTableWidget::deleteContextRow, QKeySequence());
    deleteLaterAction_ = menu_->addAction(tr("Delete rows current and later"), this,
                                          &ZTableWidget::deleteContextRowAndLater, QKeySequence());
    clearAction_ = menu_->addAction(tr("Clear"), this, [this] { setRowCount(0); }, QKeySequence());
    connect(this, &QWidget::customContextMenuRequested, this, &ZTableWidget::showContextMenu);
}

void ZTableWidget::fillRow(int row)
{
    for (int column = 0; column < columnCount(); ++column)
        setItem(row, column, new QTableWidgetItem);
}

void ZTableWidget::setRowCount(int rows)
{
    const int before = rowCount();
    QTableWidget::setRowCount(rows);
    for (int row = before; row < rowCount(); ++row)
        fillRow(row);
}

void ZTableWidget::setColumnCount(int columns)
{
    const int before = columnCount();
    QTableWidget::setColumnCount(columns);
    for (int column = before; column < columnCount(); ++column) {
        for (int row = 0; row < rowCount(); ++row)
            setItem(row, column, new QTableWidgetItem);
    }
}

void ZTableWidget::setCellsEnabled(bool enabled)
{
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            auto* item = new QTableWidgetItem;
            Qt::ItemFlags flags = item->flags();
            flags.setFlag(Qt::ItemIsEnabled, enabled);
            item->setFlags(flags);
            setItem(row, column, item);
        }
    }
}

void ZTableWidget::showContextMenu(const QPoint& pos)
{
    menu_->move(QCursor::pos());
    menu_->show();
    const QModelIndex index = indexAt(pos);
    contextRow_ = index.isValid() ? index.row() : -1;
}

bool ZTableWidget::contextRowValid() const
{
    return contextRow_ >= 0 && contextRow_ < rowCount();
}

void ZTableWidget::insertAtContextRow()
{
    if (!contextRowValid())
        return;
    insertRow(contextRow_);
    fillRow(contextRow_);
    emit newRowInserted(contextRow_);
}

void ZTableWidget::deleteContextRow()
{
    if (!contextRowValid())
        return;
    removeRow(contextRow_);
    emit rowRemoved();
}

void ZTableWidget::deleteContextRowAndLater()
{
    if (!contextRowValid())
        return;
    for (int row = rowCount() - 1; row >= contextRow_; --row)
        removeRow(row);
    emit rowRemoved();
}
