#include "products/trelvan/protocols/TrelvanNaming.h"

namespace Trelvan {

QString indexSuffix(const QString& key)
{
    return key.isEmpty() ? QString() : QString("[%1]").arg(key);
}

QString makeItemName(const FieldDescriptor& descriptor, const QString& suffix)
{
    if (suffix.isEmpty())
        return descriptor.name + descriptor.unit;
    return descriptor.name + '_' + suffix + descriptor.unit;
}

QStringList makeVectorItemNames(const FieldDescriptor& descriptor, const QString& key)
{
    const QString index = indexSuffix(key);
    return {makeItemName(descriptor, "x" + index), makeItemName(descriptor, "y" + index),
            makeItemName(descriptor, "z" + index)};
}

QStringList makeArrayItemNames(const FieldDescriptor& descriptor, int n, const QString& key)
{
    const QString index = indexSuffix(key);
    QStringList names;
    names.reserve(qMax(n, 0));
    for (int i = 0; i < n; ++i)
        names << makeItemName(descriptor, QString::number(i) + index);
    return names;
}

QString makeRecordItemName(const FieldDescriptor& descriptor, const QString& key)
{
    return descriptor.name + indexSuffix(key) + descriptor.unit;
}

} // namespace Trelvan
