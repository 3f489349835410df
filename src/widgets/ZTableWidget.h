#pragma once

#include <QStringList>
#include <QTableWidget>

class QMenu;
class QAction;

// A table whose every cell holds an item and whose rows the user inserts and
// deletes through a context menu at the row under the mouse.
class ZTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    ZTableWidget(QWidget* parent, int columns, int rows,
                 const QStringList& horizontalLabels = QStringList(),
                 const QStringList& verticalLabels = QStringList());

    // Like QTableWidget's, and every added cell receives an empty item.
    void setRowCount(int rows);
    void setColumnCount(int columns);
    // Replaces every cell by an empty item, enabled or not (cell texts are lost).
    void setCellsEnabled(bool enabled);

    QMenu* contextMenu() const { return menu_; }
    int contextRow() const { return contextRow_; }
    QAction* insertRowAction() const { return insertAction_; }
    QAction* deleteRowAction() const { return deleteAction_; }
    QAction* deleteLaterRowsAction() const { return deleteLaterAction_; }
    QAction* clearAction() const { return clearAction_; }

signals:
    void newRowInserted(int row);
    void rowRemoved();

private:
    void showContextMenu(const QPoint& pos);
    void insertAtContextRow();
    void deleteContextRow();
    void deleteContextRowAndLater();
    bool contextRowValid() const;
    void fillRow(int row);

    QMenu* menu_ = nullptr;
    int contextRow_ = 0;
    QAction* insertAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* deleteLaterAction_ = nullptr;
    QAction* clearAction_ = nullptr;
};
