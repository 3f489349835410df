#include <QMetaType>
#include <QVector3D>

#include "model/ContainerItems.h"
#include "model/ResourceItems.h"
#include "model/ResourceType.h"
#include "model/ResourceValues.h"
#include "model/WindowModel.h"

void registerModelMetaTypes()
{
    // Function-local static: registered once, thread-safe.
    static const bool registered = []() {
        qRegisterMetaType<ResourceType>("ResourceType");
        qRegisterMetaType<ScatterValue>("ScatterValue");
        qRegisterMetaType<Scatter3DValue>("Scatter3DValue");
        qRegisterMetaType<BaseItem*>("BaseItem*");
        qRegisterMetaType<BaseResourceItem*>("BaseResourceItem*");
        qRegisterMetaType<BaseContainerItem*>("BaseContainerItem*");
        qRegisterMetaType<LineResourceItem*>("LineResourceItem*");
        qRegisterMetaType<WindowItem*>("WindowItem*");
        qRegisterMetaType<WindowItem::WindowItemType>("WindowItem::WindowItemType");
        return true;
    }();
    Q_UNUSED(registered);
}
