#include <QSignalSpy>
#include <QtTest>

#include "helpers/LogCapture.h"
#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/DataWidgetBaseFactory.h"
#include "model/ResourceItemFactories.h"
#include "model/ResourceItems.h"
#include "support/testenv.h"

namespace {

struct CountingFactory : DataWidgetBaseFactory
{
    explicit CountingFactory(int* deleted)
        : deleted(deleted)
    {
    }
    ~CountingFactory() override { ++*deleted; }
    DataWidgetBase* create(DataResourceItem*, QWidget*) override { return nullptr; }
    int* deleted;
};

// A resource model whose container names are fixed by the test.
struct ResourcePage
{
    explicit ResourcePage(BaseItemFactory* factory, QStringList containers = {"C1", "C2"}, QString def = "C1")
        : model(factory)
        , containers(containers)
        , defaultName(def)
    {
        model.setAvailableContainerNamesFunction([this]() { return this->containers; });
        model.setDefaultContainerNameFunction([this]() { return defaultName; });
    }
    // Built like createResource does: the names are in the record before the
    // item enters the model's name map.
    template <typename Item>
    Item* create(const QString& name = "n", const QString& belong = QString())
    {
        BaseItem* probe = model.factory()->createItem(nullptr);
        auto record = static_cast<BaseResourceItem::Data*>(probe->record());
        auto copy = recordCopy(record);
        delete probe;
        copy->Name = name;
        copy->Belong = belong;
        return qobject_cast<Item*>(model.createItem(copy));
    }
    static BaseResourceItem::Data* recordCopy(BaseResourceItem::Data* r)
    {
        if (auto l = dynamic_cast<LineResourceItem::Data*>(r))
            return new LineResourceItem::Data(*l);
        if (auto s = dynamic_cast<ScatterResourceItem::Data*>(r))
            return new ScatterResourceItem::Data(*s);
        if (auto s3 = dynamic_cast<Scatter3DResourceItem::Data*>(r))
            return new Scatter3DResourceItem::Data(*s3);
        if (auto c = dynamic_cast<ChartResourceItem::Data*>(r))
            return new ChartResourceItem::Data(*c);
        return new DataResourceItem::Data;
    }
    BaseResourceModel model;
    QStringList containers;
    QString defaultName;
};

} // namespace

class TestModelItems : public QObject
{
    Q_OBJECT

private slots:
    void factoriesCarryKeysAndVersions_data();
    void factoriesCarryKeysAndVersions();
    void baseItemWritesAreSilentWhenUnchanged();
    void lineHistoryKeepsLengthNewestValues();
    void lineLengthBelowOneKeepsNewestValue();
    void invisibleItemsIgnoreValues();
    void fixedVisibilityIgnoresVisibleWrites();
    void scatterTrackIsCappedAndAngleStaysOut();
    void scatter3DMapsPositionAndRotation();
    void scatter3DMarkerSizeZeroIsReplaced();
    void attitudeKeepsLastValueAndDirty();
    void colorColumnUsesHexRgb();
    void containerNameIsPendingUntilUsed();
    void dataItemOwnsFactoryAndRequestsClear();
    void collectorAnnouncesItems();
    void lineContainerPushesPointsIntoResources();
    void scatterContainersPushTrackLength();
    void containerFuzzyDoublesAndPendingWindow();
    void deletingContainerEmptiesResourcesContainerName();
    void resourceOrderingByBelongThenContainer();
};

