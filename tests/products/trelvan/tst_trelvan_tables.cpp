// The positioning system's constant tables, the item-naming rule, node labels and
// the field readers and length checks shared by its frames.

#include "support/testenv.h"

#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "protocol/ProtocolSeams.h"

#include <atomic>

using namespace Trelvan;

namespace {
std::atomic<bool> g_numbered{false};
std::atomic<bool> g_hex{false};
NodeLabelFlags testFlags()
{
    return NodeLabelFlags{g_numbered.load(), g_hex.load()};
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}
} // namespace

class TestTrelvanTables : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setNodeLabelFlagsHook(nullptr); }

    void frameNamesByIdAndShortNames()
    {
        QCOMPARE(frameNames.size(), 12);
        QCOMPARE(frameNames.value(0), QString("Vexa_Trelvan_Anchor_Frame0"));
        QCOMPARE(frameNames.value(7), QString("Vexa_Trelvan_AOA_Node_Frame0"));
        QCOMPARE(frameNames.value(8), QString("Vexa_Trelvan_Node_Frame5"));
        QCOMPARE(frameNames.value(11), QString("Vexa_Trelvan_Node_Frame7"));
        QCOMPARE(frameNames.value(128), QString("NMEA0183"));
        QCOMPARE(frameNames.value(129), QString("UBX"));
        // No frame under 9 or 10.
        QVERIFY(frameNames.value(9).isEmpty());
        QVERIFY(frameNames.value(10).isEmpty());

        QCOMPARE(frameShortNames.keys(), frameNames.keys());
        for (quint8 key : frameNames.keys()) {
            // Every full name ends in its short name.
            QVERIFY2(frameNames.value(key).endsWith(frameShortNames.value(key)), qPrintable(frameNames.value(key)));
        }
        QCOMPARE(frameShortNames.value(7), QString("AOA_Node_Frame0"));
    }

    void byteCountsAndRateBound()
    {
        QCOMPARE(frameByteCounts.size(), 11);
        QCOMPARE(frameByteCount("Anchor_Frame0"), 896);
        QCOMPARE(frameByteCount("Node_Frame4"), 21);
        QCOMPARE(frameByteCount("AOA_Node_Frame0"), 22);
        QCOMPARE(frameByteCount("UBX"), 10); // no row
        QCOMPARE(frameByteCount("nothing"), 10);

        const QStringList mode0 = refreshRates.value(0);
        // 9600 baud, 896 bytes: bound about 1.07 frames per second.
        QCOMPARE(ratesBelowBound(mode0, 9600, frameByteCount("Anchor_Frame0")), QStringList{"1"});
        // 921600 baud, 21 bytes: about 4389, every rate.
        QCOMPARE(ratesBelowBound(mode0, 921600, frameByteCount("Node_Frame4")), mode0);
        // A rate equal to the bound is not offered: 115200 / 10 / 1152 = 10 exactly.
        QCOMPARE(ratesBelowBound(mode0, 115200, 1152), (QStringList{"1", "2", "5"}));
        QVERIFY(ratesBelowBound(mode0, 115200, 0).isEmpty());
    }

    void modesRolesRatesCapacities()
    {
        QCOMPARE(modeNames.size(), 15);
        QCOMPARE(modeNames.at(6), QString("DR_MODE1"));
        QCOMPARE(modeNames.at(10), QString("DR_MODE0"));
        QCOMPARE(modeNames.at(14), QString("LP_MODE6"));
        QCOMPARE(roleNames, (QStringList{"NODE", "ANCHOR", "TAG", "CONSOLE", "MASTER", "SLAVE", "MONITOR"}));
        QCOMPARE(roleLetters, (QStringList{"N", "A", "T", "C", "M", "S", "Mo"}));

        QCOMPARE(refreshRates.keys(), (QList<int>{0, 1, 2, 11, 12, 13, 14}));
        int texts = 0;
        for (const QStringList& r : refreshRates)
            texts += r.size();
        QCOMPARE(texts, 40);
        QCOMPARE(refreshRates.value(13).last(), QString("200"));
        QCOMPARE(refreshRates.value(11), (QStringList{"1", "5", "10", "15", "20", "25"}));

        QCOMPARE(roleCapacities.size(), 10);
        QCOMPARE(roleCapacities.value(2).value(2), 200);    // LP_MODE2 tags
        QCOMPARE(roleCapacities.value(12).value(1), 120);   // LP_MODE4 anchors
        QCOMPARE(roleCapacities.value(3).value(5), 255);    // DT_MODE0 slaves
        QCOMPARE(roleCapacities.value(6), (QMap<int, int>{{0, 50}}));
        QVERIFY(!roleCapacities.value(13).contains(3));      // LP_MODE5 has no console

        QCOMPARE(wirelessRoleOrder, (QList<int>{3, 0, 1, 2}));
        QVERIFY(roleIcons.isEmpty());
    }

    void modelNamesShape()
    {
        QCOMPARE(modelNames.size(), 45);
        QCOMPARE(modelNames.firstKey(), 0);
        QCOMPARE(modelNames.lastKey(), 44);
        QSet<QString> distinct;
        for (const QString& n : modelNames) {
            QVERIFY(!n.isEmpty());
            distinct.insert(n);
        }
        QCOMPARE(distinct.size(), 45);
        // Id 17 is listed twice: the later text wins and the earlier one is gone,
        // its neighbours untouched.
        QCOMPARE(modelNames.value(17), QString("TV-Console-2"));
        QVERIFY(!distinct.contains("TV-Console"));
        QCOMPARE(modelNames.value(16), QString("TV-Anchor-I"));
        QCOMPARE(modelNames.value(18), QString("TV-Gate"));
    }

    void fieldDescriptorsAndNaming()
    {
        QCOMPARE(fieldDescriptors.size(), 19);
        QCOMPARE(fieldDescriptors.at(16).name, QString("a"));
        QCOMPARE(fieldDescriptors.at(16).unit, QString("(m/s^2)"));
        // The list and the named descriptors agree.
        const QList<const FieldDescriptor*> named{
            &Field::role, &Field::id, &Field::localTime, &Field::systemTime, &Field::voltage, &Field::nodeCount,
            &Field::plr, &Field::pos, &Field::vel, &Field::dis, &Field::eop, &Field::angle, &Field::angle0,
            &Field::angle1, &Field::fpRssi, &Field::rxRssi, &Field::a, &Field::g, &Field::q};
        for (int i = 0; i < named.size(); ++i) {
            QCOMPARE(named[i]->name, fieldDescriptors.at(i).name);
            QCOMPARE(named[i]->unit, fieldDescriptors.at(i).unit);
        }

        QCOMPARE(indexSuffix("5"), QString("[5]"));
        QVERIFY(indexSuffix("").isEmpty());
        QCOMPARE(makeItemName(Field::voltage), QString("voltage(V)"));
        QCOMPARE(makeItemName(Field::plr), QString("plr"));
        QCOMPARE(makeItemName(Field::role), QString("role"));
        QCOMPARE(makeVectorItemNames(Field::pos, "5"),
                 (QStringList{"pos_x[5](m)", "pos_y[5](m)", "pos_z[5](m)"}));
        QCOMPARE(makeVectorItemNames(Field::pos), (QStringList{"pos_x(m)", "pos_y(m)", "pos_z(m)"}));
        const QStringList dis = makeArrayItemNames(Field::dis, 8);
        QCOMPARE(dis.size(), 8);
        QCOMPARE(dis.first(), QString("dis_0(m)"));
        QCOMPARE(dis.last(), QString("dis_7(m)"));
        QCOMPARE(makeArrayItemNames(Field::dis, 8, "5").last(), QString("dis_7[5](m)"));
        QVERIFY(makeArrayItemNames(Field::q, 0).isEmpty());
        QCOMPARE(makeArrayItemNames(Field::q, 4).last(), QString("q_3"));
        QCOMPARE(makeRecordItemName(Field::dis, nodeLabel(1, 3)), QString("dis[A_3](m)"));
        QCOMPARE(makeRecordItemName(Field::fpRssi, "A_3"), QString("fpRssi[A_3](dB)"));
    }

    void nodeLabels()
    {
        QCOMPARE(nodeLabel(1, 3), QString("A_3"));
        QCOMPARE(nodeLabel(2, 12), QString("T_12"));
        QCOMPARE(nodeLabel(6, 20), QString("Mo_20"));
        QCOMPARE(nodeLabel(9, 5), QString("_5"));
        QCOMPARE(nodeLabel(-1, 5), QString("_5"));
        QCOMPARE(nodeLabel(7, 5), QString("_5"));
        QCOMPARE(nodeLabel(0, 4294967295ull), QString("N_4294967295"));

        g_numbered = true;
        g_hex = false;
        setNodeLabelFlagsHook(&testFlags);
        QCOMPARE(nodeLabel(0, 10), QString("NODE0_10"));
        QCOMPARE(nodeLabel(-3, 1), QString("NODE-3_1"));
        g_hex = true;
        QCOMPARE(nodeLabel(0, 10), QString("NODE0_0A"));
        QCOMPARE(nodeLabel(0, 0x1AB), QString("NODE0_01AB"));
        QCOMPARE(nodeLabel(0, 0x12AB), QString("NODE0_12AB"));
        QCOMPARE(nodeLabel(2, 0), QString("NODE2_00"));
        g_numbered = false;
        QCOMPARE(nodeLabel(1, 0xABC), QString("A_0ABC"));
        // The flags are read at every call: back to letters and decimal.
        setNodeLabelFlagsHook(nullptr);
        QCOMPARE(nodeLabel(0, 10), QString("N_10"));

        // The pipeline's label answers with this one once installed.
        installNodeLabel();
        QCOMPARE(ProtocolSeams::nodeLabel(1, 3), QString("A_3"));
        QCOMPARE(ProtocolSeams::nodeLabel(6, 255), QString("Mo_255"));
    }

    void fieldReaders()
    {
        QCOMPARE(readInt24(bytes({0xFF, 0xFF, 0xFF}).constData()), -1);
        QCOMPARE(readInt24(bytes({0x00, 0x00, 0x80}).constData()), -8388608);
        QCOMPARE(readInt24(bytes({0xFF, 0xFF, 0x7F}).constData()), 8388607);
        QCOMPARE(readInt24(bytes({0x39, 0x30, 0x00}).constData()), 12345);
        QCOMPARE(readInt24(bytes({0x18, 0xFC, 0xFF}).constData()), -1000);
        QCOMPARE(readU24(bytes({0x00, 0x00, 0x80}).constData()), 0x800000u);
        QCOMPARE(readU16(bytes({0x34, 0x12}).constData()), quint16(0x1234));
        QCOMPARE(readI16(bytes({0xFE, 0xFF}).constData()), qint16(-2));
        QCOMPARE(readU32(bytes({0x78, 0x56, 0x34, 0xF2}).constData()), 0xF2345678u);
        QCOMPARE(readI32(bytes({0xFF, 0xFF, 0xFF, 0xFF}).constData()), -1);
        QCOMPARE(readI8(bytes({0x80}).constData()), qint8(-128));

        QCOMPARE(scaled(-1000, 1000.0f), -1.0f);
        QCOMPARE(scaled(3300, 1000.0f), 3.3f);
        QCOMPARE(scaled(-4500, 100.0f), -45.0f);
        QCOMPARE(signalLevelDb(150), -75.0f);
        QCOMPARE(signalLevelDb(0), 0.0f);

        const qint32 t = pcTimeOfDay();
        QVERIFY(t >= 0 && t < 86400000);
    }

    void variableLengthRule()
    {
        qint32 length = 21; // at the minimum, as constructed
        const QByteArray head = bytes({0x55, 0x06, 0x30, 0x00});
        // Fewer than 4 bytes: incomplete, length untouched.
        QVERIFY(!checkVariableFrameLength(head.constData(), 3, 21, length));
        QCOMPARE(length, 21);
        // A field above the minimum becomes the frame length.
        QVERIFY(checkVariableFrameLength(head.constData(), 4, 21, length));
        QCOMPARE(length, 0x30);
        // Below the minimum: read as it is, for the frame search to refuse.
        const QByteArray small = bytes({0x55, 0x06, 0x05, 0x00});
        QVERIFY(checkVariableFrameLength(small.constData(), 4, 21, length));
        QCOMPARE(length, 5);
        // Exactly the minimum is accepted.
        const QByteArray exact = bytes({0x55, 0x06, 21, 0x00});
        QVERIFY(checkVariableFrameLength(exact.constData(), 4, 21, length));
        QCOMPARE(length, 21);
        // The full 16-bit range.
        const QByteArray big = bytes({0x55, 0x06, 0xFF, 0xFF});
        QVERIFY(checkVariableFrameLength(big.constData(), 4, 21, length));
        QCOMPARE(length, 65535);
    }

    void recordWalk()
    {
        // Fixed records: 3 records of 6 bytes from 13 fit a bound of 31, not of 30.
        QVERIFY(fixedRecordsWithin(13, 3, 6, 31));
        QVERIFY(!fixedRecordsWithin(13, 3, 6, 30));
        QVERIFY(fixedRecordsWithin(13, 0, 6, 13));
        QVERIFY(!fixedRecordsWithin(13, 255, 6, 40));
        QVERIFY(!fixedRecordsWithin(13, -1, 6, 40));

        // Records whose first byte gives their payload size (as in node frame 4).
        QByteArray frame(4, '\0');
        frame += bytes({2, 0xAA, 0xBB, 0, 1, 0xCC}); // sizes 3, 1, 2
        frame += char(0x00);                          // checksum
        const int bound = frame.size() - 1;
        int calls = 0;
        auto sizeOf = [&calls](const char* record, int left) {
            ++calls;
            Q_UNUSED(left)
            return 1 + quint8(record[0]);
        };
        QVERIFY(recordsWithin(frame.constData(), 4, 3, bound, sizeOf));
        QCOMPARE(calls, 3);
        // One record more reaches past the end: refused without reading past the bound.
        calls = 0;
        QVERIFY(!recordsWithin(frame.constData(), 4, 4, bound, sizeOf));
        QCOMPARE(calls, 3);
        // A record whose size reaches past the bound.
        QByteArray cut(4, '\0');
        cut += bytes({5, 1, 2, 0x00});
        QVERIFY(!recordsWithin(cut.constData(), 4, 1, cut.size() - 1, sizeOf));
        // A size that cannot be read stops the walk.
        QVERIFY(!recordsWithin(frame.constData(), 4, 1, bound, [](const char*, int) { return 0; }));
        QVERIFY(recordsWithin(frame.constData(), 4, 0, bound, sizeOf));
    }
};

TALMENO_TEST_MAIN(TestTrelvanTables)
#include "tst_trelvan_tables.moc"
