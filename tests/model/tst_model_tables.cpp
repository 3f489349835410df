#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "helpers/LogCapture.h"
#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/ResourceItemFactories.h"
#include "model/ResourceItems.h"
#include "model/RowCodec.h"
#include "support/testenv.h"

namespace {

BaseContainerModel* lineContainers(QStringList windows = {"W1"})
{
    auto model = new BaseContainerModel(new LineContainerItemFactory);
    model->setAvailableWindowNamesFunction([windows]() { return windows; });
    return model;
}

LineContainerItem* addNamed(BaseContainerModel& model, const QString& name, const QString& window = QString())
{
    auto record = new LineContainerItem::Data;
    record->Name = name;
    auto item = qobject_cast<LineContainerItem*>(model.createItem(record));
    if (item && !window.isEmpty())
        item->setData(BaseContainerItem::ColWindow, window);
    return item;
}

QString readFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestModelTables : public QObject
{
    Q_OBJECT

private slots:
    void init() { std::srand(1); }
    void storesTheExactRowText();
    void containerRoundTripKeepsRowsOrderAndDefault();
    void versionMismatchDropsStoredRows();
    void shortRowsAreSkippedWithWarning();
    void separatorsInsideValuesSurvive();
    void escapeCodecKeepsOldRowsAndUnknownEscapes();
    void refusedContainersLeaveNoRow();
    void loadingSkipsDuplicateRows();
    void loadingStopsAtOneHundredContainers();
    void freshModelGetsOneDefaultContainer();
    void generatedNamesFillThePool();
    void defaultContainerRules();
    void removingContainerRehomesResources();
    void removingUnknownItemsChangesNothing();
    void resourceRoundTripRestoresLastLineValue();
    void tableModelInterface();
    void cellChangesFromOtherThreadsReachTheModelThread();
    void rowsCreatedFromOtherThreadLandOnModelThread();
};

void TestModelTables::storesTheExactRowText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.ini");
    {
        std::unique_ptr<BaseContainerModel> model(lineContainers({"W1"}));
        auto item = addNamed(*model, "Line [07]");
        QVERIFY(item);
        model->setDefaultContainer("Line [07]");
        QCOMPARE(item->window(), QString("W1"));
        QSettings settings(path, QSettings::IniFormat);
        settings.beginGroup("Container");
        model->save(settings);
        settings.endGroup();
    }
    QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value("Container/Line/Version").toString(), QString("1.2.2.1"));
    QCOMPARE(settings.value("Container/Line/Items").toString(), QString("Line [07],W1,true,300,500,-1,11,10,10;"));
    const QString raw = readFile(path);
    QVERIFY2(raw.contains("Line\\Items=\"Line [07],W1,true,300,500,-1,11,10,10;\""), qPrintable(raw));
    QVERIFY(raw.contains("Line\\Version=1.2.2.1"));
}

void TestModelTables::containerRoundTripKeepsRowsOrderAndDefault()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.ini");
    const QStringList windows{"A", "B", "C"};
    {
        std::unique_ptr<BaseContainerModel> model(lineContainers(windows));
        addNamed(*model, "first", "C");
        auto second = addNamed(*model, "second", "A");
        addNamed(*model, "third", "B");
        second->setData(LineContainerItem::ColPoints, 123);
        second->setData(LineContainerItem::ColYMin, -2.5);
        model->setDefaultContainer("third");
        QSettings settings(path, QSettings::IniFormat);
        model->save(settings);
    }
    std::unique_ptr<BaseContainerModel> model(lineContainers(windows));
    QSignalSpy created(model.get(), &BaseContainerModel::itemCreated);
    QSignalSpy moved(model.get(), &BaseContainerModel::itemMoved);
    QSettings settings(path, QSettings::IniFormat);
    QVERIFY(model->load(settings));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(created.count(), 3);
    QCOMPARE(moved.count(), 3);
    QCOMPARE(moved.at(0).at(1).toString(), QString()); // from no window
    // Rows come back sorted by window.
    QStringList order;
    for (BaseItem* item : model->items())
        order << qobject_cast<BaseContainerItem*>(item)->name();
    QCOMPARE(order, (QStringList{"second", "third", "first"}));
    QCOMPARE(model->defaultContainerName(), QString("third"));
    auto second = qobject_cast<LineContainerItem*>(model->container("second"));
    QCOMPARE(second->lineRecord()->Points, 123);
    QCOMPARE(second->lineRecord()->YMin, -2.5);
    QCOMPARE(second->window(), QString("A"));
    QVERIFY(second->isAttached());
    QCOMPARE(model->names(), (QStringList{"first", "second", "third"}));
}

