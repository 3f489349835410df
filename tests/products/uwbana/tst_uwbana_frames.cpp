// Settings frame and the two data frames, on frames built by the device simulator.

#include "products/uwbana/UwbAnaProtocols.h"
#include "products/uwbana/UwbAnaTables.h"
#include "sim/AnalyserSimulator.h"
#include "support/testenv.h"

#include <QSignalSpy>

using namespace UwbAna;

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
quint32 word(const QByteArray& f, int at)
{
    return quint32(quint8(f[at])) | quint32(quint8(f[at + 1])) << 8 | quint32(quint8(f[at + 2])) << 16
           | quint32(quint8(f[at + 3])) << 24;
}
} // namespace

class TestUwbAnaFrames : public QObject
{
    Q_OBJECT

private slots:
    // Unknown texts and codes map to nothing rather than to a wrong value.
    void lookups_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("code");
        QTest::newRow("channel 9") << "9" << 10u;
        QTest::newRow("ERR") << "ERR" << 0u;
    }
    void lookups()
    {
        QFETCH(QString, text);
        QFETCH(quint32, code);
        QCOMPARE(codeOf(channels, text), code);
        if (code != 0)
            QCOMPARE(textOf(channels, code), text);
        QCOMPARE(textOf(channels, 99), QString());
        QCOMPARE(textOf(prfs, prfOfPreambleCode(9)), QString("64MHz"));
    }

    void readRequest()
    {
        const QByteArray expected = hex("78 00 01") + QByteArray(52, '\0') + hex("79");
        ProtocolParameter* p = ProtocolParameter::instance(this);
        QCOMPARE(p->packReadRequest(), expected);
        QCOMPARE(p->packWriteRequest(), QByteArray());
    }

    // One write frame, field by field.
    void writeFrame_data()
    {
        QTest::addColumn<int>("chip");
        QTest::addColumn<int>("field");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<bool>("sdc");
        QTest::addColumn<quint32>("word0");
        QTest::addColumn<quint32>("word1");
        QTest::newRow("preamble code 24") << 0 << int(ChipConfig::PreambleCode) << 24u << false << 0x1800u << 0u;
        QTest::newRow("channel 9") << 2 << int(ChipConfig::Channel) << 10u << false << 0x0Au << 0u;
        QTest::newRow("sts mode 4") << 3 << int(ChipConfig::StsMode) << 4u << false << (4u << 27) << 0u;
        QTest::newRow("too wide for prf") << 1 << int(ChipConfig::Prf) << 7u << false << (3u << 13) << 0u;
        QTest::newRow("sts length + sdc on DW3000") << 2 << int(ChipConfig::StsLength) << 7u << true << 0u << 0x0Fu;
        QTest::newRow("no sdc on DW1000") << 1 << int(ChipConfig::StsLength) << 0u << true << 0u << 0u;
    }
    void writeFrame()
    {
        QFETCH(int, chip);
        QFETCH(int, field);
        QFETCH(quint32, code);
        QFETCH(bool, sdc);
        QFETCH(quint32, word0);
        QFETCH(quint32, word1);
        ParameterSettings s;
        s.baud = 921600;
        s.period = 5;
        s.radix = 0x1234;
        s.detectMode = codeOf(detectModes, "Exist");
        s.threshold = 77;
        s.chipEnabled[chip] = true;
        s.chips[chip].setField(ChipConfig::Field(field), code);
        s.chips[chip].setSdc(sdc);
        // Reserved bits set by a caller never travel.
        s.chips[chip].words[0] |= 0xC0000000u;
        s.chips[chip].words[1] |= 0xFFFFFFF0u;
        const QByteArray f = s.toWriteFrame();
        QCOMPARE(f.left(3), hex("78 00 00"));
        QCOMPARE(f.mid(3, 4), hex("00 10 0E 00"));
        QCOMPARE(quint8(f[7]), quint8(5));
        QCOMPARE(f.mid(8, 2), hex("34 12"));
        QCOMPARE(quint8(f[10]), quint8(0x10 | (1 << chip)));
        QCOMPARE(quint8(f[11]), quint8(77));
        QCOMPARE(f.mid(12, 4), QByteArray(4, '\0'));
        QCOMPARE(f.mid(48, 7), QByteArray(7, '\0'));
        QCOMPARE(word(f, 16 + 8 * chip), word0);
        QCOMPARE(word(f, 20 + 8 * chip), word1);
        for (int other = 0; other < 4; ++other)
            if (other != chip)
                QCOMPARE(f.mid(16 + 8 * other, 8), QByteArray(8, '\0'));
        quint8 sum = 0;
        for (int i = 0; i < 55; ++i)
            sum = quint8(sum + quint8(f[i]));
        QCOMPARE(quint8(f[55]), sum);
        // What the frame says comes back when it is read.
        const ParameterSettings back = ParameterSettings::fromFrame(f);
        QCOMPARE(back.detectMode, 1u);
        QCOMPARE(back.chipEnabled[chip], true);
        QCOMPARE(back.chips[chip].field(ChipConfig::Field(field)), code & ((field == ChipConfig::Prf) ? 3u : 0xFFu));
        s.detectMode = codeOf(detectModes, "Error");
        QCOMPARE(quint8(s.toWriteFrame()[10]) & 0x10, 0);
    }

    // Records made by the protocols' decoders from simulated frames.
    void receiveFrame_data()
    {
        QTest::addColumn<int>("payloadLength");
        QTest::newRow("empty payload") << 0;
        QTest::newRow("longest: beyond a 16-bit frame length") << 65535;
    }
    void receiveFrame()
    {
        QFETCH(int, payloadLength);
        sim::AnalyserReceive r = sim::Analyser::receiveOf(2, 0, 123456);
        r.rxTime = 0x12345678ABull;
        r.fpRssi = 160;
        r.rxRssi = 171;
        r.pkAmpl = 7777;
        r.luep = 255;
        r.hwClockOffset = 1.0f;
        r.payload = QByteArray(payloadLength, char(0x5A));
        const QByteArray frame = sim::analyserReceiveFrame(r);
        QCOMPARE(frame.mid(32, 4), hex("00 00 80 3F"));

        ProtocolFrame1* p = ProtocolFrame1::instance(this);
        QVERIFY(!p->checkFrameLength(frame.constData(), 49));
        QVERIFY(p->checkFrameLength(frame.constData(), 50));
        QCOMPARE(p->frameLength(), 51 + payloadLength);
        QVERIFY(p->verifyFrame(frame.constData()));
        QByteArray bad = frame;
        bad[bad.size() - 1] = char(bad.at(bad.size() - 1) + 1);
        QVERIFY(!p->verifyFrame(bad.constData()));

        QSignalSpy spy(p, &ProtocolFrame1::data_ready);
        p->parseFrame(frame);
        QCOMPARE(spy.count(), 1);
        const auto data = spy.at(0).at(0).value<std::shared_ptr<ProtocolFrame1::Data>>();
        QCOMPARE(data->raw, frame);
        QCOMPARE(data->payload, r.payload);
        const ReceiveHeader h = data->receiveHeader();
        QCOMPARE(int(h.chip), 2);
        QCOMPARE(h.systemTime, 123456u);
        QCOMPARE(h.rxTime, 0x12345678ABull);
        QCOMPARE(double(ReceiveHeader::rssi(h.fpRssi)), -80.0);
        QCOMPARE(double(ReceiveHeader::rssi(h.rxRssi)), -85.5);
        QCOMPARE(QString::number(double(ReceiveHeader::hundredths(h.luep)), 'g', 6), QString("2.55"));
        QCOMPARE(int(h.dataLength), payloadLength);
    }

    void interval_data()
    {
        QTest::addColumn<quint64>("previous");
        QTest::addColumn<quint64>("current");
        QTest::addColumn<double>("units");
        QTest::newRow("wrap of the 40-bit clock") << (quint64(1) << 40) - 16 << quint64(16) << 32.0;
        QTest::newRow("plain") << quint64(1000) << quint64(64897600) << 64896600.0;
        QTest::newRow("upper bits ignored") << quint64(0xFF00000000000005ull) << quint64(0x0100000000000015ull) << 16.0;
    }
    void interval()
    {
        QFETCH(quint64, previous);
        QFETCH(quint64, current);
        QFETCH(double, units);
        QCOMPARE(ReceiveHeader::intervalMs(current, previous), units * 1.5650040064102565e-11 * 1000.0);
    }

    void statusFrame()
    {
        sim::AnalyserChipStatus chips[4];
        for (int i = 0; i < 4; ++i) {
            chips[i].status = quint8(i);
            chips[i].plr = quint16(1234 + i);
            for (int c = 0; c < 5; ++c)
                chips[i].counters[c] = quint16(100 * i + c);
        }
        const QByteArray frame = sim::analyserStatusFrame(987654, 512, chips);
        ProtocolFrame0* p = ProtocolFrame0::instance(this);
        QVERIFY(p->verifyFrame(frame.constData()));
        QSignalSpy spy(p, &ProtocolFrame0::data_ready);
        p->parseFrame(frame);
        QCOMPARE(spy.count(), 1);
        const auto d = spy.at(0).at(0).value<std::shared_ptr<ProtocolFrame0::Data>>();
        QCOMPARE(d->systemTime(), 987654u);
        QCOMPARE(double(d->volts()), double(5.12f));
        for (int i = 0; i < 4; ++i) {
            const ChipStatus s = d->chip(i);
            QCOMPARE(int(s.status), i);
            QCOMPARE(s.plr, quint16(1234 + i));
            QCOMPARE(s.rxfcgCount, quint16(100 * i));
            QCOMPARE(s.rxstoCount, quint16(100 * i + 4));
        }
    }

    void parameterReply()
    {
        ProtocolParameter* p = ProtocolParameter::instance();
        const QByteArray reply = sim::analyserParameterDefaults(115200);
        QVERIFY(p->verifyFrame(reply.constData()));
        QByteArray bad = reply;
        bad[55] = char(bad.at(55) ^ 0x01);
        QVERIFY(!p->verifyFrame(bad.constData()));
        QSignalSpy spy(p, &ProtocolParameter::data_ready);
        p->parseFrame(reply);
        QCOMPARE(spy.count(), 1);
        const auto d = spy.at(0).at(0).value<std::shared_ptr<ProtocolParameter::Data>>();
        const ParameterSettings s = d->settings();
        QCOMPARE(s.baud, 115200u);
        QCOMPARE(s.threshold, quint8(50));
        QCOMPARE(textOf(channels, s.chips[2].field(ChipConfig::Channel)), QString("9"));
        QCOMPARE(textOf(stsLengths, s.chips[2].field(ChipConfig::StsLength)), QString("128"));
        QVERIFY(s.chips[2].sdc() && !s.chips[0].sdc());
        // Read back and written again, the settings are the same bytes.
        QCOMPARE(s.toWriteFrame(), reply);
    }
};

TALMENO_TEST_MAIN(TestUwbAnaFrames)
#include "tst_uwbana_frames.moc"
