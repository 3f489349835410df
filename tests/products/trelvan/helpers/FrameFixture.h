#pragma once

// What the frame tests of the positioning line set up alike: two page models
// (3D views off and on), the current-page lookup and node label of the line, log
// capture, and the real frame search and processor to feed bytes through.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class LineResourceItem;
class ModelManager;
class ProtocolFrameExtraction;
class QObject;

namespace TestTrelvan {

class FrameFixture
{
public:
    // Call from initTestCase; owner parents the page models.
    void setUp(QObject* owner);
    // Call from cleanupTestCase.
    void tearDown();
    // Call from init: empties the search buffers and the captured log.
    void reset();

    // Appends bytes to the frame search, extracts and processes what is whole.
    void feed(const QByteArray& bytes);
    // The line item `name` of `belong` on the page with 3D views (null if absent;
    // never creates one: an absent item makes the test fail, not pass).
    LineResourceItem* line(const QString& belong, const QString& name) const;
    // Its newest value, NaN when the item is absent.
    double lastOf(const QString& belong, const QString& name) const;

    ModelManager* flatPage = nullptr; // no Scatter3D, no Attitude
    ModelManager* fullPage = nullptr;
    ProtocolFrameExtraction* ex = nullptr;

private:
    QTemporaryDir dir_;
};

} // namespace TestTrelvan
