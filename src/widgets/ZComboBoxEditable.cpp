#include "widgets/ZComboBoxEditable.h"

#include <QFocusEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

ZComboBoxEditable::ZComboBoxEditable(QWidget* parent)
    : ZComboBox(parent)
{
    setToolTip(tr("Right click to insert customized value"));
    editor_ = new QLineEdit(this);
    auto* validator = new QIntValidator(editor_);
    validator->setBottom(1);
    editor_->setValidator(validator);
    editor_->hide();
    // The validator holds an empty text as intermediate, so the editor never reports
    // it as finished: Return and focus-out on an empty text are caught here instead.
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::editingFinished, this, &ZComboBoxEditable::finishEdit);
}

void ZComboBoxEditable::startEdit()
{
    editor_->resize(size());
    editor_->setText(currentText());
    editor_->show();
    editor_->setFocus();
}

void ZComboBoxEditable::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        startEdit();
    ZComboBox::mouseReleaseEvent(event);
}

void ZComboBoxEditable::leaveEvent(QEvent* event)
{
    ZComboBox::leaveEvent(event);
}

bool ZComboBoxEditable::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor_ && editor_->text().isEmpty()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                finishEdit();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut
                   && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            // As the editor itself does: its own context menu does not end the edit.
            finishEdit();
        }
    }
    return ZComboBox::eventFilter(watched, event);
}

void ZComboBoxEditable::finishEdit()
{
    // Hiding the editor moves the focus away, which reports the edit a second time.
    if (editor_->isHidden())
        return;
    const QString text = editor_->text();
    editor_->hide();

    if (text.isEmpty()) {
        if (currentIndex() >= 0)
            removeItem(currentIndex());
        return;
    }
    if (text == currentText())
        return;
    const int existing = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (existing >= 0) {
        setCurrentIndex(existing);
        return;
    }
    const int value = text.toInt();
    int at = count();
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).toInt() > value) {
            at = i;
            break;
        }
    }
    insertItem(at, text);
    setCurrentIndex(at);
}
