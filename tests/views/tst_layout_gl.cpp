#include <QAction>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "model/ResourceValues.h"
#include "model/WindowModel.h"
#include "support/testenv.h"
#include "views/BaseContainer.h"
#include "views/ChartResource3D.h"
#include "views/Scatter3DContainer.h"
#include "views/ViewManager.h"
#include "views/WindowLayout.h"
#include "views/Z3DScatter.h"

// 3D containers in the window layout: their graphs live in native windows, which
// must survive being moved between windows, hidden without parent and closed.
class TestLayout3D : public QObject
{
    Q_OBJECT

    QStringList boxes_;

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        QSettings().setValue("Is3DEnabled", true);
        QSettings().setValue("IgnoreIntelCard", true);
        ZThreadManager::instance();
        LayoutHooks::setInformationHook(
            [this](QWidget*, const QString& title, const QString&) { boxes_ << title; });
    }

    void graphsMoveBetweenWindowsAndCloseWithThem()
    {
        QTemporaryDir dir;
        auto models = std::make_unique<ModelManager>(dir.filePath("p.ini"),
                                                     QList<ResourceType>{ResourceType::Scatter3D, ResourceType::Attitude});
        auto views = std::make_unique<ViewManager>(models.get());
        models->loadSettings();
        WindowView* view = views->windowView();
        view->resize(1200, 700);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));

        WindowWidget* first = view->window(view->windowNames().first());
        first->horizontalSplitAction()->trigger();
        QString secondName;
        for (const QString& n : view->windowNames())
            if (n != first->windowName())
                secondName = n;
        WindowWidget* second = view->window(secondName);

        auto* item = models->createResource(ResourceType::Scatter3D, "tag", "1");
        for (int i = 0; i < 20; ++i)
            item->setData(BaseResourceItem::ColValue,
                          QVariant::fromValue(Scatter3DValue{float(i) * 0.1f, 1.0f, 0.5f, 0, 0, float(i)}));
        views->refreshChartResources();

        const QString s3d = models->containerModel(ResourceType::Scatter3D)->defaultContainerName();
        Scatter3DContainer* container = nullptr;
        QTRY_VERIFY((container = qobject_cast<Scatter3DContainer*>(views->container(ResourceType::Scatter3D, s3d))));
        ChartResource3D* resource = nullptr;
        QTRY_VERIFY((resource = qobject_cast<ChartResource3D*>(views->resource(ResourceType::Scatter3D, "tag1"))));
        // A graph takes its series once it is shown.
        QCOMPARE(bool(resource->graph()), container->isVisible());

        models->containerModel(ResourceType::Scatter3D)->container(s3d)->setData(BaseContainerItem::ColWindow,
                                                                                  secondName);
        QTRY_COMPARE(second->containers(), QList<BaseContainer*>{container});
        QVERIFY(second->isAncestorOf(container));
        QTRY_VERIFY(resource->graph());
        views->refreshChartResources();

        // Closing the window that holds the only 3D container with a resource is refused there.
        second->closeWindowAction()->trigger();
        QCOMPARE(boxes_, QStringList{"The container cannot be closed"});
        QVERIFY(views->container(ResourceType::Scatter3D, s3d));

        // Without its resource it goes, and the window with it.
        models->resourceModel(ResourceType::Scatter3D)->removeItem(item);
        second->closeWindowAction()->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!views->container(ResourceType::Scatter3D, s3d));
        QCOMPARE(view->windowNames(), QStringList{first->windowName()});

        // The attitude container stays in the first window; the page goes as at exit.
        QCOMPARE(first->containers().size(), 1);
        models.reset();
        views.reset();
    }
};

TALMENO_TEST_MAIN(TestLayout3D)
#include "tst_layout_gl.moc"