void TestModelItems::factoriesCarryKeysAndVersions_data()
{
    QTest::addColumn<QObject*>("factory");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("keyCount");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("type");
    // Every column name, in column order: the stored rows are read back by position.
    QTest::newRow("line container") << (QObject*)new LineContainerItemFactory << "1.2.2.1" << 9
                                    << "Name,Window,AsDefault,SeriesWidgetWidth,Points,YMin,YMax,XGrids,YGrids" << 1;
    QTest::newRow("scatter container")
        << (QObject*)new ScatterContainerItemFactory << "1.2.2.2" << 18
        << "Name,Window,AsDefault,SeriesWidgetWidth,XMin,XMax,YMin,YMax,XGrids,YGrids,EqualRatio,UseMap,"
           "MapXMin,MapXMax,MapYMin,MapYMax,MapFilePath,TrackLength"
        << 2;
    QTest::newRow("3d container") << (QObject*)new Scatter3DContainerItemFactory << "1.2.2.1" << 14
                                  << "Name,Window,AsDefault,SeriesWidgetWidth,XMin,XMax,YMin,YMax,ZMin,ZMax,"
                                     "XGrids,YGrids,ZGrids,TrackLength"
                                  << 4;
    QTest::newRow("attitude container") << (QObject*)new AttitudeContainerItemFactory << "1.2.2.1" << 4
                                        << "Name,Window,AsDefault,SeriesWidgetWidth" << 3;
    QTest::newRow("data container") << (QObject*)new DataContainerItemFactory << "1.2.1" << 3
                                    << "Name,Window,AsDefault" << 0;
    QTest::newRow("line resource") << (QObject*)new LineResourceItemFactory << "1.1.1.1" << 9
                                   << "Belong,Name,IsUsed,ContainerName,visible,Color,Value,Width,Length" << 1;
    QTest::newRow("scatter resource")
        << (QObject*)new ScatterResourceItemFactory << "1.1.1.2" << 17
        << "Belong,Name,IsUsed,ContainerName,visible,Color,Value,ShowMarker,ShowLineTrack,ShowScatterTrack,"
           "MarkerType,MarkerFilePath,MarkerSize,ShowName,ShowCoordinate,TrackWidth,TrackLength"
        << 2;
    QTest::newRow("3d resource") << (QObject*)new Scatter3DResourceItemFactory << "1.1.1.2" << 13
                                 << "Belong,Name,IsUsed,ContainerName,visible,Color,Value,ShowMarker,"
                                    "ShowScatterTrack,MarkerType,MarkerSize,TrackWidth,TrackLength"
                                 << 4;
    QTest::newRow("attitude resource") << (QObject*)new AttitudeResourceItemFactory << "1.1.1.1" << 7
                                       << "Belong,Name,IsUsed,ContainerName,visible,Color,Value" << 3;
    QTest::newRow("data resource") << (QObject*)new DataResourceItemFactory << "1.1.1" << 5
                                   << "Belong,Name,IsUsed,ContainerName,visible" << 0;
}

void TestModelItems::factoriesCarryKeysAndVersions()
{
    QFETCH(QObject*, factory);
    QFETCH(QString, version);
    QFETCH(int, keyCount);
    QFETCH(QString, keys);
    QFETCH(int, type);
    std::unique_ptr<BaseItemFactory> f(qobject_cast<BaseItemFactory*>(factory));
    QCOMPARE(f->version().toString(), version);
    const QStringList expected = keys.split(',');
    QCOMPARE(expected.size(), keyCount);
    QCOMPARE(f->keys(), expected);
    QCOMPARE(static_cast<int>(f->type()), type);
    // The items built match the keys, column for column, and carry the type.
    std::unique_ptr<BaseItem> item(f->createItem(nullptr));
    QCOMPARE(item->columnCount(), keyCount);
    QCOMPARE(item->toStringList().size(), keyCount);
    QCOMPARE(static_cast<int>(item->type()), type);
}

