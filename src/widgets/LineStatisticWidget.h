#pragma once

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

private:
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
};
