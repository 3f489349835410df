#include <QMimeData>
#include <QSignalSpy>
#include <QXmlStreamReader>
#include <QtTest>

#include "helpers/LogCapture.h"
#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/WindowModel.h"
#include "support/testenv.h"

namespace {

const QRegularExpression generatedName(R"(^Window  \[\d\d\]$)");

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A compact picture of the tree: type and children, names left out.
QString shape(const WindowItem* item)
{
    QString text = QString::number(item->type());
    if (!item->children().isEmpty()) {
        QStringList parts;
        for (const WindowItem* child : item->children())
            parts << shape(child);
        text += "(" + parts.join(",") + ")";
    }
    return text;
}

struct XmlItem
{
    QXmlStreamAttributes attributes;
    int depth;
};

QList<XmlItem> itemsOf(const QString& xml, QString* rootVersion)
{
    QList<XmlItem> items;
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == QLatin1String("WindowModel"))
                *rootVersion = reader.attributes().value("Version").toString();
            else
                items << XmlItem{reader.attributes(), depth};
            ++depth;
        } else if (reader.isEndElement()) {
            --depth;
        }
    }
    return items;
}

} // namespace

class TestWindowModel : public QObject
{
    Q_OBJECT

private slots:
    void emptyTextGivesOneWindow();
    void savedXmlHasTheTreeAndAttributes();
    void loadRoundTripAndOrientation();
    void wrongVersionFallsBack();
    void malformedXmlFallsBackWithoutLeftovers();
    void layoutsBeyondTheLimits_data();
    void layoutsBeyondTheLimits();
    void removingAWindowCollapsesItsSplitter();
    void addNewSplitsBesideTheWindow();
    void generatedNamesNeverHang();
    void containersFollowMovesAndLeaveDestroyedWindows();
    void moveRefusesOwnSubtreeAndCollapses();
    void itemModelInterface();
    void dragDataRoundTrip();
};

void TestWindowModel::emptyTextGivesOneWindow()
{
    WindowModel model({ResourceType::Line});
    QSignalSpy created(&model, &WindowModel::itemCreated);
    model.load(QString());
    QCOMPARE(shape(model.root()), QString("0(2)"));
    QCOMPARE(model.root()->name(), QString("0"));
    QCOMPARE(created.count(), 2); // root, window
    const QStringList names = model.windowNames();
    QCOMPARE(names.size(), 1);
    QVERIFY2(generatedName.match(names.first()).hasMatch(), qPrintable(names.first()));
    QCOMPARE(model.window(names.first())->orientation(), Qt::Vertical);
}

void TestWindowModel::savedXmlHasTheTreeAndAttributes()
{
    WindowModel model({});
    model.load(QString());
    WindowItem* first = model.window(model.windowNames().first());
    first->setCurrentContainer("Line [03]");
    first->setOrientation(Qt::Horizontal);
    model.addNew(first);
    QCOMPARE(shape(model.root()), QString("0(1(2,2))"));
    const QString xml = model.save();
    QVERIFY(xml.startsWith("<?xml version=\"1.0\""));
    QString version;
    const QList<XmlItem> items = itemsOf(xml, &version);
    QCOMPARE(version, QString("1.2"));
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0].attributes.value("Type").toString(), QString("1"));
    QCOMPARE(items[0].attributes.value("Orientation").toString(), QString("H"));
    QCOMPARE(items[1].depth, 2);
    QCOMPARE(items[2].depth, 2);
    QCOMPARE(items[1].attributes.value("Type").toString(), QString("2"));
    QCOMPARE(items[1].attributes.value("Name").toString(), first->name());
    QCOMPARE(items[1].attributes.value("CurrentContainer").toString(), QString("Line [03]"));
    // Attribute order as written.
    const QRegularExpression line("<Item Type=\"2\" Name=\"[^\"]+\" Orientation=\"[HV]\" CurrentContainer=\"[^\"]*\"/>");
    QCOMPARE(xml.count(line), 2);
}