void TestModelItems::baseItemWritesAreSilentWhenUnchanged()
{
    ResourcePage page(new LineResourceItemFactory);
    auto item = page.create<LineResourceItem>();
    QSignalSpy spy(item, &BaseItem::dataChanged);
    item->setData(LineResourceItem::ColWidth, 2); // the default
    QCOMPARE(spy.count(), 0);
    item->setData(LineResourceItem::ColWidth, 4);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 7);
    item->setData(9, 1);
    item->setData(42, "x");
    item->setData(-1, "x");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(item->toStringList().size(), 9);
    for (int column = 0; column < item->columnCount(); ++column) {
        QVERIFY(item->data(column, Qt::DisplayRole).isValid());
        QVERIFY(item->data(column, Qt::EditRole).isValid());
        QVERIFY(!item->data(column, Qt::ToolTipRole).isValid());
        QVERIFY(!item->data(column, Qt::DecorationRole).isValid());
    }
    QVERIFY(!item->data(9, Qt::DisplayRole).isValid());
    // setValues writes every column in order and signals only the changed ones.
    spy.clear();
    QVariantList values = {"b", "n", true, "", true, item->data(5, 0), 0.0, 3, 50, "surplus"};
    item->setValues(values);
    QCOMPARE(spy.count(), 3); // Belong, Width, Length
    QCOMPARE(item->belong(), QString("b"));
    QCOMPARE(item->lineRecord()->Length, 50);
}

void TestModelItems::lineHistoryKeepsLengthNewestValues()
{
    ResourcePage page(new LineResourceItemFactory);
    auto item = page.create<LineResourceItem>();
    item->setData(LineResourceItem::ColLength, 3);
    QSignalSpy spy(item, &BaseItem::dataChanged);
    for (double v : {1.0, 2.0, 3.0})
        item->setData(BaseResourceItem::ColValue, v);
    item->setDirty(false);
    QVERIFY(item->setDataValue(BaseResourceItem::ColValue, 4.0));
    QCOMPARE(item->values(), (QList<double>{2, 3, 4}));
    QVERIFY(item->isDirty());
    // An equal value is kept in the history and marks dirty, but is silent.
    spy.clear();
    item->setDirty(false);
    item->setData(BaseResourceItem::ColValue, 4.0);
    QCOMPARE(spy.count(), 0);
    QVERIFY(item->isDirty());
    QCOMPARE(item->values(), (QList<double>{3, 4, 4}));
    item->setData(BaseResourceItem::ColValue, 5.0);
    item->setData(BaseResourceItem::ColValue, 5.0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(item->data(BaseResourceItem::ColValue, 0).toDouble(), 5.0);
    // Shrinking the length drops the oldest on the next write.
    item->setData(LineResourceItem::ColLength, 2);
    item->setData(BaseResourceItem::ColValue, 6.0);
    QCOMPARE(item->values(), (QList<double>{5, 6}));
    item->clear();
    QVERIFY(item->values().isEmpty());
}

void TestModelItems::lineLengthBelowOneKeepsNewestValue()
{
    ResourcePage page(new LineResourceItemFactory);
    auto item = page.create<LineResourceItem>();
    item->setData(LineResourceItem::ColLength, 0);
    QCOMPARE(item->data(LineResourceItem::ColLength, 0).toInt(), 1);
    item->setData(LineResourceItem::ColLength, -5);
    QCOMPARE(item->lineRecord()->Length, 1);
    item->setData(BaseResourceItem::ColValue, 7.0);
    item->setData(BaseResourceItem::ColValue, 8.0);
    QCOMPARE(item->values(), QList<double>{8});

    // A record built with a length of 0 behaves the same.
    auto record = new LineResourceItem::Data;
    record->Length = 0;
    auto raw = qobject_cast<LineResourceItem*>(page.model.createItem(record));
    raw->setData(BaseResourceItem::ColValue, 1.0);
    raw->setData(BaseResourceItem::ColValue, 2.0);
    QCOMPARE(raw->values(), QList<double>{2});

    ResourcePage scatterPage(new ScatterResourceItemFactory);
    auto scatter = scatterPage.create<ScatterResourceItem>();
    scatter->setData(ScatterResourceItem::ColTrackLength, 0);
    scatter->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{1, 1, 0}));
    scatter->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{2, 3, 0}));
    QCOMPARE(scatter->track(), QVector<QPointF>{QPointF(2, 3)});

    // The 3D track alike: a written length below 1 is stored as 1.
    ResourcePage s3dPage(new Scatter3DResourceItemFactory);
    auto s3d = s3dPage.create<Scatter3DResourceItem>();
    for (int bad : {0, -4}) {
        s3d->setData(Scatter3DResourceItem::ColTrackLength, 5);
        s3d->setData(Scatter3DResourceItem::ColTrackLength, bad);
        QCOMPARE(s3d->data(Scatter3DResourceItem::ColTrackLength, 0).toInt(), 1);
        QCOMPARE(s3d->scatter3DRecord()->TrackLength, 1);
        s3d->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{1, 2, 3, 0, 0, 0}));
        s3d->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{4, 5, 6, 0, 0, 0}));
        QCOMPARE(s3d->track().size(), 1);
        QCOMPARE(s3d->track().first().position(), QVector3D(4, 6, 5));
    }
    // A loaded record with a length of 0 or below keeps the newest position too.
    auto s3dRecord = new Scatter3DResourceItem::Data;
    s3dRecord->TrackLength = -2;
    auto s3dRaw = qobject_cast<Scatter3DResourceItem*>(s3dPage.model.createItem(s3dRecord));
    QVERIFY(s3dRaw);
    s3dRaw->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{1, 1, 1, 0, 0, 0}));
    s3dRaw->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{7, 8, 9, 0, 0, 0}));
    QCOMPARE(s3dRaw->track().size(), 1);
    QCOMPARE(s3dRaw->track().first().position(), QVector3D(7, 9, 8));
}

