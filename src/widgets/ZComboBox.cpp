#include "widgets/ZComboBox.h"

#include <QEvent>

ZComboBox::ZComboBox(QWidget* parent)
    : QComboBox(parent)
{
}

QStringList ZComboBox::itemTexts() const
{
    QStringList texts;
    texts.reserve(count());
    for (int i = 0; i < count(); ++i)
        texts << itemText(i);
    return texts;
}

void ZComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        emit enableChanged(isEnabled());
}
