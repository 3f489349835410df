#include "widgets/ZFlowLayout.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QWidget>

ZFlowLayout::ZFlowLayout(QWidget* parent, int margin, int hSpacing, int vSpacing)
    : QLayout(parent)
    , hSpace_(hSpacing)
    , vSpace_(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

ZFlowLayout::ZFlowLayout(int margin, int hSpacing, int vSpacing)
    : hSpace_(hSpacing)
    , vSpace_(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

ZFlowLayout::~ZFlowLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void ZFlowLayout::addWidget(qint64 key, QWidget* widget)
{
    if (!widget)
        return;
    addChildWidget(widget);
    addItem(key, new QWidgetItem(widget));
}

void ZFlowLayout::addItem(qint64 key, QLayoutItem* item)
{
    if (!item)
        return;
    int index = 0;
    while (index < keys_.size() && keys_.at(index) <= key)
        ++index;
    keys_.insert(index, key);
    items_.insert(index, item);
    invalidate();
}

void ZFlowLayout::replaceAt(int index, QWidget* widget)
{
    if (index < 0 || index >= items_.size() || !widget)
        return;
    addChildWidget(widget);
    delete items_.at(index);
    items_[index] = new QWidgetItem(widget);
    invalidate();
}

void ZFlowLayout::addGroup(const QList<QWidget*>& widgets, int spacing)
{
    auto* group = new QHBoxLayout;
    group->setContentsMargins(0, 0, 0, 0);
    group->setSpacing(spacing);
    addChildLayout(group);
    for (QWidget* widget : widgets)
        group->addWidget(widget);
    addItem(group); // appended, as a plain addWidget
    invalidate();
}

void ZFlowLayout::addItem(QLayoutItem* item)
{
    keys_.append(keys_.size());
    items_.append(item);
}

int ZFlowLayout::horizontalSpacing() const
{
    return hSpace_ >= 0 ? hSpace_ : smartSpacing(QStyle::PM_LayoutHorizontalSpacing);
}

int ZFlowLayout::verticalSpacing() const
{
    return vSpace_ >= 0 ? vSpace_ : smartSpacing(QStyle::PM_LayoutVerticalSpacing);
}

qint64 ZFlowLayout::keyAt(int index) const
{
    return index >= 0 && index < keys_.size() ? keys_.at(index) : -1;
}

QLayoutItem* ZFlowLayout::itemAt(int index) const
{
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* ZFlowLayout::takeAt(int index)
{
    if (index < 0 || index >= items_.size())
        return nullptr;
    // The key leaves with its item, so later insertions by key still land right.
    keys_.removeAt(index);
    return items_.takeAt(index);
}

int ZFlowLayout::count() const
{
    return items_.size();
}

Qt::Orientations ZFlowLayout::expandingDirections() const
{
    return {};
}

bool ZFlowLayout::hasHeightForWidth() const
{
    return true;
}

int ZFlowLayout::heightForWidth(int width) const
{
    return doLayout(QRect(0, 0, width, 0), true);
}

QSize ZFlowLayout::minimumSize() const
{
    QSize size;
    for (const QLayoutItem* item : items_)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    size += QSize(m.left() + m.right(), m.top() + m.bottom());
    return size;
}

QSize ZFlowLayout::sizeHint() const
{
    return minimumSize();
}

void ZFlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    doLayout(rect, false);
}

int ZFlowLayout::smartSpacing(QStyle::PixelMetric pm) const
{
    QObject* p = parent();
    if (!p)
        return -1;
    if (p->isWidgetType()) {
        auto* pw = static_cast<QWidget*>(p);
        return pw->style()->pixelMetric(pm, nullptr, pw);
    }
    return static_cast<QLayout*>(p)->spacing();
}

int ZFlowLayout::spacingAfter(QLayoutItem* item, Qt::Orientation orientation) const
{
    const int set = orientation == Qt::Horizontal ? horizontalSpacing() : verticalSpacing();
    if (set != -1)
        return set;
    const QWidget* w = item->widget();
    const QStyle* style = w ? w->style() : QApplication::style();
    return style->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, orientation);
}

int ZFlowLayout::lineWidth() const
{
    const QMargins m = contentsMargins();
    int width = m.left() + m.right();
    for (int i = 0; i < items_.size(); ++i) {
        if (i > 0)
            width += spacingAfter(items_.at(i - 1), Qt::Horizontal);
        width += items_.at(i)->sizeHint().width();
    }
    return width;
}

int ZFlowLayout::doLayout(const QRect& rect, bool testOnly) const
{
    int left = 0, top = 0, right = 0, bottom = 0;
    getContentsMargins(&left, &top, &right, &bottom);
    const QRect area = rect.adjusted(left, top, -right, -bottom);
    int x = area.x();
    int y = area.y();
    int lineHeight = 0;

    for (QLayoutItem* item : items_) {
        const int spaceX = spacingAfter(item, Qt::Horizontal);
        const int spaceY = spacingAfter(item, Qt::Vertical);

        const QSize hint = item->sizeHint();
        int nextX = x + hint.width() + spaceX;
        // An item that ends right at the edge still fits (right() is the last pixel).
        if (nextX - spaceX > area.x() + area.width() && lineHeight > 0) {
            x = area.x();
            y = y + lineHeight + spaceY;
            nextX = x + hint.width() + spaceX;
            lineHeight = 0;
        }
        if (!testOnly)
            item->setGeometry(QRect(QPoint(x, y), hint));
        x = nextX;
        lineHeight = qMax(lineHeight, hint.height());
    }
    return y + lineHeight - rect.y() + bottom;
}