void TestModelItems::invisibleItemsIgnoreValues()
{
    ResourcePage line(new LineResourceItemFactory);
    ResourcePage scatter(new ScatterResourceItemFactory);
    ResourcePage s3d(new Scatter3DResourceItemFactory);
    ResourcePage att(new AttitudeResourceItemFactory);
    QList<QPair<BaseResourceItem*, QVariant>> cases = {
        {line.create<LineResourceItem>(), 3.5},
        {scatter.create<ScatterResourceItem>(), QVariant::fromValue(ScatterValue{1, 2, 3})},
        {s3d.create<Scatter3DResourceItem>(), QVariant::fromValue(Scatter3DValue{1, 2, 3, 4, 5, 6})},
        {att.create<AttitudeResourceItem>(), QVariant(QVector3D(1, 2, 3))},
    };
    for (auto& c : cases) {
        BaseResourceItem* item = c.first;
        item->setData(BaseResourceItem::ColVisible, false);
        item->setDirty(false);
        QSignalSpy spy(item, &BaseItem::dataChanged);
        const QString before = item->data(BaseResourceItem::ColValue, 0).toString();
        item->setData(BaseResourceItem::ColValue, c.second);
        QCOMPARE(spy.count(), 0);
        QVERIFY2(!item->isDirty(), qPrintable(item->metaObject()->className()));
        QCOMPARE(item->data(BaseResourceItem::ColValue, 0).toString(), before);
        // Visible again: the same value is taken.
        item->setData(BaseResourceItem::ColVisible, true);
        spy.clear();
        item->setData(BaseResourceItem::ColValue, c.second);
        QCOMPARE(spy.count(), 1);
        QVERIFY(item->isDirty());
    }
    QVERIFY(qobject_cast<LineResourceItem*>(cases[0].first)->values() == QList<double>{3.5});
    QCOMPARE(qobject_cast<ScatterResourceItem*>(cases[1].first)->track().size(), 1);
    QCOMPARE(qobject_cast<Scatter3DResourceItem*>(cases[2].first)->track().size(), 1);
}

void TestModelItems::fixedVisibilityIgnoresVisibleWrites()
{
    ResourcePage page(new LineResourceItemFactory);
    auto item = page.create<LineResourceItem>();
    item->setFixedVisibility(true);
    QSignalSpy spy(item, &BaseItem::dataChanged);
    item->setData(BaseResourceItem::ColVisible, false);
    QVERIFY(item->isVisible());
    QCOMPARE(spy.count(), 0);
    item->setFixedVisibility(false);
    item->setData(BaseResourceItem::ColVisible, false);
    QVERIFY(!item->isVisible());
    QCOMPARE(spy.count(), 1);
}

