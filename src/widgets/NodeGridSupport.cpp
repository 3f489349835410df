#include "widgets/NodeGridSupport.h"

#include "foundation/ZIconsManager.h"
#include "widgets/ZLabel.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTime>

namespace NodeGrid {

namespace {
constexpr qint64 kMsecsPerDay = 86400000;
}

QString timeOfDayText(qint64 msecs, const QString& format)
{
    if (msecs < 0 || msecs >= kMsecsPerDay)
        return QString();
    return QTime::fromMSecsSinceStartOfDay(int(msecs)).toString(format);
}

QString frameInfoLine(quint32 systemTime, qint64 pcTime)
{
    QString line;
    if (systemTime != 0)
        line = "system: " + timeOfDayText(systemTime) + ", ";
    line += "pc: " + timeOfDayText(pcTime);
    return line;
}

QString rawFrameBlock(const QString& line, const QByteArray& rawFrame)
{
    return QString("[%1]\n").arg(line) + QString::fromLatin1(rawFrame.toHex(' ')) + "\n";
}

QStackedWidget* makeNodeLight(QWidget* parent)
{
    auto* stack = new QStackedWidget(parent);
    ZIconsManager* icons = ZIconsManager::instance();
    for (int id : {6, 7}) { // lightgray, lightgreen
        auto* light = new QLabel(stack);
        light->setPixmap(icons->colorIcon(id).pixmap(QSize(25, 25), QIcon::Normal, QIcon::Off));
        stack->addWidget(light);
    }
    stack->setCurrentIndex(0);
    return stack;
}

void clearLabelValues(const QList<ZLabel*>& labels)
{
    for (ZLabel* label : labels) {
        if (label)
            label->valueLabel()->clear();
    }
}

} // namespace NodeGrid
