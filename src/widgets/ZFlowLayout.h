#pragma once

#include <QLayout>
#include <QList>
#include <QStyle>

// Places widgets left to right and wraps them onto the next line when the width runs
// out. Widgets carry an order key, so that widgets created at different times still
// appear in a fixed order (equal keys keep their order of addition).
class ZFlowLayout : public QLayout
{
    Q_OBJECT
public:
    // A negative margin or spacing takes the style's value.
    explicit ZFlowLayout(QWidget* parent, int margin = -1, int hSpacing = -1, int vSpacing = -1);
    explicit ZFlowLayout(int margin = -1, int hSpacing = -1, int vSpacing = -1);
    ~ZFlowLayout() override;

    using QLayout::addWidget;
    // 64 bits, so that callers can combine a role and a 32-bit id into one key.
    void addWidget(qint64 key, QWidget* widget);
    // Puts item (taken over) among the others by key, as addWidget does.
    void addItem(qint64 key, QLayoutItem* item);
    // Appends the widgets side by side, `spacing` apart, as one item: a caption and its
    // value wrap together, never one at a line's end and the other on the next.
    void addGroup(const QList<QWidget*>& widgets, int spacing);

    int horizontalSpacing() const;
    int verticalSpacing() const;

    // Puts widget in place of the item at index (deleted), under the same key.
    void replaceAt(int index, QWidget* widget);
    // The order key of the item at index, or -1 outside the range.
    qint64 keyAt(int index) const;
    // The width that holds every item on one line, margins included.
    int lineWidth() const;

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    int doLayout(const QRect& rect, bool testOnly) const;
    // The spacing after an item (the style's between two buttons when none is set).
    int spacingAfter(QLayoutItem* item, Qt::Orientation orientation) const;
    int smartSpacing(QStyle::PixelMetric pm) const;

    QList<QLayoutItem*> items_;
    QList<qint64> keys_;
    int hSpace_ = -1;
    int vSpace_ = -1;
};
