#pragma once

#include "model/DataWidgetBaseFactory.h"
#include "widgets/DataWidgetBase.h"

#include <QByteArray>
#include <QString>

class DataResourceItem;
class LineResourceCollector;
class PlainTextEditWithFile;
class ZLabel;

namespace Sarvel {

// The value page of the single-point range frame: every received frame in hex with
// its time stamp, and the newest frame's values.
class WidgetFrame0 : public DataWidgetBase
{
    Q_OBJECT
public:
    WidgetFrame0(DataResourceItem* item, LineResourceCollector* collector, QWidget* parent = nullptr);

    void refresh() override;

    // "[HH:mm:ss:zzz]" of a system time taken as ms since midnight; empty from 24 h on.
    static QString timeStamp(quint32 systemTimeMs);
    // Two console lines of one frame: the stamp, then its bytes in hex.
    static QString consoleText(const QByteArray& frame);

    PlainTextEditWithFile* console() const { return console_; }
    ZLabel* label(int index) const { return index >= 0 && index < 5 ? labels_[index] : nullptr; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    DataResourceItem* item_;
    PlainTextEditWithFile* console_;
    ZLabel* labels_[5];
};

class WidgetFrame0Factory : public DataWidgetBaseFactory
{
public:
    explicit WidgetFrame0Factory(LineResourceCollector* collector)
        : collector_(collector)
    {
    }
    DataWidgetBase* create(DataResourceItem* item, QWidget* parent) override;

private:
    LineResourceCollector* collector_;
};

} // namespace Sarvel
