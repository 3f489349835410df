#include "foundation/UserPaths.h"
#include "foundation/ZDownloadManager.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/WidgetSystemInfo.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "helpers/PipelineEnv.h"
#include "helpers/TestProtocols.h"
#include "sim/HttpFileServer.h"
#include "sim/ProductReplies.h"
#include "support/testenv.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QWidget>

namespace {

QStringList g_events; // "<type>:<0|1>" for every setActive, in call order

// Stands in for a product line's handle.
class TestHandle : public ProductHandleBase
{
public:
    TestHandle(int type, const QString& key, const QString& name, QObject* parent)
        : ProductHandleBase(type, parent)
    {
        name_ = key;
        if (!name.isEmpty())
            modelNames_.insert(0, name);
        action = new QAction(key, this);
        addToolBarAction(action);
        window = new QWidget;
        window->show();
        addWidgetToHide(window);
        shown = new QWidget;
        shownWidgets_ << shown;
    }
    ~TestHandle() override { delete window; delete shown; }

    QString handleProductRecognized() override
    {
        ++recognitions;
        versionSeen = firmwareVersion_;
        if (!group.isEmpty())
            ProtocolFactory::loadProtocols(group, this);
        return QString();
    }
    void setActive(bool active) override
    {
        g_events << QString("%1:%2").arg(productType()).arg(int(active));
        ProductHandleBase::setActive(active);
    }
    using ProductHandleBase::modelNames_;

    QAction* action = nullptr;
    QWidget* window = nullptr;
    QWidget* shown = nullptr;
    int recognitions = 0;
    QVersionNumber versionSeen;
    QString group;
};

struct Created
{
    int type;
    QString key;
    QString name;
    QObject* parent;
};

// Feeds a device's reply to the system frame protocol, as the pipeline does.
void receive(const sim::SystemInfo& info)
{
    ProtocolSystem::instance()->parseFrame(sim::systemFrameReply(info));
}

QByteArray notesText(const QByteArray& firmwareName)
{
    QByteArray t;
    if (!firmwareName.isNull())
        t += "FirmwareFileName=" + firmwareName + "\n";
    t += "[English]\n"
         "3.0.5=old fix\n"
         "3.0.7=current build\n"
         "3.1.0=faster ranging\n"
         "3.2.0=new filter\n"
         "3.3.0=not yet released\n";
    return t;
}

} // namespace

class TestProducts : public QObject
{
    Q_OBJECT

    QWidget mainWindow_;
    sim::HttpFileServer server_;
    QList<Created> created_;
    QList<QPointer<TestHandle>> handles_;
    int firmwareChecks_ = 0;
    QElapsedTimer clock_;
    QList<qint64> checkTimes_; // on clock_
    QObject* firmwareProtocolParent_ = nullptr;
    QPointer<QWidget> firmwareWindow_;
    FixedProtocol* sarvelFrame_ = nullptr;

    ProductRegistration::HandleCreator creator()
    {
        return [this](int type, const QString& key, const QString& name, QObject* parent) -> ProductHandleBase* {
            created_ << Created{type, key, name, parent};
            auto* h = new TestHandle(type, key, name, parent);
            // The singleton lines carry their own model tables.
            if (name.isEmpty()) {
                for (int model : {0, 3, 15, 16})
                    h->modelNames_.insert(model, QString("own %1/%2").arg(type).arg(model));
            }
            handles_ << h;
            return h;
        };
    }

    ProductsManager* registry() { return ProductsManager::instance(&mainWindow_); }

private slots:
    void initTestCase()
    {
        QSettings().setValue("Is3DEnabled", false);
        initUserDataFolders();
        testenv::startWorkerThreads();
        ZDownloadManager::instance(this);
        QVERIFY(initViewServices(this));
        QVERIFY(server_.start());
        qputenv("TALMENO_DOWNLOAD_URL", server_.baseUrl().toUtf8() + "/");
        ProductHooks::FirmwareHooks hooks;
        hooks.createFirmwareProtocol = [this](QObject* parent) { firmwareProtocolParent_ = parent; };
        hooks.createFirmwareWindow = [this](QWidget* main) {
            firmwareWindow_ = new QWidget(main, Qt::Window);
            firmwareWindow_->setWindowTitle("Firmware update");
            QPixmap pixmap(8, 8);
            pixmap.fill(Qt::blue);
            firmwareWindow_->setWindowIcon(QIcon(pixmap));
            return firmwareWindow_.data();
        };
        clock_.start();
        hooks.checkForNewFirmware = [this] {
            ++firmwareChecks_;
            checkTimes_ << clock_.elapsed();
        };
        ProductHooks::setFirmwareHooks(hooks);
        sarvelFrame_ = new FixedProtocol("Vexa_Sarvel_Frame0", "\x57\x00", 20, this);
        ProtocolFactory::registerProtocol("Vexa_Sarvel_Frame0", [this](QObject*) { return sarvelFrame_; });
    }