void TestModelItems::scatterTrackIsCappedAndAngleStaysOut()
{
    ResourcePage page(new ScatterResourceItemFactory);
    auto item = page.create<ScatterResourceItem>();
    item->setData(ScatterResourceItem::ColTrackLength, 4);
    QSignalSpy spy(item, &BaseItem::dataChanged);
    for (int i = 0; i < 10; ++i)
        item->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{float(i), float(2 * i), 30}));
    const QVector<QPointF> track = item->track();
    QCOMPARE(track.size(), 4);
    QCOMPARE(track.first(), QPointF(6, 12));
    QCOMPARE(track.last(), QPointF(9, 18));
    QCOMPARE(item->lastValue().angle, 30.0f);
    QCOMPARE(spy.count(), 10);
    // Same point and angle: appended, dirty, silent. Only the angle differs: a change.
    item->setDirty(false);
    item->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{9, 18, 30}));
    QCOMPARE(spy.count(), 10);
    QVERIFY(item->isDirty());
    item->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{9, 18, 45}));
    QCOMPARE(spy.count(), 11);
    // A value of another type is no value.
    item->setDirty(false);
    item->setData(BaseResourceItem::ColValue, QPointF(1, 1));
    item->setData(BaseResourceItem::ColValue, "1,2");
    QVERIFY(!item->isDirty());
    QCOMPARE(item->data(BaseResourceItem::ColValue, 0).toString(), QString());
    item->clear();
    QVERIFY(item->track().isEmpty());
}

void TestModelItems::scatter3DMapsPositionAndRotation()
{
    ResourcePage page(new Scatter3DResourceItemFactory);
    auto item = page.create<Scatter3DResourceItem>();
    item->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{1, 2, 3, 0, 0, 0}));
    auto track = item->track();
    QCOMPARE(track.size(), 1);
    QCOMPARE(track.first().position(), QVector3D(1, 3, 2));
    const QQuaternion yawMinus90 = QQuaternion::fromEulerAngles(0, -90, 0);
    QVERIFY(qFuzzyCompare(track.first().rotation(), yawMinus90));
    // Roll a, pitch b, yaw c map to roll -a, pitch -b, yaw c - 90.
    item->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{0, 0, 0, 10, 20, 120}));
    const QVector3D euler = item->track().last().rotation().toEulerAngles();
    QVERIFY(qAbs(euler.x() - (-20)) < 1e-3); // pitch
    QVERIFY(qAbs(euler.y() - 30) < 1e-3);    // yaw
    QVERIFY(qAbs(euler.z() - (-10)) < 1e-3); // roll
    // An exact repeat is appended and dirty but silent.
    QSignalSpy spy(item, &BaseItem::dataChanged);
    item->setDirty(false);
    item->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{0, 0, 0, 10, 20, 120}));
    QCOMPARE(spy.count(), 0);
    QVERIFY(item->isDirty());
    QCOMPARE(item->track().size(), 3);
    item->setData(Scatter3DResourceItem::ColTrackLength, 2);
    item->setData(BaseResourceItem::ColValue, QVariant::fromValue(Scatter3DValue{5, 6, 7, 0, 0, 0}));
    QCOMPARE(item->track().size(), 2);
    QCOMPARE(item->track().last().position(), QVector3D(5, 7, 6));
}