void TestModelTables::versionMismatchDropsStoredRows()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("p.ini"), QSettings::IniFormat);
    settings.beginGroup("Resource");
    settings.setValue("Line/Version", "1.1.1.0");
    settings.setValue("Line/Items", "p,speed,true,,true,#ff0000,1,2,200;");
    BaseResourceModel resources(new LineResourceItemFactory);
    LogCapture log;
    QVERIFY(!resources.load(settings));
    QCOMPARE(resources.rowCount(), 0);
    QCOMPARE(log.count(QtWarningMsg, "Line model version is different,settings won't be used,required version: "
                                     "1.1.1.1 ,settings version 1.1.1.0"),
             1);
    settings.endGroup();

    // A container model stored under another version falls back to one default container.
    settings.beginGroup("Container");
    settings.setValue("Line/Version", "1.2.2.0");
    settings.setValue("Line/Items", "kept,W1,true,300,500,-1,11,10,10;");
    std::unique_ptr<BaseContainerModel> containers(lineContainers({"W1"}));
    QVERIFY(containers->load(settings));
    QCOMPARE(containers->rowCount(), 1);
    QVERIFY(!containers->container("kept"));
    QVERIFY(QRegularExpression(R"(^Line \[\d\d\]$)").match(containers->defaultContainerName()).hasMatch());
}

void TestModelTables::shortRowsAreSkippedWithWarning()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("p.ini"), QSettings::IniFormat);
    settings.setValue("Line/Version", "1.1.1.1");
    settings.setValue("Line/Items", "a,b;;c,d;p,speed,true,,true,#ff0000,1.5,2,200;");
    BaseResourceModel resources(new LineResourceItemFactory);
    LogCapture log;
    QVERIFY(resources.load(settings));
    QCOMPARE(resources.rowCount(), 1);
    const QStringList warnings = log.lines(QtWarningMsg);
    QCOMPARE(warnings.size(), 2);
    const QString keys = "Belong\tName\tIsUsed\tContainerName\tvisible\tColor\tValue\tWidth\tLength\t";
    QVERIFY2(warnings.at(0).contains("BaseModel::load  need:" + keys + ",but get a,b"), qPrintable(warnings.at(0)));
    QVERIFY(warnings.at(1).contains(",but get c,d"));
    QVERIFY(resources.resource("pspeed"));
}

void TestModelTables::separatorsInsideValuesSurvive()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.ini");
    const QString mapPath = "/maps/floor 1, west;old\\copy.png";
    {
        BaseContainerModel model(new ScatterContainerItemFactory);
        model.setAvailableWindowNamesFunction([]() { return QStringList{"W"}; });
        auto record = new ScatterContainerItem::Data;
        record->Name = "Hall; A, B\\C";
        record->MapFilePath = mapPath;
        QVERIFY(model.createItem(record));
        auto plain = new ScatterContainerItem::Data;
        plain->Name = "plain";
        QVERIFY(model.createItem(plain));
        QSettings settings(path, QSettings::IniFormat);
        model.save(settings);
    }
    BaseContainerModel model(new ScatterContainerItemFactory);
    model.setAvailableWindowNamesFunction([]() { return QStringList{"W"}; });
    QSettings settings(path, QSettings::IniFormat);
    QVERIFY(model.load(settings));
    QCOMPARE(model.rowCount(), 2);
    auto item = qobject_cast<ScatterContainerItem*>(model.container("Hall; A, B\\C"));
    QVERIFY(item);
    QCOMPARE(item->scatterRecord()->MapFilePath, mapPath);
    QVERIFY(model.container("plain"));
}

void TestModelTables::escapeCodecKeepsOldRowsAndUnknownEscapes()
{
    // Rows without the three characters read exactly as before.
    const QString old = "Line [07],W1,true,300,500,-1,11,10,10;x,,y;";
    const QList<QStringList> rows = RowCodec::parseItems(old);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0), old.split(';').at(0).split(','));
    QCOMPARE(rows.at(1), (QStringList{"x", "", "y"}));
    // A backslash before any other character stays as written (old Windows paths).
    QCOMPARE(RowCodec::parseItems("C:\\maps\\a.png,b;").at(0), (QStringList{"C:\\maps\\a.png", "b"}));
    for (const QString& value : {QString("a,b"), QString("a;b"), QString("a\\b"), QString("\\,;"),
                                 QString("end\\"), QString("")}) {
        const QString row = RowCodec::joinRow({value, "z"}) + ";";
        QCOMPARE(RowCodec::parseItems(row).value(0), (QStringList{value, "z"}));
    }
}

