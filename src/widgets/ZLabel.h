#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

// A caption followed by a value of fixed width, the way every product page shows a
// decoded field. With highlighting on, a changed value is drawn in the highlight colour.
class ZLabel : public QWidget
{
    Q_OBJECT
public:
    explicit ZLabel(const QString& caption, QWidget* parent = nullptr, int digits = 0);

    void setValue(const QString& text);
    QString value() const;

    // Fixes the whole label to the width of n digits of its value font, or to what
    // its caption and value need when that is more.
    void setFixedWidthInDigits(int n);
    void setCaptionRightAligned(bool rightAligned);

    QLabel* captionLabel() const { return caption_; }
    QLabel* valueLabel() const { return value_; }

    void setHighlightChanges(bool on) { highlightChanges_ = on; }
    bool highlightChanges() const { return highlightChanges_; }
    void setHighlightColor(const QColor& color) { highlightColor_ = color; }
    QColor highlightColor() const { return highlightColor_; }

private:
    QLabel* caption_ = nullptr;
    QLabel* value_ = nullptr;
    QColor highlightColor_ = Qt::red;
    bool highlightChanges_ = false;
    QColor shownColor_;
};
