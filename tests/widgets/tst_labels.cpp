#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "support/testenv.h"

#include "foundation/ZColorSchemeManager.h"
#include "widgets/ZBoldLabel.h"
#include "widgets/ZColorTextLabel.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZLabel.h"
#include "widgets/ZWidgetHelpers.h"

namespace {

// Records the mouse releases that reach it, to see which clicks a child passed on.
class ReleaseRecorder : public QWidget
{
public:
    int releases = 0;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        ++releases;
        e->accept();
    }
};

QString colorSheet(const QColor& c)
{
    return QStringLiteral("QLabel{color:%1;}").arg(c.name());
}

} // namespace

class TestLabels : public QObject
{
    Q_OBJECT

private slots:
    void helpers()
    {
        const QFont f = monospaceFont();
        QCOMPARE(f.family(), QStringLiteral("monospace"));
        QCOMPARE(f.styleHint(), QFont::Monospace);
        QCOMPARE(digitsWidth(f, 0), QFontMetrics(f).boundingRect(QString()).width());
        const int w12 = digitsWidth(f, 12);
        QVERIFY(w12 > 0);
        // In a fixed-pitch font the width grows with the number of digits.
        QVERIFY(digitsWidth(f, 24) > w12);
        QCOMPARE(w12, QFontMetrics(f).boundingRect(QStringLiteral("000000000000")).width());

        QWidget parent;
        QFrame* v = createVLine(&parent);
        QFrame* h = createHLine(&parent);
        QCOMPARE(v->parentWidget(), &parent);
        QCOMPARE(v->frameShape(), QFrame::VLine);
        QCOMPARE(h->frameShape(), QFrame::HLine);
        QCOMPARE(v->frameShadow(), QFrame::Sunken);
        QCOMPARE(v->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(h->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    }

    void labelLayoutAndWidths()
    {
        ZLabel wide(QStringLiteral("speed:"), nullptr, 12);
        QCOMPARE(wide.captionLabel()->text(), QStringLiteral("speed:"));
        QCOMPARE(wide.valueLabel()->font().family(), QStringLiteral("monospace"));
        // Twelve characters show whole, also under a style sheet that pads labels.
        QWidget styled;
        styled.setStyleSheet(QStringLiteral("QLabel { padding: 2px 3px; }"));
        ZLabel padded(QStringLiteral("speed:"), &styled, 12);
        for (ZLabel* label : {&wide, &padded}) {
            const int w = label->valueLabel()->minimumWidth();
            QCOMPARE(label->valueLabel()->maximumWidth(), w);
            QVERIFY(w >= digitsWidth(label->valueLabel()->font(), 12));
            label->setValue(QStringLiteral("-1.23457e+06"));
            QVERIFY2(label->valueLabel()->sizeHint().width() <= w, qPrintable(QString::number(w)));
        }
        QVERIFY(wide.captionLabel()->alignment() & Qt::AlignRight);

        ZLabel free(QStringLiteral("x"), nullptr, 0);
        QCOMPARE(free.valueLabel()->maximumWidth(), QWIDGETSIZE_MAX);
        QCOMPARE(free.valueLabel()->minimumWidth(), 0);

        free.setFixedWidthInDigits(8);
        QCOMPARE(free.width(), digitsWidth(free.valueLabel()->font(), 8));
        QCOMPARE(free.maximumWidth(), free.minimumWidth());
        // Fixed narrower than its caption and value need, a label keeps their width.
        ZLabel anchor(QStringLiteral("A_100"), nullptr, 8);
        anchor.setFixedWidthInDigits(4);
        QCOMPARE(anchor.width(), anchor.layout()->minimumSize().width());
        QVERIFY(anchor.width() > digitsWidth(anchor.valueLabel()->font(), 8));

        free.setCaptionRightAligned(false);
        QVERIFY(free.captionLabel()->alignment() & Qt::AlignLeft);
        QVERIFY(!(free.captionLabel()->alignment() & Qt::AlignRight));
        free.setCaptionRightAligned(true);
        QVERIFY(free.captionLabel()->alignment() & Qt::AlignRight);
    }

    void setValueWithoutHighlight()
    {
        ZLabel label(QStringLiteral("v"), nullptr, 6);
        QVERIFY(!label.highlightChanges());
        label.setValue(QStringLiteral("12"));
        QCOMPARE(label.valueLabel()->text(), QStringLiteral("12"));
        QCOMPARE(label.valueLabel()->styleSheet(), QString());
        label.setValue(QStringLiteral("12"));
        QCOMPARE(label.valueLabel()->text(), QStringLiteral("12"));
        QCOMPARE(label.valueLabel()->styleSheet(), QString());
        label.setValue(QStringLiteral("13"));
        QCOMPARE(label.value(), QStringLiteral("13"));
        QCOMPARE(label.valueLabel()->styleSheet(), QString());
    }

    void setValueWithHighlight()
    {
        ZLabel label(QStringLiteral("v"), nullptr, 6);
        label.setHighlightChanges(true);
        const QColor normal = ZColorSchemeManager::instance()->color(0);
        QVERIFY(normal.isValid());
        QVERIFY(normal != QColor(Qt::red));

        label.setValue(QStringLiteral("1"));
        QCOMPARE(label.valueLabel()->styleSheet(), colorSheet(Qt::red));

        // A second change keeps the colour: the style sheet is not written again.
        label.valueLabel()->setStyleSheet(QStringLiteral("marker"));
        label.setValue(QStringLiteral("2"));
        QCOMPARE(label.valueLabel()->text(), QStringLiteral("2"));
        QCOMPARE(label.valueLabel()->styleSheet(), QStringLiteral("marker"));

        // The same value again returns to the scheme's normal colour.
        label.setValue(QStringLiteral("2"));
        QCOMPARE(label.valueLabel()->styleSheet(), colorSheet(normal));
        label.valueLabel()->setStyleSheet(QStringLiteral("marker"));
        label.setValue(QStringLiteral("2"));
        QCOMPARE(label.valueLabel()->styleSheet(), QStringLiteral("marker"));

        label.setValue(QStringLiteral("3"));
        QCOMPARE(label.valueLabel()->styleSheet(), colorSheet(Qt::red));
    }

    void boldLabel()
    {
        ZBoldLabel label(QStringLiteral("Title"));
        QCOMPARE(label.text(), QStringLiteral("Title"));
        QCOMPARE(label.font().weight(), 75);
        QVERIFY(label.font().bold());
    }

    void colorTextLabelPicksColourOnRightRelease()
    {
        QColor offered = QColor(0x12, 0x34, 0x56);
        QColor seenInitial;
        QString seenTitle;
        QWidget* seenParent = nullptr;
        ZColorTextLabel::setColorDialogHook([&](const QColor& initial, QWidget* parent, const QString& title) {
            seenInitial = initial;
            seenParent = parent;
            seenTitle = title;
            return offered;
        });

        ReleaseRecorder host;
        auto* layout = new QVBoxLayout(&host);
        auto* label = new ZColorTextLabel(QStringLiteral("status"), Qt::blue, &host);
        layout->addWidget(label);
        QCOMPARE(label->styleSheet(), colorSheet(Qt::blue));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        QSignalSpy right(label, &ZColorTextLabel::rightClicked);
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(right.count(), 1);
        QCOMPARE(right.at(0).at(0).value<QColor>(), offered);
        QCOMPARE(seenInitial, QColor(Qt::blue));
        QCOMPARE(seenParent, label);
        QCOMPARE(seenTitle, QStringLiteral("Color dialog"));
        QCOMPARE(label->color(), offered);
        QCOMPARE(label->styleSheet(), colorSheet(offered));
        QCOMPARE(host.releases, 0);

        // Cancelled dialog: nothing changes, nothing is emitted.
        offered = QColor();
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(right.count(), 1);
        QCOMPARE(label->color(), QColor(0x12, 0x34, 0x56));

        // Not changeable: no dialog; the click goes on to the parent.
        offered = Qt::green;
        seenParent = nullptr;
        label->setColorChangeable(false);
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(right.count(), 1);
        QCOMPARE(seenParent, nullptr);
        QCOMPARE(host.releases, 1);

        QSignalSpy dbl(label, &ZColorTextLabel::leftDoubleClicked);
        QTest::mouseDClick(label, Qt::LeftButton);
        QCOMPARE(dbl.count(), 1);

        ZColorTextLabel::setColorDialogHook({});
    }

    void colorTextLabelSizeHint()
    {
        ZColorTextLabel label;
        label.setText(QStringLiteral("a longer status text"));
        QCOMPARE(label.sizeHint(), QFontMetrics(label.font()).boundingRect(label.text()).size());
    }

    void comboBox()
    {
        QWidget parent;
        auto* combo = new ZComboBox(&parent);
        combo->addItems({QStringLiteral("9600"), QStringLiteral("115200"), QStringLiteral("921600")});
        QCOMPARE(combo->itemTexts(),
                 QStringList({QStringLiteral("9600"), QStringLiteral("115200"), QStringLiteral("921600")}));

        QSignalSpy spy(combo, &ZComboBox::enableChanged);
        combo->setEnabled(false);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.last().at(0).toBool(), false);
        combo->setEnabled(true);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.last().at(0).toBool(), true);
        // Disabling the parent disables the box too.
        parent.setEnabled(false);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.last().at(0).toBool(), false);
    }
};

TALMENO_TEST_MAIN(TestLabels)
#include "tst_labels.moc"
