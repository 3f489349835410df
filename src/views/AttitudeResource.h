#pragma once

#include <QImage>
#include <QPointer>
#include <QQuaternion>
#include <QVector3D>

#include "views/ChartResource3D.h"

class AttitudeResourceItem;
#include <QtDataVisualization/QCustom3DItem>

// Three angles shown as the rotation of a paper-plane model.
class AttitudeResource : public ChartResource3D
{
    Q_OBJECT
public:
    explicit AttitudeResource(AttitudeResourceItem* item, QObject* parent = nullptr);
    ~AttitudeResource() override;

    AttitudeResourceItem* attitudeItem() const { return attitudeItem_; }
    QtDataVisualization::QCustom3DItem* model() const { return model_; }
    // The colour texture last given to the model.
    QImage texture() const { return texture_; }

    // The model's rotation for an attitude value (degrees): pitch -y, yaw z - 90, roll -x.
    static QQuaternion rotationOf(const QVector3D& value);

    void setVisible(bool visible) override;
    void setColor(const QColor& color) override;
    void updateFromItem() override;
    void attachToGraph(QtDataVisualization::Q3DScatter* graph) override;
    void detachFromGraph() override;

public slots:
    void handleItemDataChanged(int column) override;

private:
    AttitudeResourceItem* attitudeItem_;
    QPointer<QtDataVisualization::QCustom3DItem> model_;
    QImage texture_;
};
