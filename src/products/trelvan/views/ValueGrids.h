#pragma once

#include <QGroupBox>
#include <QVector>
#include <QWidget>

class ZLabel;

namespace Trelvan {

// One row: a caption, then the "x: ", "y: " and "z: " values (12 digits wide).
// Holds no data; its owner writes the values.
class WidgetVector3D : public QWidget
{
    Q_OBJECT
public:
    explicit WidgetVector3D(const QString& caption, QWidget* parent = nullptr);

    // Shows xyz[0..2], each as QString::number(value, 'g', 6).
    void setValue(const float* xyz);

    ZLabel* x = nullptr;
    ZLabel* y = nullptr;
    ZLabel* z = nullptr;
};

// A titled box of numbered values ("0: ", "1: ", ...), filled row by row into
// `columns` columns. Its owner writes element i through labels[i].
class WidgetArray : public QGroupBox
{
    Q_OBJECT
public:
    WidgetArray(const QString& title, int count, QWidget* parent = nullptr, int columns = 4);
    ~WidgetArray() override;

    // Element i as QString::number(value, 'g', 6); an index outside the box is ignored.
    void setValue(int index, float value);

    QVector<ZLabel*> labels;
};

// The number format of the pages: six significant digits of the value widened to double.
QString formatValue(float value);

} // namespace Trelvan
