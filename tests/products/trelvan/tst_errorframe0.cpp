// The error frame through the real frame search and processor, and its popup.

#include "support/testenv.h"

#include "foundation/ZIconsManager.h"
#include "helpers/TestCapture.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/ProtocolErrorFrame0.h"
#include "products/trelvan/views/WidgetErrorFrame0.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "sim/TrelvanScenario.h"
#include "views/RefreshManagers.h"
#include "widgets/WidgetIndicator.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QRegularExpression>

using Trelvan::ProtocolErrorFrame0;
using Trelvan::WidgetErrorFrame0;
using sim::ErrorFrameFields;

Q_DECLARE_METATYPE(ErrorFrameFields)

namespace {

ErrorFrameFields error(qint8 role, quint8 id, quint32 time, quint8 flags, std::array<quint8, 3> marks = {})
{
    ErrorFrameFields f;
    f.role = role;
    f.id = id;
    f.systemTime = time;
    f.flags = flags;
    f.marks = marks;
    return f;
}

// The log text after its time prefix.
QString textOf(const QString& line)
{
    static const QRegularExpression prefix(R"(^\[\d\d\.\d\d \d\d:\d\d:\d\d\.\d\d\d\] )");
    return prefix.match(line).hasMatch() ? line.mid(21) : QStringLiteral("<no time prefix> ") + line;
}

} // namespace

class TestErrorFrame0 : public QObject
{
    Q_OBJECT

private:
    ProtocolFrameExtraction* ex = nullptr;
    ProtocolErrorFrame0* p = nullptr;

    void feed(const QByteArray& bytes)
    {
        ex->appendData(bytes);
        ex->extractFrames();
        ProtocolDataProcessor::instance()->processFrames();
    }
    WidgetErrorFrame0* popup() { return p->viewItem()->view(); }
    QStringList errorLines() { return TestTrelvan::logLines("Trelvan error occurred"); }
    qint64 iconKey(int id) { return ZIconsManager::instance()->colorIcon(id).cacheKey(); }

private slots:
    void initTestCase()
    {
        TestTrelvan::startLogCapture(true);
        CommonRefreshManager::instance(this);
        ex = ProtocolFrameExtraction::instance();
        ProtocolFactory::clearRegistrations();
        Trelvan::registerProtocols();
        p = ProtocolErrorFrame0::instance(this);
        p->setActive(true);
    }

    void cleanupTestCase() { TestTrelvan::stopLogCapture(); }

    void init()
    {
        ex->clearBuffers();
        TestTrelvan::clearLog();
    }