void TestWindowModel::loadRoundTripAndOrientation()
{
    const QString xml = "<?xml version=\"1.0\"?><WindowModel Version=\"1.2\">"
                        "<Item Type=\"1\" Name=\"S\" Orientation=\"H\" CurrentContainer=\"\">"
                        "<Item Type=\"2\" Name=\"W'1\" Orientation=\"X\" CurrentContainer=\"Line [01]\"/>"
                        "<Item Type=\"2\" Name=\"W2\" Orientation=\"H\" CurrentContainer=\"\"/>"
                        "</Item><Item Type=\"2\" Name=\"W3\" Orientation=\"V\" CurrentContainer=\"\"/></WindowModel>";
    WindowModel model({});
    LogCapture log;
    model.load(xml);
    QCOMPARE(shape(model.root()), QString("0(1(2,2),2)"));
    QCOMPARE(model.windowNames(), (QStringList{"W'1", "W2", "W3"}));
    QCOMPARE(model.window("W'1")->orientation(), Qt::Vertical);
    QCOMPARE(model.window("W'1")->currentContainer(), QString("Line [01]"));
    QCOMPARE(model.item("S")->orientation(), Qt::Horizontal);
    QVERIFY(log.count(QtDebugMsg, "reader->name() Item") == 4);
    const QString saved = model.save();
    QVERIFY(saved.contains("Name=\"W'1\" Orientation=\"V\""));
    WindowModel again({});
    again.load(saved);
    QCOMPARE(again.save(), saved);
}

void TestWindowModel::wrongVersionFallsBack()
{
    WindowModel model({});
    LogCapture log;
    model.load("<WindowModel Version=\"1.1\"><Item Type=\"2\" Name=\"old\" Orientation=\"V\" "
               "CurrentContainer=\"\"/></WindowModel>");
    QCOMPARE(log.count(QtWarningMsg, "Window model version is different,settings won't be used"), 1);
    QCOMPARE(shape(model.root()), QString("0(2)"));
    QVERIFY(!model.item("old"));
    // A well-formed tree without any window gets the default window too.
    model.load("<WindowModel Version=\"1.2\"><Item Type=\"1\" Name=\"S\" Orientation=\"H\" "
               "CurrentContainer=\"\"/></WindowModel>");
    QCOMPARE(shape(model.root()), QString("0(2)"));
    flushDeletes();
    QVERIFY(!model.item("S"));
    log.clear();
    model.load("<Other Version=\"1.2\"/>");
    QCOMPARE(log.count(QtWarningMsg, "Window model version is different"), 1);
    flushDeletes();
    QCOMPARE(model.windowNames().size(), 1);
}

void TestWindowModel::malformedXmlFallsBackWithoutLeftovers()
{
    WindowModel model({});
    QSignalSpy deleted(&model, &WindowModel::itemDeleted);
    LogCapture log;
    model.load("<WindowModel Version=\"1.2\"><Item Type=\"1\" Name=\"S\" Orientation=\"H\" CurrentContainer=\"\">"
               "<Item Type=\"2\" Name=\"A\" Orientation=\"V\" CurrentContainer=\"\"/><Item Type=\"2\" Name=");
    QCOMPARE(log.lines(QtWarningMsg).size(), 1);
    QVERIFY(log.count(QtWarningMsg, "not well-formed") == 1);
    QCOMPARE(shape(model.root()), QString("0(2)"));
    QCOMPARE(model.windowNames().size(), 1);
    QVERIFY(generatedName.match(model.windowNames().first()).hasMatch());
    flushDeletes();
    QVERIFY(!model.item("S") && !model.item("A"));
    QCOMPARE(deleted.count(), 2);
}

namespace {
QString nested(int levels, const char* innerType = "2")
{
    QString xml = "<WindowModel Version=\"1.2\">";
    for (int i = 1; i < levels; ++i)
        xml += QString("<Item Type=\"1\" Name=\"S%1\" Orientation=\"V\" CurrentContainer=\"\">").arg(i);
    xml += QString("<Item Type=\"%1\" Name=\"W\" Orientation=\"V\" CurrentContainer=\"\"/>").arg(innerType);
    for (int i = 1; i < levels; ++i)
        xml += "</Item>";
    return xml + "</WindowModel>";
}

QString siblings(int n)
{
    QString xml = "<WindowModel Version=\"1.2\">";
    for (int i = 0; i < n; ++i)
        xml += QString("<Item Type=\"2\" Name=\"W%1\" Orientation=\"V\" CurrentContainer=\"\"/>").arg(i);
    return xml + "</WindowModel>";
}
} // namespace