void TestModelItems::scatter3DMarkerSizeZeroIsReplaced()
{
    ResourcePage page(new Scatter3DResourceItemFactory);
    auto item = page.create<Scatter3DResourceItem>();
    QCOMPARE(item->data(Scatter3DResourceItem::ColMarkerType, 0).toInt(), 2);
    QCOMPARE(Scatter3DResourceItem::markerTypeNames().at(2), QString("Airplane"));
    LogCapture log;
    item->setData(Scatter3DResourceItem::ColMarkerSize, 0.0);
    QCOMPARE(item->scatter3DRecord()->MarkerSize, 0.1f);
    const QStringList critical = log.lines(QtCriticalMsg);
    QCOMPARE(critical.size(), 1);
    QVERIFY(QRegularExpression(R"(^\[\d\d\.\d\d \d\d:\d\d:\d\d\.\d\d\d\] +scatter3d markersize=0,auto replaced with 0\.1f$)")
                .match(critical.first())
                .hasMatch());
    // Fuzzy float comparison: a tiny difference is no change.
    QSignalSpy spy(item, &BaseItem::dataChanged);
    item->setData(Scatter3DResourceItem::ColTrackWidth, 0.1f + 1e-9f);
    QCOMPARE(spy.count(), 0);
    item->setData(Scatter3DResourceItem::ColTrackWidth, 0.3);
    QCOMPARE(spy.count(), 1);
}

void TestModelItems::attitudeKeepsLastValueAndDirty()
{
    ResourcePage page(new AttitudeResourceItemFactory);
    auto item = page.create<AttitudeResourceItem>();
    item->setDirty(false);
    QSignalSpy spy(item, &BaseItem::dataChanged);
    item->setData(BaseResourceItem::ColValue, QVector3D(0, 0, 0)); // equal to the initial value
    QCOMPARE(spy.count(), 0);
    QVERIFY(!item->isDirty());
    item->setData(BaseResourceItem::ColValue, QVector3D(1, 2, 3));
    QCOMPARE(spy.count(), 1);
    QVERIFY(item->isDirty());
    QCOMPARE(item->lastValue(), QVector3D(1, 2, 3));
    item->clear();
    QCOMPARE(item->lastValue(), QVector3D());
    QCOMPARE(item->data(BaseResourceItem::ColValue, 0).value<QVector3D>(), QVector3D());
}

void TestModelItems::colorColumnUsesHexRgb()
{
    ResourcePage page(new LineResourceItemFactory);
    auto record = new LineResourceItem::Data;
    record->Color = QColor(109, 95, 213);
    auto item = qobject_cast<LineResourceItem*>(page.model.createItem(record));
    QCOMPARE(item->data(BaseResourceItem::ColColor, 0).toString(), QString("#6d5fd5"));
    QSignalSpy spy(item, &BaseItem::dataChanged);
    item->setData(BaseResourceItem::ColColor, "#6d5fd5");
    QCOMPARE(spy.count(), 0);
    item->setData(BaseResourceItem::ColColor, "red");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(item->color(), QColor(Qt::red));
    QCOMPARE(item->data(BaseResourceItem::ColColor, 0).toString(), QString("#ff0000"));
}

void TestModelItems::containerNameIsPendingUntilUsed()
{
    ResourcePage page(new LineResourceItemFactory, {"C1", "C2"}, "C1");
    QSignalSpy moved(&page.model, &BaseResourceModel::itemMoved);
    QSignalSpy created(&page.model, &BaseResourceModel::itemCreated);
    auto item = page.create<LineResourceItem>("speed");
    item->setData(BaseResourceItem::ColContainerName, "C2");
    QCOMPARE(moved.count(), 0);
    QCOMPARE(item->containerName(), QString());
    item->setUsed(true);
    QCOMPARE(created.count(), 1);
    QCOMPARE(item->containerName(), QString("C2"));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0), (QList<QVariant>{"speed", "", "C2"}));

    // A remembered container that does not exist: the default one.
    auto other = page.create<LineResourceItem>("other");
    other->setData(BaseResourceItem::ColContainerName, "gone");
    other->setUsed(true);
    QCOMPARE(other->containerName(), QString("C1"));

    // No default container at all: logged, the remembered name is kept.
    page.defaultName.clear();
    LogCapture log;
    auto third = page.create<LineResourceItem>("third");
    third->setData(BaseResourceItem::ColContainerName, "gone");
    third->setUsed(true);
    QCOMPARE(log.count(QtCriticalMsg, "defaultContainerName is empty, Line"), 1);
    QCOMPARE(third->containerName(), QString("gone"));

    // A not-used item announces nothing.
    created.clear();
    auto quiet = page.create<LineResourceItem>("quiet");
    quiet->setUsed(false);
    QCOMPARE(created.count(), 0);
    QVERIFY(!quiet->isUsed());
}

