#include "views/VolatileCombobox.h"

VolatileCombobox::VolatileCombobox(const ItemSource& source, QWidget* parent)
    : QComboBox(parent), source_(source)
{
    if (source_)
        addItems(source_());
}

void VolatileCombobox::refill()
{
    const QString current = currentText();
    // Refilling is not a user choice: nobody listening to activated() hears it.
    const bool wasBlocked = blockSignals(true);
    clear();
    if (source_)
        addItems(source_());
    setCurrentText(current);
    blockSignals(wasBlocked);
}

void VolatileCombobox::enterEvent(QEvent* event)
{
    QComboBox::enterEvent(event);
    refill();
}
