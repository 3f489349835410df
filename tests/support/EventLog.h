#pragma once

#include <QEvent>
#include <QHash>
#include <QObject>
#include <QStringList>

namespace talmeno_test {

// Notes, in order, each event of one type that the watched objects receive,
// under the label given to each object. Tests may add entries of their own
// (an input being read, say) to see what came first.
class EventLog : public QObject
{
public:
    explicit EventLog(QEvent::Type type) : type_(type) {}

    void watch(QObject* object, const QString& label)
    {
        labels_.insert(object, label);
        object->installEventFilter(this);
    }
    int count(const QString& label) const { return entries.count(label); }

    QStringList entries;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == type_)
            entries << labels_.value(watched);
        return false;
    }

private:
    QEvent::Type type_;
    QHash<QObject*, QString> labels_;
};

} // namespace talmeno_test
