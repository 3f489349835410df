#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class LineResourceItem;

// One row of running statistics over the values a line item holds now: minimum,
// maximum, half range, mean, population standard deviation and the bias of the
// mean against a typed target. Computed only while the row is checked.
class LineStatisticWidget : public QWidget
{
    Q_OBJECT
public:
    // The parent argument is not used: the row is re-parented when a view adds it.
    explicit LineStatisticWidget(LineResourceItem* item, QWidget* parent = nullptr);

    void updateStatistics();

    // The check box's own width, and the width given to the check boxes of every row
    // of a page (at least its own), so that the rows wrap alike.
    int leadWidth() const;
    void setLeadWidth(int width);
    // The width of a check box showing name, drawn as this row's.
    int leadWidthFor(const QString& name) const;
    // The width that holds the whole row on one line.
    int lineWidth() const;

    // Null once the item is gone.
    LineResourceItem* item() const { return itemGuard_ ? item_ : nullptr; }
    QCheckBox* checkBox() const { return checkBox_; }
    QLineEdit* targetEdit() const { return targetEdit_; }
    double targetValue() const { return targetValue_; }
    QLabel* minLabel() const { return minLabel_; }
    QLabel* maxLabel() const { return maxLabel_; }
    QLabel* meanLabel() const { return meanLabel_; }
    QLabel* stdLabel() const { return stdLabel_; }
    QLabel* halfLabel() const { return halfLabel_; }
    QLabel* biasLabel() const { return biasLabel_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Captions above their values (a column narrower than a caption beside its value).
    void stackFigures(bool stacked);

    // Items belong to the data model; a row outliving its item shows nothing more.
    LineResourceItem* item_ = nullptr;
    QPointer<QObject> itemGuard_;
    QCheckBox* checkBox_ = nullptr;
    QLabel* minLabel_ = nullptr;
    QLabel* maxLabel_ = nullptr;
    QLabel* meanLabel_ = nullptr;
    QLabel* stdLabel_ = nullptr;
    QLabel* halfLabel_ = nullptr;
    QLineEdit* targetEdit_ = nullptr;
    QLabel* biasLabel_ = nullptr;
    double targetValue_ = 0.0;
    QList<QWidget*> cells_; // caption and value of each figure
    int cellWidth_ = 0;     // a cell with its caption beside its value
    bool stacked_ = false;
};