void TestModelItems::dataItemOwnsFactoryAndRequestsClear()
{
    int deleted = 0;
    {
        ResourcePage page(new DataResourceItemFactory);
        auto item = page.create<DataResourceItem>();
        QCOMPARE(item->columnCount(), 5);
        auto first = new CountingFactory(&deleted);
        item->setFactory(first);
        item->setFactory(first); // the same one again is kept
        QCOMPARE(deleted, 0);
        item->setFactory(new CountingFactory(&deleted));
        QCOMPARE(deleted, 1);
        QSignalSpy spy(item, &DataResourceItem::clearRequired);
        QVERIFY(!item->isClearRequested());
        item->clear();
        QCOMPARE(spy.count(), 1);
        QVERIFY(item->isClearRequested());
        item->resetClearRequest();
        QVERIFY(!item->isClearRequested());
    }
    QCOMPARE(deleted, 2);
}

void TestModelItems::collectorAnnouncesItems()
{
    ResourcePage page(new LineResourceItemFactory);
    LineResourceCollector collector;
    QSignalSpy spy(&collector, &LineResourceCollector::item_created);
    auto a = page.create<LineResourceItem>("a");
    auto b = page.create<LineResourceItem>("b");
    collector.addItem(a);
    collector.addItem(b);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).value<LineResourceItem*>(), b);
    QCOMPARE(collector.items(), (QList<LineResourceItem*>{a, b}));
}

void TestModelItems::lineContainerPushesPointsIntoResources()
{
    ResourcePage page(new LineResourceItemFactory);
    BaseContainerModel containers(new LineContainerItemFactory);
    containers.setAvailableWindowNamesFunction([]() { return QStringList{"W1"}; });
    auto container = qobject_cast<LineContainerItem*>(containers.createItem(nullptr));
    QVERIFY(container);
    QCOMPARE(container->chartRecord()->SeriesWidgetWidth, 300);
    auto a = page.create<LineResourceItem>("a");
    auto b = page.create<LineResourceItem>("b");
    container->appendResource(a);
    container->applyToResource(a);
    QCOMPARE(a->lineRecord()->Length, 500);
    container->appendResource(b);
    QSignalSpy spyB(b, &BaseItem::dataChanged);
    container->setData(LineContainerItem::ColPoints, 300);
    QCOMPARE(a->lineRecord()->Length, 300);
    QCOMPARE(b->lineRecord()->Length, 300);
    QCOMPARE(spyB.count(), 1);
    QCOMPARE(spyB.at(0).at(0).toInt(), 8);
    // A resource deleted while listed leaves the list.
    page.model.removeItem(b);
    QCOMPARE(container->resources(), QList<BaseResourceItem*>{a});
    container->removeResource(a);
    QVERIFY(container->resources().isEmpty());
}

void TestModelItems::scatterContainersPushTrackLength()
{
    ResourcePage scatterPage(new ScatterResourceItemFactory);
    ResourcePage s3dPage(new Scatter3DResourceItemFactory);
    BaseContainerModel scatterContainers(new ScatterContainerItemFactory);
    BaseContainerModel s3dContainers(new Scatter3DContainerItemFactory);
    auto sc = qobject_cast<ScatterContainerItem*>(scatterContainers.createItem(nullptr));
    auto s3c = qobject_cast<Scatter3DContainerItem*>(s3dContainers.createItem(nullptr));
    auto s = scatterPage.create<ScatterResourceItem>();
    auto s3 = s3dPage.create<Scatter3DResourceItem>();
    sc->appendResource(s);
    s3c->appendResource(s3);
    sc->setData(ScatterContainerItem::ColTrackLength, 20);
    s3c->setData(Scatter3DContainerItem::ColTrackLength, 30);
    QCOMPARE(s->scatterRecord()->TrackLength, 20);
    QCOMPARE(s3->scatter3DRecord()->TrackLength, 30);
    QCOMPARE(s3c->data(Scatter3DContainerItem::ColZMin, 0).toFloat(), -3.0f);
    QCOMPARE(sc->data(ScatterContainerItem::ColMapFilePath, 0).toString(), QString());
}

