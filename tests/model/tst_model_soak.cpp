#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

#include "model/ModelManager.h"
#include "support/testenv.h"

// One thread writes into line, scatter and 3D items at full speed while
// another reads and clears them, and the model thread keeps serving the
// hand-overs and cell announcements.
class TestModelSoak : public QObject
{
    Q_OBJECT

private slots:
    void writersReadersAndClearsRunClean();
};

void TestModelSoak::writersReadersAndClearsRunClean()
{
    constexpr int Count = 100000;
    QSettings().setValue("Is3DEnabled", true);
    QTemporaryDir dir;
    ModelManager manager(dir.filePath("soak.ini"),
                         {ResourceType::Line, ResourceType::Scatter, ResourceType::Scatter3D});
    manager.loadSettings();
    auto line = qobject_cast<LineResourceItem*>(manager.createResource(ResourceType::Line, "soak", "line"));
    auto scatter = qobject_cast<ScatterResourceItem*>(manager.createResource(ResourceType::Scatter, "soak", "xy"));
    auto s3d = qobject_cast<Scatter3DResourceItem*>(manager.createResource(ResourceType::Scatter3D, "soak", "xyz"));
    QVERIFY(line && scatter && s3d);
    line->setData(LineResourceItem::ColLength, 300);
    scatter->setData(ScatterResourceItem::ColTrackLength, 200);
    s3d->setData(Scatter3DResourceItem::ColTrackLength, 150);

    int cellAnnouncements = 0;
    for (BaseResourceModel* model : manager.resourceModels())
        connect(model, &QAbstractItemModel::dataChanged, this, [&]() { ++cellAnnouncements; });

    std::atomic<bool> writerDone{false};
    std::atomic<bool> readerDone{false};
    std::atomic<int> faults{0};
    std::atomic<int> created{0};

    std::thread writer([&]() {
        for (int i = 0; i < Count; ++i) {
            line->setData(BaseResourceItem::ColValue, double(i));
            scatter->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{float(i), float(-i), 1}));
            s3d->setData(BaseResourceItem::ColValue,
                         QVariant::fromValue(Scatter3DValue{float(i), 1, 2, 0, 0, float(i % 360)}));
            if (i % 20000 == 0) {
                // Declaring a new item from the writing thread is handed over.
                if (manager.createResource(ResourceType::Line, "soak", QString("extra%1").arg(i)))
                    ++created;
            }
        }
        writerDone = true;
    });

    std::thread reader([&]() {
        int rounds = 0;
        while (!writerDone.load()) {
            const QList<double> values = line->values();
            if (values.size() > 300)
                ++faults;
            for (int k = 1; k < values.size(); ++k) {
                if (!(values.at(k - 1) < values.at(k))) {
                    ++faults;
                    break;
                }
            }
            ScatterValue last;
            QVector<QPointF> track;
            scatter->snapshot(&last, &track);
            // Taken under one lock: the newest track point is the last value.
            if (track.size() > 200 || (!track.isEmpty() && track.last().x() != double(last.x)))
                ++faults;
            const auto track3d = s3d->track();
            if (track3d.size() > 150)
                ++faults;
            for (int k = 1; k < track3d.size(); ++k) {
                if (!(track3d.at(k - 1).position().x() < track3d.at(k).position().x())) {
                    ++faults;
                    break;
                }
            }
            line->data(BaseResourceItem::ColValue, Qt::DisplayRole);
            s3d->lastValue();
            if (line->isDirty())
                line->setDirty(false);
            if (++rounds % 50 == 0) {
                line->clear();
                scatter->clear();
                s3d->clear();
            }
        }
        readerDone = true;
    });

    QElapsedTimer clock;
    clock.start();
    while (!(writerDone.load() && readerDone.load()) && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    writer.join();
    reader.join();
    QCoreApplication::processEvents();

    QCOMPARE(faults.load(), 0);
    QCOMPARE(created.load(), Count / 20000);
    QCOMPARE(manager.resourceModel(ResourceType::Line)->rowCount(), 1 + Count / 20000);
    QCOMPARE(line->lastValue(), double(Count - 1));
    QCOMPARE(scatter->lastValue().x, float(Count - 1));
    QCOMPARE(s3d->lastValue().x, float(Count - 1));
    QVERIFY(line->values().size() <= 300);
    QVERIFY(cellAnnouncements > 0);
    // After the storm the items still take values normally.
    line->clear();
    line->setData(BaseResourceItem::ColValue, -1.0);
    QCOMPARE(line->values(), QList<double>{-1.0});
    for (BaseResourceModel* model : manager.resourceModels())
        disconnect(model, nullptr, this, nullptr);
}

TALMENO_TEST_MAIN(TestModelSoak)
#include "tst_model_soak.moc"
