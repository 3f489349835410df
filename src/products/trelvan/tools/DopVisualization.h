#pragma once

#include "products/trelvan/tools/DopSurfaceGraph.h"

#include <QMainWindow>
#include <QVector>
#include <QVector3D>

class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace Trelvan {

// The DOP map: the five DOP surfaces of an anchor layout on the left, on the right
// the anchor text, the plane and grid, the DOP axis, the selection mode and one row
// per DOP kind. Every editor value is kept in the settings under "DopVisualization".
class DopVisualization : public QMainWindow
{
    Q_OBJECT
public:
    explicit DopVisualization(QWidget* parent = nullptr);
    ~DopVisualization() override;

    // The anchors found in text: every three numbers in a row, with the text of the
    // parsed view ("(x,y,z) " per anchor, the numbers as typed).
    static QVector<QVector3D> parseAnchors(const QString& text, QString* view = nullptr);
    // Fits the DOP axis to [min, max] rounded outward to two decimals and stores it;
    // a range that is not finite or runs backwards changes nothing.
    void fitDopAxis(double min, double max);

    SurfaceGraph* surface() const { return surface_; }
    const QVector<QVector3D>& parsedAnchors() const { return anchors_; }

    // The editors, for the user and for tests.
    QPlainTextEdit* anchorEdit = nullptr;
    QPlainTextEdit* anchorView = nullptr;
    QPushButton* editButton = nullptr;
    QDoubleSpinBox* zPlaneEdit = nullptr;
    QDoubleSpinBox* dopMinEdit = nullptr;
    QDoubleSpinBox* dopMaxEdit = nullptr;
    QSpinBox* xStepsEdit = nullptr;
    QDoubleSpinBox* xMinEdit = nullptr;
    QDoubleSpinBox* xMaxEdit = nullptr;
    QSpinBox* yStepsEdit = nullptr;
    QDoubleSpinBox* yMinEdit = nullptr;
    QDoubleSpinBox* yMaxEdit = nullptr;
    QButtonGroup* selectionGroup = nullptr;
    QCheckBox* kindBoxes[kDopTypeCount] = {};
    QToolButton* adjustButtons[kDopTypeCount] = {};
    QLabel* meanLabels[kDopTypeCount] = {};
    QLabel* minLabels[kDopTypeCount] = {};
    QLabel* maxLabels[kDopTypeCount] = {};

    static const char* const kGroup; // "DopVisualization"

private:
    void buildRangeEditors(QFormLayout* form);
    void setEditMode(bool on);
    void recompute();

    SurfaceGraph* surface_ = nullptr;
    QVector<QVector3D> anchors_;
    DopValue lastValues_[kDopTypeCount];
};

} // namespace Trelvan