void TestModelTables::refusedContainersLeaveNoRow()
{
    std::unique_ptr<BaseContainerModel> model(lineContainers());
    QVERIFY(addNamed(*model, "Line [05]"));
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy created(model.get(), &BaseContainerModel::itemCreated);
    LogCapture log;
    QVERIFY(!addNamed(*model, "Line [05]"));
    QCOMPARE(log.count(QtCriticalMsg, "name already existed Line [05]"), 1);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(created.count(), 0);

    for (int i = 1; i < BaseContainerModel::MaxContainers; ++i)
        QVERIFY(model->createItem(nullptr));
    QCOMPARE(model->rowCount(), 100);
    QCOMPARE(model->names().size(), 100);
    inserted.clear();
    QVERIFY(!model->createItem(nullptr));
    QCOMPARE(log.count(QtWarningMsg, "container count > 100"), 1);
    QCOMPARE(model->rowCount(), 100);
    QCOMPARE(inserted.count(), 0);
}

void TestModelTables::loadingSkipsDuplicateRows()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("p.ini"), QSettings::IniFormat);
    settings.setValue("Line/Version", "1.2.2.1");
    settings.setValue("Line/Items",
                      "dup,W1,false,300,500,-1,11,10,10;dup,W1,true,300,7,-1,11,10,10;other,W1,true,300,9,-1,11,10,10;");
    std::unique_ptr<BaseContainerModel> model(lineContainers());
    LogCapture log;
    QVERIFY(model->load(settings));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(qobject_cast<LineContainerItem*>(model->container("dup"))->lineRecord()->Points, 500);
    QCOMPARE(log.count(QtCriticalMsg, "name already existed dup"), 1);
    QCOMPARE(model->defaultContainerName(), QString("other"));
}

void TestModelTables::loadingStopsAtOneHundredContainers()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("page.ini"), QSettings::IniFormat);
    settings.setValue("Line/Version", "1.2.2.1");
    auto nameOf = [](int i) { return QString("C%1").arg(i, 3, 10, QLatin1Char('0')); };
    QString rows;
    for (int i = 0; i < 104; ++i)
        rows += QString("%1,W1,false,300,%2,-1,11,10,10;").arg(nameOf(i)).arg(100 + i);
    settings.setValue("Line/Items", rows);
    settings.sync();

    std::unique_ptr<BaseContainerModel> model(lineContainers());
    QSignalSpy created(model.get(), &BaseContainerModel::itemCreated);
    LogCapture log;
    QVERIFY(model->load(settings));
    QCOMPARE(model->rowCount(), 100);
    QCOMPARE(created.count(), 100);
    QCOMPARE(log.count(QtWarningMsg, "container count > 100"), 4);
    // The first hundred rows are kept with their values, the rest are not.
    for (int i = 0; i < 100; ++i) {
        auto item = qobject_cast<LineContainerItem*>(model->container(nameOf(i)));
        QVERIFY2(item, qPrintable(nameOf(i)));
        QCOMPARE(item->lineRecord()->Points, 100 + i);
    }
    for (int i = 100; i < 104; ++i)
        QVERIFY2(!model->container(nameOf(i)), qPrintable(nameOf(i)));
    QCOMPARE(model->names().size(), 100);
    QCOMPARE(model->defaultContainerName(), nameOf(0));

    // The model keeps working: a freed place takes a new container, a full model refuses one.
    model->removeItem(model->container(nameOf(5)));
    QCOMPARE(model->rowCount(), 99);
    QVERIFY(model->createItem(nullptr));
    QCOMPARE(model->rowCount(), 100);
    QVERIFY(!model->createItem(nullptr));
    QCOMPARE(log.count(QtWarningMsg, "container count > 100"), 5);
    QCOMPARE(model->rowCount(), 100);
}