void TestWindowModel::layoutsBeyondTheLimits_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<int>("items"); // 0: refused, the default layout instead
    QTest::newRow("unknown type") << QString(R"(<WindowModel Version="1.2"><Item Type="7"/></WindowModel>)") << 0;
    QTest::newRow("type not a number") << nested(2, "x") << 0;
    QTest::newRow("unknown type deep inside") << nested(5, "3") << 0;
    QTest::newRow("32 levels") << nested(32) << 32;
    QTest::newRow("33 levels") << nested(33) << 0;
    QTest::newRow("100000 levels") << nested(100000) << 0;
    QTest::newRow("1000 items") << siblings(1000) << 1000;
    QTest::newRow("1001 items") << siblings(1001) << 0;
}

void TestWindowModel::layoutsBeyondTheLimits()
{
    QFETCH(QString, xml);
    QFETCH(int, items);
    WindowModel model({});
    LogCapture log;
    model.load(xml);
    if (items == 0) {
        QCOMPARE(log.count(QtWarningMsg, "or is refused, the default layout is used"), 1);
        QCOMPARE(shape(model.root()), QString("0(2)"));
        QVERIFY(generatedName.match(model.windowNames().first()).hasMatch());
        return;
    }
    QCOMPARE(log.lines(QtWarningMsg).size(), 0);
    QCOMPARE(model.itemCount(), items);
    // What is taken is saved back as it was read, and read again.
    const QString saved = model.save();
    WindowModel again({});
    again.load(saved);
    QCOMPARE(shape(again.root()), shape(model.root()));
    QCOMPARE(again.save(), saved);
    // The model does not grow past the limits either.
    WindowItem* deepest = model.window(items == 32 ? "W" : "W999");
    model.addNew(deepest);
    QVERIFY(!model.insertRows(0, 1, model.indexOf(items == 32 ? deepest : nullptr)));
    QCOMPARE(model.itemCount(), items);
    QVERIFY(log.count(QtWarningMsg, "refused") >= 2);
    // Nor does an edit give an item a type outside the enum.
    model.setData(model.indexOf(deepest, WindowItem::ColType), 7);
    QCOMPARE(deepest->type(), WindowItem::Window);
}

void TestWindowModel::removingAWindowCollapsesItsSplitter()
{
    WindowModel model({});
    model.load("<WindowModel Version=\"1.2\"><Item Type=\"1\" Name=\"S\" Orientation=\"H\" CurrentContainer=\"\">"
               "<Item Type=\"2\" Name=\"A\" Orientation=\"V\" CurrentContainer=\"\"/>"
               "<Item Type=\"2\" Name=\"B\" Orientation=\"V\" CurrentContainer=\"\"/></Item>"
               "<Item Type=\"2\" Name=\"C\" Orientation=\"V\" CurrentContainer=\"\"/></WindowModel>");
    QSignalSpy deleted(&model, &WindowModel::itemDeleted);
    QSignalSpy moved(&model, &WindowModel::itemMoved);
    model.remove(model.item("A"));
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toString(), QString("S"));
    QCOMPARE(shape(model.root()), QString("0(2,2)"));
    QCOMPARE(model.root()->children().first()->name(), QString("B"));
    QCOMPARE(moved.at(0), (QList<QVariant>{"A", "S", "", -1}));
    QCOMPARE(moved.at(1), (QList<QVariant>{"B", "S", "0", 0}));
    QCOMPARE(model.windowNames(), (QStringList{"B", "C"}));
    flushDeletes();
    QCOMPARE(deleted.count(), 2);
    QCOMPARE(deleted.at(1).at(0).toString(), QString("A"));
    QVERIFY(!model.item("A"));
}

void TestWindowModel::addNewSplitsBesideTheWindow()
{
    WindowModel model({});
    model.load(QString());
    WindowItem* first = model.window(model.windowNames().first());
    first->setOrientation(Qt::Horizontal);
    model.addNew(first);
    WindowItem* splitter = first->parentItem();
    QCOMPARE(splitter->type(), WindowItem::Splitter);
    QCOMPARE(splitter->orientation(), Qt::Horizontal);
    QVERIFY(generatedName.match(splitter->name()).hasMatch());
    QCOMPARE(splitter->children().size(), 2);
    QCOMPARE(splitter->children().first(), first);
    QCOMPARE(splitter->children().last()->orientation(), Qt::Horizontal);
    model.addNew(nullptr);
    QCOMPARE(shape(model.root()), QString("0(1(2,2),2)"));
    model.addNew(nullptr, WindowItem::Splitter);
    QCOMPARE(shape(model.root()), QString("0(1(2,2),2,1)"));
    QCOMPARE(model.windowNames().size(), 3);
}