    void firstFrameBuildsThePopup()
    {
        QVERIFY(!popup());
        const QByteArray frame = sim::errorFrame0(error(2, 7, 5000, 0x09));
        feed(frame);
        QVERIFY(popup());
        QVERIFY(!popup()->isVisible());
        QCOMPARE(popup()->windowAction->icon().cacheKey(), iconKey(7));
        const auto queued = p->queue.takeAll();
        QCOMPARE(queued.size(), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(queued[0]->bytes), 32), frame);
        p->viewItem()->setDirty(false);
    }

    void logLineAndFields_data()
    {
        QTest::addColumn<ErrorFrameFields>("fields");
        QTest::addColumn<QString>("logText");
        QTest::addColumn<QString>("roleText");

        QTest::newRow("two flags and a mark")
            << error(2, 7, 5000, 0x11, {2, 0, 0})
            << "Trelvan error occurred, T_7, systemTime:5000, nodeRepeat, hardFault, errorTypeMark0:2" << "TAG";
        QTest::newRow("restart then dtLengthOverflow")
            << error(1, 3, 0xFFFFFFFFu, 0x88)
            << "Trelvan error occurred, A_3, systemTime:4294967295, restart, dtLengthOverflow" << "ANCHOR";
        QTest::newRow("every flag and mark")
            << error(6, 255, 1, 0xFF, {1, 128, 255})
            << "Trelvan error occurred, Mo_255, systemTime:1, nodeRepeat, lpsSettingFrameError, "
               "anchorCoordinateError, restart, hardFault, uwbTxError, posAbnormalZero, dtLengthOverflow, "
               "errorTypeMark0:1, errorTypeMark1:128, errorTypeMark2:255"
            << "MONITOR";
        QTest::newRow("role 7") << error(7, 1, 9, 0x02, {0, 0, 4})
                                << "Trelvan error occurred, _1, systemTime:9, lpsSettingFrameError, errorTypeMark2:4"
                                << "";
        QTest::newRow("negative role") << error(qint8(0x80), 2, 9, 0) << "Trelvan error occurred, _2, systemTime:9"
                                       << "";
    }

    void logLineAndFields()
    {
        QFETCH(ErrorFrameFields, fields);
        QFETCH(QString, logText);
        QFETCH(QString, roleText);
        feed(sim::errorFrame0(fields));
        CommonRefreshManager::instance()->refresh();
        QVERIFY(!p->viewItem()->isDirty());

        const QStringList lines = errorLines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(textOf(lines[0]), logText);
        WidgetErrorFrame0* w = popup();
        QCOMPARE(w->roleLabel->text(), roleText);
        QCOMPARE(w->systemTimeLabel->text(), QString::number(fields.systemTime));
        for (int k = 0; k < 8; ++k)
            QCOMPARE(w->indicators[k]->state(), bool(fields.flags & (1 << k)));
        for (int m = 0; m < 3; ++m)
            QCOMPARE(w->markLabels[m]->text(), QString::number(fields.marks[size_t(m)]));
        QCOMPARE(w->windowAction->icon().cacheKey(), iconKey(8));
    }

    void framesBetweenRefreshesAreAllLogged()
    {
        QByteArray stream;
        for (quint32 t : {100u, 200u, 300u})
            stream += sim::errorFrame0(error(2, quint8(t / 100), t, 0x01));
        QByteArray bad = sim::errorFrame0(error(2, 9, 400, 0x01));
        bad[31] = char(bad[31] + 1); // the sum no longer matches
        stream += bad;
        feed(stream);
        QCOMPARE(p->queue.size(), 3);
        CommonRefreshManager::instance()->refresh();
        const QStringList lines = errorLines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(textOf(lines[2]), QString("Trelvan error occurred, T_3, systemTime:300, nodeRepeat"));
        QCOMPARE(popup()->idLabel->text(), QString("3"));
    }

    // Quiet for 1.5 s: green again, every field empty, even with the popup open.
    void lightTurnsGreenWhenQuiet()
    {
        if (!popup()) { // run alone: the first frame builds the popup
            feed(sim::errorFrame0(error(2, 7, 5000, 0x09)));
            p->queue.takeAll();
            p->viewItem()->setDirty(false);
        }
        WidgetErrorFrame0* w = popup();
        feed(sim::errorFrame0(error(1, 4, 77, 0x30, {5, 6, 7})));
        CommonRefreshManager::instance()->refresh();
        QCOMPARE(w->windowAction->icon().cacheKey(), iconKey(8));

        QCursor::setPos(QPoint(200, 150));
        w->windowAction->trigger();
        QVERIFY(w->isVisible());
        QCOMPARE(w->pos(), QCursor::pos());
        QCOMPARE(w->idLabel->text(), QString("4"));

        QTRY_COMPARE_WITH_TIMEOUT(w->windowAction->icon().cacheKey(), iconKey(7), 10000);
        for (QLabel* label : {w->roleLabel, w->idLabel, w->systemTimeLabel, w->markLabels[0]})
            QVERIFY(label->text().isEmpty());
        for (WidgetIndicator* light : w->indicators)
            QVERIFY(!light->state());
        w->hide();
    }
};

TALMENO_TEST_MAIN(TestErrorFrame0)
#include "tst_errorframe0.moc"