void TestModelTables::freshModelGetsOneDefaultContainer()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("empty.ini"), QSettings::IniFormat);
    for (BaseItemFactory* factory :
         QList<BaseItemFactory*>{new DataContainerItemFactory, new LineContainerItemFactory,
                                 new ScatterContainerItemFactory, new AttitudeContainerItemFactory,
                                 new Scatter3DContainerItemFactory}) {
        BaseContainerModel model(factory);
        model.setAvailableWindowNamesFunction([]() { return QStringList{"Window  [01]", "Window  [02]"}; });
        LogCapture log;
        QVERIFY(model.load(settings));
        QCOMPARE(model.rowCount(), 1);
        auto item = qobject_cast<BaseContainerItem*>(model.items().first());
        const QString pattern = QRegularExpression::escape(model.name()) + R"( \[\d\d\]$)";
        QVERIFY2(QRegularExpression("^" + pattern).match(item->name()).hasMatch(), qPrintable(item->name()));
        QVERIFY(item->isDefault());
        QCOMPARE(model.defaultContainerName(), item->name());
        QCOMPARE(item->window(), QString("Window  [01]"));
        QCOMPARE(log.lines(QtWarningMsg).size(), 0);
    }
    // A stored window that is gone: the first window; no window at all: the
    // stored name is kept and the critical text logged.
    settings.setValue("Line/Version", "1.2.2.1");
    settings.setValue("Line/Items", "x,gone,true,300,500,-1,11,10,10;");
    std::unique_ptr<BaseContainerModel> moved(lineContainers({"W1", "W2"}));
    QVERIFY(moved->load(settings));
    QCOMPARE(moved->container("x")->window(), QString("W1"));
    BaseContainerModel model(new LineContainerItemFactory);
    LogCapture log;
    QVERIFY(model.load(settings));
    auto item = model.container("x");
    QCOMPARE(item->window(), QString("gone"));
    QCOMPARE(log.count(QtCriticalMsg, "availableWindowNames is empty, Line"), 1);
}

void TestModelTables::generatedNamesFillThePool()
{
    std::unique_ptr<BaseContainerModel> model(lineContainers());
    QSet<QString> names;
    for (int i = 0; i < 100; ++i) {
        auto item = qobject_cast<BaseContainerItem*>(model->createItem(nullptr));
        QVERIFY(item);
        names << item->name();
    }
    QCOMPARE(names.size(), 100);
    QVERIFY(names.contains("Line [00]") && names.contains("Line [99]"));
}

void TestModelTables::defaultContainerRules()
{
    std::unique_ptr<BaseContainerModel> model(lineContainers());
    auto a = addNamed(*model, "a");
    auto b = addNamed(*model, "b");
    model->setDefaultContainer("b");
    QVERIFY(b->isDefault() && !a->isDefault());
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy aChanged(a, &BaseItem::dataChanged);
    model->setDefaultContainer("b");
    QCOMPARE(changed.count(), 0);
    QVERIFY(model->chooseOtherDefault());
    QCOMPARE(model->defaultContainerName(), QString("a"));
    QVERIFY(a->isDefault() && !b->isDefault());
    QCOMPARE(aChanged.count(), 1);
    QCOMPARE(changed.count(), 2);
    model->removeItem(b);
    QVERIFY(!model->chooseOtherDefault());
    // A loaded row marked default takes the flag from the previous default.
    auto record = new LineContainerItem::Data;
    record->Name = "c";
    record->AsDefault = true;
    auto c = model->createItem(record);
    QVERIFY(c);
    QCOMPARE(model->defaultContainerName(), QString("c"));
    QVERIFY(!a->isDefault());
}

void TestModelTables::removingContainerRehomesResources()
{
    std::unique_ptr<BaseContainerModel> containers(lineContainers());
    BaseResourceModel resources(new LineResourceItemFactory);
    resources.setAvailableContainerNamesFunction([&]() { return containers->names(); });
    resources.setDefaultContainerNameFunction([&]() { return containers->defaultContainerName(); });
    auto home = addNamed(*containers, "home");
    auto other = addNamed(*containers, "other");
    containers->setDefaultContainer("home");
    auto record = new LineResourceItem::Data;
    record->Name = "speed";
    auto speed = qobject_cast<LineResourceItem*>(resources.createItem(record));
    speed->setData(BaseResourceItem::ColContainerName, "other");
    speed->setUsed(true);
    QCOMPARE(speed->containerName(), QString("other"));
    other->appendResource(speed);
    QSignalSpy deleted(containers.get(), &BaseContainerModel::itemDeleted);
    QSignalSpy moved(containers.get(), &BaseContainerModel::itemMoved);
    QSignalSpy resourceMoved(&resources, &BaseResourceModel::itemMoved);
    containers->removeItem(other);
    QCOMPARE(speed->containerName(), QString("home"));
    QCOMPARE(resourceMoved.count(), 1);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toString(), QString("other"));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0), (QList<QVariant>{"other", "W1", ""}));
    QCOMPARE(containers->names(), QStringList{"home"});
    QCOMPARE(containers->rowCount(), 1);
    Q_UNUSED(home);
}