void TestWindowModel::generatedNamesNeverHang()
{
    WindowModel model({});
    model.load(QString());
    for (int i = 0; i < 149; ++i)
        model.addNew(nullptr);
    const QStringList names = model.windowNames();
    QCOMPARE(names.size(), 150);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 150);
    QVERIFY(model.item("Window  [100]"));
    // Up to the item limit: once the pool is used up, names are counted on.
    for (int i = 150; i < WindowModel::MaxItems + 5; ++i)
        model.addNew(nullptr);
    QCOMPARE(model.itemCount(), WindowModel::MaxItems);
    QVERIFY(model.item("Window  [999]"));
    QVERIFY(!model.item("Window  [1000]"));
}

void TestWindowModel::containersFollowMovesAndLeaveDestroyedWindows()
{
    WindowModel windows({ResourceType::Line});
    windows.load("<WindowModel Version=\"1.2\"><Item Type=\"2\" Name=\"A\" Orientation=\"V\" CurrentContainer=\"\"/>"
                 "<Item Type=\"2\" Name=\"B\" Orientation=\"V\" CurrentContainer=\"\"/></WindowModel>");
    BaseContainerModel containers(new LineContainerItemFactory);
    containers.setAvailableWindowNamesFunction([&]() { return windows.windowNames(); });
    connect(&containers, &BaseContainerModel::itemMoved, &windows,
            [&](QString name, QString oldWindow, QString newWindow) {
                windows.handleContainerMoved(containers.container(name), oldWindow, newWindow);
            });
    auto record = new LineContainerItem::Data;
    record->Name = "c1";
    auto c1 = qobject_cast<BaseContainerItem*>(containers.createItem(record));
    // Not yet in the map while attaching: place it by hand once known.
    windows.handleContainerMoved(c1, QString(), c1->window());
    QCOMPARE(c1->window(), QString("A"));
    QCOMPARE(windows.window("A")->containers(), QList<BaseContainerItem*>{c1});
    c1->setData(BaseContainerItem::ColWindow, "B");
    QVERIFY(windows.window("A")->containers().isEmpty());
    QCOMPARE(windows.window("B")->containers(), QList<BaseContainerItem*>{c1});
    windows.remove(windows.window("B"));
    flushDeletes();
    QCOMPARE(c1->window(), QString());
    // A container deleted while listed is forgotten by its window.
    c1->setData(BaseContainerItem::ColWindow, "A");
    QCOMPARE(windows.window("A")->containers().size(), 1);
    containers.removeItem(c1);
    QVERIFY(windows.window("A")->containers().isEmpty());
}

void TestWindowModel::moveRefusesOwnSubtreeAndCollapses()
{
    WindowModel model({});
    model.load("<WindowModel Version=\"1.2\"><Item Type=\"1\" Name=\"S\" Orientation=\"H\" CurrentContainer=\"\">"
               "<Item Type=\"2\" Name=\"A\" Orientation=\"V\" CurrentContainer=\"\"/>"
               "<Item Type=\"2\" Name=\"B\" Orientation=\"V\" CurrentContainer=\"\"/></Item>"
               "<Item Type=\"2\" Name=\"C\" Orientation=\"H\" CurrentContainer=\"\"/></WindowModel>");
    LogCapture log;
    model.move(model.item("S"), model.item("A"));
    QCOMPARE(log.count(QtWarningMsg, "own subtree"), 1);
    QCOMPARE(shape(model.root()), QString("0(1(2,2),2)"));
    model.move(model.item("A"), model.item("C"));
    // A joins C in a new splitter; S keeps only B and collapses.
    QVERIFY(!model.item("S"));
    QCOMPARE(shape(model.root()), QString("0(1(2,2),2)"));
    WindowItem* newSplitter = model.item("C")->parentItem();
    QCOMPARE(newSplitter->orientation(), Qt::Horizontal);
    QCOMPARE(newSplitter->children(), (QList<WindowItem*>{model.item("C"), model.item("A")}));
    QCOMPARE(model.root()->children().last(), model.item("B"));
}