    void init()
    {
        ProductRegistration::clearRegistrations();
        for (auto line : {ProductRegistration::ProductLine::Trelvan, ProductRegistration::ProductLine::TrelvanAoa,
                          ProductRegistration::ProductLine::Sarvel, ProductRegistration::ProductLine::Parvo,
                          ProductRegistration::ProductLine::Iot, ProductRegistration::ProductLine::UwbAna})
            ProductRegistration::registerLine(line, creator());
        created_.clear();
        g_events.clear();
        firmwareChecks_ = 0;
        checkTimes_.clear();
        server_.clear();
    }

    void cleanup()
    {
        delete ProductsManager::existing();
        QVERIFY(handles_.isEmpty() || std::all_of(handles_.begin(), handles_.end(), [](auto& h) { return !h; }));
        handles_.clear();
    }

    void registryCreatesItsServices()
    {
        ProductsManager* r = registry();
        QCOMPARE(ProductsManager::instance(nullptr), r);
        QCOMPARE(r->parent(), &mainWindow_);
        QVERIFY(ProtocolSystem::instance());
        QCOMPARE(firmwareProtocolParent_, r);
        QVERIFY(WidgetSystemInfo::existing());
        QCOMPARE(WidgetSystemInfo::existing()->parentWidget(), &mainWindow_);
        QVERIFY(firmwareWindow_);
        QCOMPARE(r->firmwareWindow(), firmwareWindow_.data());
        QCOMPARE(r->currentProductType(), -1);
        QVERIFY(!r->currentProductHandle());
        ZToolBar* bar = r->productToolBar();
        QVERIFY(bar);
        QCOMPARE(bar->contextMenuPolicy(), Qt::PreventContextMenu);
        QCOMPARE(bar->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(bar->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
        QVERIFY(!bar->isMovable());
        // No firmware action before a product is known.
        QVERIFY(!r->firmwareAction());
        QCOMPARE(bar->actions().size(), 0);
    }

    void everyProductGetsItsHandle()
    {
        ProductsManager* r = registry();
        QSignalSpy recognized(r, &ProductsManager::productRecognized);
        int emitted = 0;
        for (const sim::ProductModel& p : sim::supportedProducts()) {
            const QString row = QString("type %1 model %2").arg(p.productType).arg(p.modelId);
            receive(sim::productInfo(p.productType, p.modelId, 115200));
            const int createdBefore = created_.size();
            ProductHandleBase* h = r->setCurrentProduct(p.productType, p.modelId);
            QVERIFY2(h, qPrintable(row));
            QCOMPARE(recognized.count(), ++emitted);
            QCOMPARE(h->productType(), p.handledAs);
            QCOMPARE(r->currentProductType(), p.handledAs);
            QCOMPARE(r->currentProductHandle(), h);
            QCOMPARE(r->handle(p.handledAs), h);
            QVERIFY(h->isActive());
            if (created_.size() > createdBefore) {
                const Created& c = created_.last();
                QCOMPARE(c.type, p.handledAs);
                QCOMPARE(c.key, p.key);
                QCOMPARE(c.name, p.displayName);
                QCOMPARE(c.parent, r);
            }
            if (!p.key.isEmpty())
                QCOMPARE(h->name(), p.key);
            // Every device shows its product's name, whatever model id it reports.
            const QString expectedName =
                p.key.isEmpty() ? QString("own %1/%2").arg(p.handledAs).arg(p.modelId) : p.displayName;
            QVERIFY2(h->displayName() == expectedName, qPrintable(row + ": " + h->displayName()));
            QCOMPARE(h->firmwareVersion(), QVersionNumber({3, p.modelId, 7}));
            QCOMPARE(h->hardwareVersion(), QVersionNumber({2, p.productType}));
            QCOMPARE(h->deviceBaudrate(), 115200);
            // Only the current handle is active.
            for (const auto& other : handles_)
                QCOMPARE(other->isActive(), other.data() == h);
        }
        // One handle per registry key: the type 8 models share those of 9 and 10; the
        // AOA models share one handle under -2.
        QCOMPARE(created_.size(), 20);
        QVERIFY(r->handle(ProductRegistration::kAoaType));
        QVERIFY(r->handle(0) != r->handle(ProductRegistration::kAoaType));
        QCOMPARE(r->handle(9)->modelNames().keys(), QList<int>({0, 1}));
        QCOMPARE(r->handle(10)->modelNames().keys(), QList<int>({0, 2}));
        QCOMPARE(r->handle(8)->modelNames().keys(), QList<int>({0}));
        QCOMPARE(r->handle(8)->releaseNotesUrl(0, {}).contains("/sarvel_vora/"), true);
        QCOMPARE(r->handle(9)->releaseNotesUrl(0, {}).contains("/sarvel_vorakiro/"), true);
    }

    void unsupportedProductsAreRefused()
    {
        ProductsManager* r = registry();
        receive(sim::productInfo(4, 0));
        QVERIFY(r->setCurrentProduct(4, 0));
        QSignalSpy recognized(r, &ProductsManager::productRecognized);
        for (const auto& p : sim::unsupportedProducts()) {
            testenv::LogCapture log;
            QVERIFY(!r->setCurrentProduct(p.first, p.second));
            QCOMPARE(log.count(QString("product not support:%1 %2").arg(p.first).arg(p.second)), 1);
        }
        QVERIFY(!r->setCurrentProduct(-1, 0));
        // A known product whose line is not built yet is not supported either.
        ProductRegistration::clearRegistrations();
        testenv::LogCapture log;
        QVERIFY(!r->setCurrentProduct(19, 0));
        QCOMPARE(log.count("product not support:19 0"), 1);
        QCOMPARE(recognized.count(), 0);
        QCOMPARE(r->currentProductType(), 4);
        QVERIFY(r->currentProductHandle()->isActive());
        QCOMPARE(created_.size(), 1);
    }

    void sameProductTwiceActivatesOnce()
    {
        ProductsManager* r = registry();
        QSignalSpy recognized(r, &ProductsManager::productRecognized);
        receive(sim::productInfo(5, 0));
        const qint64 changedAt = clock_.elapsed();
        ProductHandleBase* first = r->setCurrentProduct(5, 0);
        ProductHandleBase* second = r->setCurrentProduct(5, 0);
        QCOMPARE(first, second);
        QCOMPARE(recognized.count(), 2);
        QCOMPARE(g_events, QStringList({"5:1"}));
        QCOMPARE(static_cast<TestHandle*>(first)->recognitions, 2);
        // One firmware check, 3 s after the product changed, none for the repetition.
        QCOMPARE(firmwareChecks_, 0);
        QTRY_COMPARE_WITH_TIMEOUT(firmwareChecks_, 1, 10000);
        // Not before its time (a coarse timer may be 5 % early); the repetition's
        // would have come as soon, and none has come by twice the time.
        QVERIFY2(checkTimes_.value(0) - changedAt >= 2800, qPrintable(QString::number(checkTimes_.value(0) - changedAt)));
        QTest::qWait(int(qMax<qint64>(0, changedAt + 6000 - clock_.elapsed())));
        QCOMPARE(firmwareChecks_, 1);
        // The firmware action exists once, named and drawn after the window, and opens it.
        QAction* action = r->firmwareAction();
        QVERIFY(action);
        QCOMPARE(action->text(), QString("Firmware update"));
        QVERIFY(!action->icon().isNull());
        QCOMPARE(r->productToolBar()->actions().count(action), 1);
        QVERIFY(firmwareWindow_->isHidden());
        action->trigger();
        QVERIFY(!firmwareWindow_->isHidden());
        firmwareWindow_->hide();
        r->setCurrentProduct(6, 0);
        QCOMPARE(r->firmwareAction(), action);
        QCOMPARE(r->productToolBar()->actions().count(action), 1);
    }

    void switchingDeactivatesThePreviousFirst()
    {
        ProductsManager* r = registry();
        receive(sim::productInfo(4, 0));
        auto* a = static_cast<TestHandle*>(r->setCurrentProduct(4, 0));
        QVERIFY(r->productToolBar()->actions().contains(a->action));
        QVERIFY(a->action->isVisible());
        QVERIFY(!a->shown->isHidden());
        QVERIFY(a->window->isVisible());

        receive(sim::productInfo(12, 0));
        auto* b = static_cast<TestHandle*>(r->setCurrentProduct(12, 0));
        QCOMPARE(g_events, QStringList({"4:1", "4:0", "12:1"}));
        QVERIFY(!a->action->isVisible());
        QVERIFY(a->shown->isHidden());
        QVERIFY(!a->window->isVisible());
        QVERIFY(b->action->isVisible());
        QVERIFY(!a->isActive());
        QVERIFY(b->isActive());

        // Back to the first: its handle is reused, its action shown again; a window of
        // its hide list stays closed until the product opens it.
        receive(sim::productInfo(4, 0));
        QCOMPARE(r->setCurrentProduct(4, 0), a);
        QVERIFY(a->action->isVisible());
        QVERIFY(!b->action->isVisible());
        QVERIFY(!a->window->isVisible());
        QCOMPARE(created_.size(), 2);
        QCOMPARE(firmwareChecks_, 0);
        QTRY_COMPARE_WITH_TIMEOUT(firmwareChecks_, 3, 10000);
    }

    void recognisedHandleLoadsItsProtocols()
    {
        ProductRegistration::registerProduct(3, [this](int type, const QString& key, const QString& name, QObject* parent) {
            auto* h = new TestHandle(type, key, name, parent);
            h->group = "Vexa_Sarvel_Frame0";
            handles_ << h;
            return h;
        });
        receive(sim::productInfo(3, 0));
        QVERIFY(registry()->setCurrentProduct(3, 0));
        QVERIFY(sarvelFrame_->isActive());
        QCOMPARE(ModelViewManagers::instance()->currentName(), QString("Vexa_Sarvel_Frame0"));
    }

    void versionsFromTheSystemFrame()
    {
        ProductsManager* r = registry();
        sim::SystemInfo info = sim::productInfo(7, 0);
        info.firmware[0] = 4;
        info.firmware[1] = 10;
        info.firmware[2] = 2;
        info.firmware[3] = 0;
        info.hardwareMajor = 5;
        info.hardwareMinor = 1;
        info.baudRate = 921600;
        receive(info);
        ProductHandleBase* h = r->setCurrentProduct(7, 0);
        QCOMPARE(h->firmwareVersion(), QVersionNumber({4, 10, 2}));
        QCOMPARE(h->firmwareVersion().toString(), QString("4.10.2"));
        QCOMPARE(static_cast<TestHandle*>(h)->versionSeen, QVersionNumber({4, 10, 2}));
        QCOMPARE(h->hardwareVersion().toString(), QString("5.1"));
        QCOMPARE(h->deviceBaudrate(), 921600);
        QCOMPARE(h->displayName(), QString("Sarvel-Rion Kiro"));

        info.firmware[3] = 2;
        info.baudRate = -5; // signed 24-bit on the wire
        receive(info);
        h->updateVersions();
        QCOMPARE(h->firmwareVersion(), QVersionNumber({4, 10, 2, 2}));
        QCOMPARE(h->deviceBaudrate(), -5);

        // A model id the handle has no name for: empty name and a warning; still used.
        info.modelId = 9;
        receive(info);
        testenv::LogCapture log;
        QCOMPARE(r->setCurrentProduct(7, 9), h);
        QCOMPARE(h->displayName(), QString());
        QCOMPARE(log.count("Product series is illegal: 9"), 1);
    }

    void releaseNotesUrls()
    {
        receive(sim::productInfo(4, 0));
        ProductHandleBase* h = registry()->setCurrentProduct(4, 0);
        const QString base = server_.baseUrl() + "/products/sarvel_kiro/firmware/";
        QCOMPARE(h->releaseNotesUrl(0, "abc"), base + "release/release-notes.txt");
        QCOMPARE(h->releaseNotesUrl(1, "abc"), base + "beta/release-notes.txt");
        QCOMPARE(h->releaseNotesUrl(2, "Q7x9"), base + "user/Q7x9/release-notes.txt");
    }

    void firmwareDownloadedFromServer()
    {
        sim::SystemInfo info = sim::productInfo(3, 0);
        info.firmware[0] = 3;
        info.firmware[1] = 0;
        info.firmware[2] = 7;
        receive(info);
        ProductHandleBase* h = registry()->setCurrentProduct(3, 0);
        const QByteArray folder = "/products/tof/firmware/release/";
        const QByteArray image("\x01\x02\xff firmware image 3.2.0", 24);
        server_.setFile(folder + "release-notes.txt", notesText("tof_v3.2.0.bin"));
        server_.setFile(folder + "tof_v3.2.0.bin", image);

        QCOMPARE(h->downloadFirmware(0, QString()), QString());
        QFile file(h->firmwareFileName());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(h->firmwareFileName()));
        QCOMPARE(file.readAll(), image);
        QVERIFY(h->firmwareFileName().startsWith(tempDir));
        QCOMPARE(h->latestFirmwareVersion(), QVersionNumber({3, 2, 0}));
        // New notes: after the device's 3.0.7 up to the latest; all notes: up to the latest.
        QVERIFY(h->newReleaseNotes().startsWith("[v3.2.0]\nnew filter\n***********************************\n[v3.1.0]"));
        QVERIFY(!h->newReleaseNotes().contains("3.0.7"));
        QVERIFY(!h->newReleaseNotes().contains("3.3.0"));
        QVERIFY(h->allReleaseNotes().contains("[v3.0.5]\nold fix\n"));
        QVERIFY(h->allReleaseNotes().contains("[v3.0.7]\ncurrent build\n"));
        QVERIFY(!h->allReleaseNotes().contains("3.3.0"));
        QCOMPARE(server_.requestedPaths(),
                 QList<QByteArray>({folder + "release-notes.txt", folder + "tof_v3.2.0.bin"}));

        // The notes file is replaced on the next pull: a new image name is read from it.
        server_.setFile(folder + "release-notes.txt", notesText("tof 3.3.0.bin"));
        server_.setFile(folder + "tof%203.3.0.bin", "three three");
        QCOMPARE(h->downloadFirmware(0, QString()), QString());
        QCOMPARE(h->latestFirmwareVersion(), QVersionNumber({3, 3, 0}));
        QVERIFY(h->firmwareFileName().endsWith("tof 3.3.0.bin"));
        QVERIFY(h->newReleaseNotes().startsWith("[v3.3.0]"));
    }

    void userChannelAndRedirects()
    {
        receive(sim::productInfo(19, 0));
        ProductHandleBase* h = registry()->setCurrentProduct(19, 0);
        // The server moved the user folder: redirects are followed.
        server_.setRedirect("/products/kx40/firmware/user/u42/release-notes.txt",
                            (server_.baseUrl() + "/mirror/kx40/release-notes.txt").toUtf8(), 302);
        server_.setFile("/mirror/kx40/release-notes.txt", notesText("kx40_1.4.bin"));
        server_.setFile("/mirror/kx40/kx40_1.4.bin", "apex");
        server_.setFile("/products/kx40/firmware/user/u42/kx40_1.4.bin", "user image");
        QCOMPARE(h->downloadFirmware(2, "u42"), QString());
        QFile file(h->firmwareFileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        // The image comes from the folder of the address asked for.
        QCOMPARE(file.readAll(), QByteArray("user image"));
        QCOMPARE(h->latestFirmwareVersion(), QVersionNumber({1, 4}));
    }

    void downloadErrors()
    {
        receive(sim::productInfo(20, 0));
        ProductHandleBase* h = registry()->setCurrentProduct(20, 0);
        const QByteArray folder = "/products/kx40_core/firmware/beta/";
        // No notes on the server.
        QCOMPARE(h->downloadFirmware(1, QString()), QString("Download release notes failed."));
        // Notes that name no image.
        server_.setFile(folder + "release-notes.txt", notesText(QByteArray()));
        QCOMPARE(h->downloadFirmware(1, QString()), QString("Read release notes failed."));
        QCOMPARE(h->firmwareFileName(), QString());
        // The named image is missing.
        server_.setFile(folder + "release-notes.txt", notesText("core_2.0.1.bin"));
        QCOMPARE(h->downloadFirmware(1, QString()), QString("Download firmware file failed."));
        QCOMPARE(server_.requestCount(folder + "core_2.0.1.bin"), 1);
        // A name that would leave the folder is not fetched from elsewhere.
        server_.setFile(folder + "release-notes.txt", notesText("../../../release/x_1.0.bin"));
        server_.setFile("/products/kx40_core/firmware/release/x_1.0.bin", "elsewhere");
        QCOMPARE(h->downloadFirmware(1, QString()), QString("Download firmware file failed."));
        QCOMPARE(server_.requestCount("/products/kx40_core/firmware/release/x_1.0.bin"), 0);
    }
};

TALMENO_TEST_MAIN(TestProducts)
#include "tst_products.moc"