void TestModelTables::removingUnknownItemsChangesNothing()
{
    std::unique_ptr<BaseContainerModel> containers(lineContainers());
    std::unique_ptr<BaseContainerModel> elsewhere(lineContainers());
    auto mine = addNamed(*containers, "mine");
    auto stranger = addNamed(*elsewhere, "stranger");
    QSignalSpy removed(containers.get(), &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy deleted(containers.get(), &BaseContainerModel::itemDeleted);
    LogCapture log;
    containers->removeItem(stranger);
    containers->BaseModel::removeItem(stranger);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(deleted.count(), 0);
    QCOMPARE(stranger->name(), QString("stranger")); // still alive
    QCOMPARE(log.lines(QtCriticalMsg).size(), 2);

    BaseResourceModel resources(new LineResourceItemFactory);
    BaseResourceModel otherResources(new LineResourceItemFactory);
    auto record = new LineResourceItem::Data;
    record->Belong = "p";
    record->Name = "q";
    auto foreign = otherResources.createItem(record);
    log.clear();
    resources.removeItem(foreign);
    QCOMPARE(log.count(QtCriticalMsg, "item:  pq  not existed in current resourceModel"), 1);
    QCOMPARE(otherResources.rowCount(), 1);
    QVERIFY(containers->container("mine") == mine);
}

void TestModelTables::resourceRoundTripRestoresLastLineValue()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.ini");
    {
        BaseResourceModel lines(new LineResourceItemFactory);
        BaseResourceModel scatters(new ScatterResourceItemFactory);
        auto line = new LineResourceItem::Data;
        line->Belong = "proto";
        line->Name = "dist(m)";
        line->Color = QColor(1, 2, 3);
        line->Width = 4;
        auto item = qobject_cast<LineResourceItem*>(lines.createItem(line));
        item->setData(BaseResourceItem::ColValue, 2.75);
        auto fresh = new LineResourceItem::Data;
        fresh->Belong = "proto";
        fresh->Name = "none";
        fresh->visible = false;
        lines.createItem(fresh);
        auto scatter = new ScatterResourceItem::Data;
        scatter->Name = "tag";
        scatter->MarkerFilePath = "/x/m,1.png";
        auto s = qobject_cast<ScatterResourceItem*>(scatters.createItem(scatter));
        s->setData(BaseResourceItem::ColValue, QVariant::fromValue(ScatterValue{1, 2, 3}));
        QSettings settings(path, QSettings::IniFormat);
        settings.beginGroup("Resource");
        lines.save(settings);
        scatters.save(settings);
        QCOMPARE(settings.value("Line/Items").toString(),
                 QString("proto,dist(m),true,,true,#010203,2.75,4,200;proto,none,true,,false,#000000,0,2,200;"));
        QVERIFY(settings.value("2D/Items").toString().startsWith(",tag,true,,true,#000000,,true,true,false,0,"
                                                                  "/x/m\\,1.png,"));
    }
    BaseResourceModel lines(new LineResourceItemFactory);
    BaseResourceModel scatters(new ScatterResourceItemFactory);
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup("Resource");
    QVERIFY(lines.load(settings));
    QVERIFY(scatters.load(settings));
    auto line = qobject_cast<LineResourceItem*>(lines.resource("protodist(m)"));
    QVERIFY(line);
    QCOMPARE(line->values(), QList<double>{2.75});
    QCOMPARE(line->lineRecord()->Width, 4);
    QCOMPARE(line->color(), QColor(1, 2, 3));
    QVERIFY(!line->isUsed()); // announced only when a product creates it again
    auto none = qobject_cast<LineResourceItem*>(lines.resource("protonone"));
    QVERIFY(none->values().isEmpty()); // hidden: the stored 0 is not taken
    // Float settings of 3D resources survive their text form.
    {
        QTemporaryDir dir3d;
        BaseResourceModel s3d(new Scatter3DResourceItemFactory);
        auto record = new Scatter3DResourceItem::Data;
        record->Name = "plane";
        record->MarkerSize = 0.35f;
        record->TrackWidth = 0.07f;
        s3d.createItem(record);
        QSettings out(dir3d.filePath("3d.ini"), QSettings::IniFormat);
        s3d.save(out);
        BaseResourceModel back(new Scatter3DResourceItemFactory);
        QVERIFY(back.load(out));
        auto plane = qobject_cast<Scatter3DResourceItem*>(back.resource("plane"));
        QCOMPARE(plane->scatter3DRecord()->MarkerSize, 0.35f);
        QCOMPARE(plane->scatter3DRecord()->TrackWidth, 0.07f);
        QVERIFY(plane->track().isEmpty());
    }
    auto tag = qobject_cast<ScatterResourceItem*>(scatters.resource("tag"));
    QVERIFY(tag->track().isEmpty());
    QCOMPARE(tag->scatterRecord()->MarkerFilePath, QString("/x/m,1.png"));
}

