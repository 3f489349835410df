#pragma once

#include "widgets/ZComboBox.h"

class QLineEdit;

// A list of numbers (baud rates, for instance) into which the user can type a value
// of their own after a right click. Typed values are kept in numeric order; an empty
// text removes the current value.
class ZComboBoxEditable : public ZComboBox
{
    Q_OBJECT
public:
    explicit ZComboBoxEditable(QWidget* parent = nullptr);

    QLineEdit* editor() const { return editor_; }
    void startEdit();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finishEdit();

    QLineEdit* editor_ = nullptr;
};
