#include "views/ContainerNames.h"

#include "model/BaseModel.h"
#include "model/ResourceItems.h"

QStringList availableContainerNames(const BaseResourceItem* item)
{
    if (!item)
        return {};
    if (auto* model = qobject_cast<BaseResourceModel*>(item->ownerModel()))
        return model->availableContainerNames();
    // A free-standing item (no page): only where it is now.
    return item->containerName().isEmpty() ? QStringList() : QStringList{item->containerName()};
}
