#pragma once

#include "model/DataWidgetBaseFactory.h"
#include "widgets/DataWidgetBase.h"

#include <QList>

class DataResourceItem;
class LineResourceCollector;
class PlainTextEditWithFile;
class ZLabel;

namespace Trelvan {

class WidgetArray;
class WidgetVector3D;

// The page of tag frame 0: one device, so no node boxes. A console lists every
// frame with its system time; labels and value grids show the newest frame.
class WidgetTagFrame0 : public DataWidgetBase
{
    Q_OBJECT
public:
    WidgetTagFrame0(DataResourceItem* item, LineResourceCollector* collector, QWidget* parent = nullptr);

    void refresh() override;

    // Every value label of the page (the id label first), in the order they are cleared.
    QList<ZLabel*> valueLabels() const;

    PlainTextEditWithFile* console = nullptr;
    ZLabel* idLabel = nullptr;
    ZLabel* plrLabel = nullptr;
    WidgetVector3D* pos = nullptr;
    WidgetVector3D* vel = nullptr;
    WidgetArray* dis = nullptr;
    WidgetVector3D* g = nullptr;
    WidgetVector3D* a = nullptr;
    WidgetVector3D* angle = nullptr;
    WidgetArray* q = nullptr;
    ZLabel* localTimeLabel = nullptr;
    ZLabel* systemTimeLabel = nullptr;
    WidgetVector3D* eop = nullptr;
    ZLabel* voltageLabel = nullptr;
    DataResourceItem* dataItem = nullptr;
};

class WidgetTagFrame0Factory : public DataWidgetBaseFactory
{
public:
    explicit WidgetTagFrame0Factory(LineResourceCollector* collector)
        : collector_(collector)
    {
    }
    DataWidgetBase* create(DataResourceItem* item, QWidget* parent) override;
    LineResourceCollector* collector() const { return collector_; }

private:
    LineResourceCollector* collector_;
};

} // namespace Trelvan