void TestModelItems::containerFuzzyDoublesAndPendingWindow()
{
    BaseContainerModel model(new LineContainerItemFactory);
    model.setAvailableWindowNamesFunction([]() { return QStringList{"W1", "W2"}; });
    QSignalSpy moved(&model, &BaseContainerModel::itemMoved);
    auto record = new LineContainerItem::Data;
    record->Name = "Line [05]";
    auto item = qobject_cast<LineContainerItem*>(LineContainerItemFactory().createItem(record));
    // Not attached: the window is remembered, nothing announced.
    item->setData(BaseContainerItem::ColWindow, "W2");
    QCOMPARE(moved.count(), 0);
    QCOMPARE(item->window(), QString());
    QCOMPARE(item->pendingWindowName(), QString("W2"));
    delete item;

    auto attached = qobject_cast<LineContainerItem*>(model.createItem(nullptr));
    QSignalSpy spy(attached, &BaseItem::dataChanged);
    attached->setData(LineContainerItem::ColYMax, 11.0 + 1e-13);
    QCOMPARE(spy.count(), 0);
    attached->setData(LineContainerItem::ColYMax, 11.5);
    QCOMPARE(spy.count(), 1);
    // Names are fixed once attached.
    const QString name = attached->name();
    attached->setData(BaseContainerItem::ColName, "renamed");
    QCOMPARE(attached->name(), name);
    QCOMPARE(model.container(name), attached);
}

void TestModelItems::deletingContainerEmptiesResourcesContainerName()
{
    ResourcePage page(new LineResourceItemFactory, {"Line [01]"}, "Line [01]");
    auto a = page.create<LineResourceItem>("a");
    auto b = page.create<LineResourceItem>("b");
    a->setUsed(true);
    b->setUsed(true);
    QCOMPARE(a->containerName(), QString("Line [01]"));
    auto record = new LineContainerItem::Data;
    record->Name = "Line [01]";
    auto container = LineContainerItemFactory().createItem(record);
    auto c = qobject_cast<LineContainerItem*>(container);
    c->appendResource(a);
    c->appendResource(b);
    QSignalSpy moved(&page.model, &BaseResourceModel::itemMoved);
    delete container;
    QCOMPARE(a->containerName(), QString());
    QCOMPARE(b->containerName(), QString());
    QCOMPARE(moved.count(), 2);
}

void TestModelItems::resourceOrderingByBelongThenContainer()
{
    ResourcePage page(new DataResourceItemFactory);
    auto a = page.create<DataResourceItem>("x", "A");
    auto b = page.create<DataResourceItem>("y", "B");
    QVERIFY(a->lessThan(b));
    QVERIFY(!b->lessThan(a));
    auto c = page.create<DataResourceItem>("z", "B");
    QVERIFY(!b->lessThan(c) && !c->lessThan(b));
    b = page.create<DataResourceItem>("w", "A");
    a->setUsed(true);
    b->setUsed(true);
    b->setData(BaseResourceItem::ColContainerName, "C2");
    QCOMPARE(a->containerName(), QString("C1"));
    QVERIFY(a->lessThan(b));
    QVERIFY(!b->lessThan(a));
    QVERIFY(!a->lessThan(a));
}

TALMENO_TEST_MAIN(TestModelItems)
#include "tst_model_items.moc"
