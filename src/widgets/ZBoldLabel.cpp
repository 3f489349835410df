#include "widgets/ZBoldLabel.h"

ZBoldLabel::ZBoldLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    QFont f = font();
    f.setWeight(75);
    setFont(f);
}