void TestWindowModel::itemModelInterface()
{
    WindowModel model({});
    QCOMPARE(model.rowCount(), 0); // no root yet
    model.load("<WindowModel Version=\"1.2\"><Item Type=\"1\" Name=\"S\" Orientation=\"H\" CurrentContainer=\"\">"
               "<Item Type=\"2\" Name=\"A\" Orientation=\"V\" CurrentContainer=\"x\"/></Item></WindowModel>");
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 4);
    const QModelIndex s = model.index(0, 0);
    QCOMPARE(model.data(s).toInt(), 1);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("S"));
    QCOMPARE(model.rowCount(s), 1);
    QCOMPARE(model.rowCount(model.index(0, 1)), 0);
    QCOMPARE(model.columnCount(model.index(0, 2)), 0);
    const QModelIndex a = model.index(0, 3, s);
    QCOMPARE(model.data(a).toString(), QString("x"));
    QCOMPARE(model.parent(a), s);
    QVERIFY(!model.parent(s).isValid());
    QVERIFY(!model.index(0, 4).isValid());
    QVERIFY(!model.index(0, 0, model.index(0, 1)).isValid());
    QCOMPARE(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    QCOMPARE(model.data(model.index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QString("CurrentContainer"));
    QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsDragEnabled);
    QVERIFY(!(model.flags(model.index(0, 2)) & Qt::ItemIsDragEnabled));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(0, 1, s), "renamed"));
    QCOMPARE(model.item("A")->name(), QString("A"));
    QCOMPARE(changed.count(), 0);
    QVERIFY(model.setData(model.index(0, 3, s), "y"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.item("A")->currentContainer(), QString("y"));
    QVERIFY(!model.setData(QModelIndex(), "y"));
    QVERIFY(!model.setData(model.index(0, 3, s), "z", Qt::DisplayRole));
    QVERIFY(model.insertRows(7, 2, s));
    QCOMPARE(model.rowCount(s), 3);
    QCOMPARE(model.item("S")->children().last()->orientation(), Qt::Horizontal);
    LogCapture log;
    QVERIFY(model.removeRows(0, 2, s));
    QCOMPARE(log.count(QtDebugMsg, "removeRows,row:0,count:2"), 1);
    QCOMPARE(model.rowCount(s), 1);
    QVERIFY(!model.item("A"));
}

void TestWindowModel::dragDataRoundTrip()
{
    WindowModel model({});
    model.load("<WindowModel Version=\"1.2\"><Item Type=\"1\" Name=\"S\" Orientation=\"H\" CurrentContainer=\"\">"
               "<Item Type=\"2\" Name=\"A\" Orientation=\"V\" CurrentContainer=\"\"/>"
               "<Item Type=\"2\" Name=\"B\" Orientation=\"V\" CurrentContainer=\"\"/></Item></WindowModel>");
    QCOMPARE(model.mimeTypes(), QStringList{"application/vnd.bimox.xml.task.z"});
    QVERIFY(!model.mimeData({model.index(0, 0), model.index(0, 1)}));
    std::unique_ptr<QMimeData> mime(model.mimeData({model.index(0, 0)}));
    QVERIFY(mime);
    const QByteArray xml = qUncompress(mime->data("application/vnd.bimox.xml.task.z"));
    QVERIFY(xml.trimmed().startsWith("<Item Type=\"1\" Name=\"S\""));
    QVERIFY(!xml.contains("WindowModel"));
    QVERIFY(model.dropMimeData(mime.get(), Qt::IgnoreAction, -1, 0, QModelIndex()));
    QVERIFY(!model.dropMimeData(mime.get(), Qt::CopyAction, -1, 0, QModelIndex()));
    QVERIFY(model.dropMimeData(mime.get(), Qt::MoveAction, -1, 0, QModelIndex()));
    // The dropped copy gets names of its own.
    QCOMPARE(shape(model.root()), QString("0(1(2,2),1(2,2))"));
    QCOMPARE(model.windowNames().size(), 4);
}

TALMENO_TEST_MAIN(TestWindowModel)
#include "tst_window_model.moc"
