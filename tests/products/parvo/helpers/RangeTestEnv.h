#pragma once

// The range sensor harness of the single-point line serves the multi-zone tests as
// it is: the same pipeline start, sensor on a port and page model.
#include "products/sarvel/helpers/RangeTestEnv.h"

#include <QAbstractSpinBox>
#include <QtTest>

namespace rangetest {

// Types text into a spin box and presses Return, as a user finishes an edit.
inline void edit(QAbstractSpinBox* spin, const QString& text)
{
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
    QTest::keyClick(spin, Qt::Key_Return);
}

} // namespace rangetest
