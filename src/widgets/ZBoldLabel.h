#pragma once

#include <QLabel>

// A label in the bold weight of its default font, for headings inside pages.
class ZBoldLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ZBoldLabel(const QString& text = QString(), QWidget* parent = nullptr);
};