void TestModelTables::tableModelInterface()
{
    std::unique_ptr<BaseContainerModel> model(lineContainers());
    auto item = addNamed(*model, "a");
    QCOMPARE(model->name(), QString("Line"));
    QCOMPARE(model->columnCount(), 9);
    QCOMPARE(model->rowCount(model->index(0, 0)), 0);
    QCOMPARE(model->headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QString("Points"));
    QVERIFY(!model->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QCOMPARE(model->data(model->index(0, 0)).toString(), QString("a"));
    QVERIFY(!model->data(QModelIndex()).isValid());
    QVERIFY(model->flags(model->index(0, 4)) & Qt::ItemIsEditable);
    QSignalSpy cell(model.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(model->setData(model->index(0, 4), 42));
    QCOMPARE(item->lineRecord()->Points, 42);
    QCOMPARE(cell.count(), 1);
    QCOMPARE(cell.at(0).at(0).toModelIndex(), model->index(0, 4));
    QVERIFY(model->setData(model->index(0, 4), 42)); // unchanged is still true
    QCOMPARE(cell.count(), 1);
    QVERIFY(!model->setData(model->index(0, 4), 43, Qt::DisplayRole));
    QVERIFY(!model->insertRows(0, 1));
    QVERIFY(!model->removeRows(0, 1));
    QVERIFY(!model->setHeaderData(0, Qt::Horizontal, "x", Qt::DisplayRole));
    QCOMPARE(model->rowCount(), 1);

    BaseResourceModel resources(new DataResourceItemFactory);
    QCOMPARE(resources.name(), QString("Data"));
    resources.createItem(nullptr);
    QVERIFY(!(resources.flags(resources.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(resources.flags(resources.index(0, 0)) & Qt::ItemIsSelectable);
}

void TestModelTables::cellChangesFromOtherThreadsReachTheModelThread()
{
    QList<QThread*> seenOn;
    QList<QModelIndex> cells;
    BaseResourceModel resources(new LineResourceItemFactory);
    auto record = new LineResourceItem::Data;
    record->Name = "v";
    auto item = qobject_cast<LineResourceItem*>(resources.createItem(record));
    QThread* modelThread = resources.thread();
    connect(&resources, &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex& tl, const QModelIndex&) {
                seenOn << QThread::currentThread();
                cells << tl;
            },
            Qt::DirectConnection);
    std::thread writer([&]() {
        for (int i = 1; i <= 1000; ++i)
            item->setData(BaseResourceItem::ColValue, double(i));
    });
    writer.join();
    QVERIFY(seenOn.isEmpty());
    QTRY_VERIFY(!cells.isEmpty());
    // Collected into one announcement of the value cell, on the model's thread.
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells.first(), resources.index(0, BaseResourceItem::ColValue));
    QCOMPARE(seenOn.first(), modelThread);
    disconnect(&resources, nullptr, this, nullptr);
}

void TestModelTables::rowsCreatedFromOtherThreadLandOnModelThread()
{
    std::unique_ptr<BaseContainerModel> model(lineContainers());
    QThread* insertThread = nullptr;
    connect(model.get(), &QAbstractItemModel::rowsInserted, this,
            [&]() { insertThread = QThread::currentThread(); }, Qt::DirectConnection);
    BaseItem* made = nullptr;
    BaseItem* refused = nullptr;
    std::atomic<bool> done{false};
    std::thread worker([&]() {
        made = model->createItem(nullptr);
        auto record = new LineContainerItem::Data;
        record->Name = qobject_cast<BaseContainerItem*>(made)->name();
        refused = model->createItem(record);
        done = true;
    });
    QTRY_VERIFY(done.load());
    worker.join();
    QVERIFY(made);
    QVERIFY(!refused);
    QCOMPARE(insertThread, QThread::currentThread());
    QCOMPARE(made->thread(), QThread::currentThread());
    QCOMPARE(model->rowCount(), 1);
}

TALMENO_TEST_MAIN(TestModelTables)
#include "tst_model_tables.moc"
