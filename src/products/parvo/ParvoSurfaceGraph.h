#pragma once

#include <QString>
#include <QVector>
#include <QWidget>

#include <QtDataVisualization/QSurfaceDataProxy>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class ZFlowLayout;

namespace QtDataVisualization {
class Q3DSurface;
class QSurface3DSeries;
} // namespace QtDataVisualization

namespace Parvo {

// A square matrix of floats as a 3D surface, with its own Y-range controls,
// camera presets and a bar for the mean over all values. Without an OpenGL
// context it keeps only the lower row of controls and the mean.
class SurfaceGraph : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMeanBarMaximum = 100000;
    static constexpr int kStartPreset = 16; // DirectlyAbove

    // valueCount: 16 or 64 (the side is its integer square root).
    SurfaceGraph(int valueCount, double yMin, double yMax, const QString& title, QWidget* parent = nullptr);
    ~SurfaceGraph() override;

    // Row r, column c is the value of zone r x side + c; drawn at x = c, z = r.
    // A matrix smaller than side x side is ignored.
    void setData(const QVector<QVector<float>>& matrix);

    // The camera presets in code order: code i has name presetNames()[i].
    static const QStringList& presetNames();

    int side() const { return side_; }
    QtDataVisualization::Q3DSurface* graph() const { return graph_; }
    QtDataVisualization::QSurface3DSeries* series() const { return series_; }
    QDoubleSpinBox* yMinSpinBox() const { return yMinSpin_; }
    QDoubleSpinBox* yMaxSpinBox() const { return yMaxSpin_; }
    QComboBox* presetComboBox() const { return presetCombo_; }
    QPushButton* changePresetButton() const { return changePreset_; }
    QProgressBar* meanBar() const { return meanBar_; }
    QLabel* meanLabel() const { return meanLabel_; }
    QLabel* titleLabel() const { return titleLabel_; }
    // The range the user chose: the graph's Y axis and the mean bar follow it.
    double rangeMin() const { return rangeMin_; }
    double rangeMax() const { return rangeMax_; }
    // The camera preset code of the graph; -1 without a graph.
    int cameraPreset() const;
    // The width that holds its controls and the mean on one line.
    int controlsLineWidth() const;

private:
    void applyRange();
    void applyPreset(const QString& name);
    void buildGraph();

    int side_;
    double rangeMin_;
    double rangeMax_;
    QtDataVisualization::Q3DSurface* graph_ = nullptr;
    QtDataVisualization::QSurface3DSeries* series_ = nullptr;
    // Rewritten in place; the proxy owns it once handed over.
    QtDataVisualization::QSurfaceDataArray* array_ = nullptr;
    bool arrayHandedOver_ = false;
    QProgressBar* meanBar_ = nullptr;
    QLabel* meanLabel_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QDoubleSpinBox* yMinSpin_ = nullptr;
    QDoubleSpinBox* yMaxSpin_ = nullptr;
    QComboBox* presetCombo_ = nullptr;
    QPushButton* changePreset_ = nullptr;
    ZFlowLayout* controls_ = nullptr;
};

} // namespace Parvo
