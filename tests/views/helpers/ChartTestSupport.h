#pragma once

#include <QColor>
#include <QString>
#include <memory>

#include "model/ContainerItems.h"
#include "model/ResourceItemFactories.h"
#include "model/ResourceItems.h"

// Free-standing items built by their real factories (no page, no model), with
// a name and a colour as a page would give them.
namespace charts_test {

template <typename Item, typename Factory>
std::unique_ptr<Item> makeItem(const QString& name, const QColor& color = QColor(109, 95, 213))
{
    Factory factory;
    auto* item = static_cast<Item*>(factory.createItem(nullptr));
    item->setData(0, QStringLiteral("Test"));
    item->setData(1, name);
    item->setData(5, color.name());
    return std::unique_ptr<Item>(item);
}

inline std::unique_ptr<LineResourceItem> lineItem(const QString& name, const QColor& c = QColor(109, 95, 213))
{
    return makeItem<LineResourceItem, LineResourceItemFactory>(name, c);
}
inline std::unique_ptr<ScatterResourceItem> scatterItem(const QString& name, const QColor& c = QColor(191, 89, 62))
{
    return makeItem<ScatterResourceItem, ScatterResourceItemFactory>(name, c);
}
inline std::unique_ptr<Scatter3DResourceItem> scatter3DItem(const QString& name,
                                                            const QColor& c = QColor(32, 159, 223))
{
    return makeItem<Scatter3DResourceItem, Scatter3DResourceItemFactory>(name, c);
}
inline std::unique_ptr<AttitudeResourceItem> attitudeItem(const QString& name, const QColor& c = QColor(153, 202, 83))
{
    return makeItem<AttitudeResourceItem, AttitudeResourceItemFactory>(name, c);
}

inline std::unique_ptr<LineContainerItem> lineContainerItem(const QString& name)
{
    LineContainerItemFactory factory;
    auto* item = static_cast<LineContainerItem*>(factory.createItem(nullptr));
    item->setData(0, name);
    return std::unique_ptr<LineContainerItem>(item);
}

// Counts dataChanged of one column.
class ColumnSpy
{
public:
    ColumnSpy(BaseItem* item, int column);
    int count() const { return *count_; }

private:
    std::shared_ptr<int> count_ = std::make_shared<int>(0);
};

} // namespace charts_test
