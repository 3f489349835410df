#include "widgets/ZButtonTextEditable.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QMouseEvent>

ZButtonTextEditable::ZButtonTextEditable(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    setToolTip(tr("Right click to change name of the button"));
    editor_ = new QLineEdit(caption, this);
    editor_->setAlignment(Qt::AlignCenter);
    editor_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor_, 0, 0);
    editor_->hide();
    connect(editor_, &QLineEdit::editingFinished, this, &ZButtonTextEditable::finishEdit);
}

void ZButtonTextEditable::startEdit()
{
    editor_->setText(text());
    editor_->selectAll();
    editor_->show();
    editor_->setFocus();
}

void ZButtonTextEditable::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        startEdit();
    QPushButton::mouseReleaseEvent(event);
}

void ZButtonTextEditable::finishEdit()
{
    // Hiding the editor moves the focus away, which reports the edit a second time.
    if (editor_->isHidden())
        return;
    const QString name = editor_->text();
    setText(name);
    editor_->hide();
    emit textEditFinished(name);
}
