#pragma once

#include "products/trelvan/config/ConfigTypes.h"
#include "widgets/ZMultiPageWidget.h"

#include <QMap>
#include <QPair>
#include <QWidget>

class BaseResourceItem;
class ModelManager;
class QTimer;
class ZTableWidget;

namespace Trelvan {

// Pages of ten anchor rows (X, Y, Z in metres) for the coordinate editor.
class ZCoordinatePageFactory : public ZIPageFactory
{
    Q_OBJECT
public:
    explicit ZCoordinatePageFactory(QObject* parent = nullptr) : ZIPageFactory(parent) {}
    QWidget* createPage(QWidget* parent) override;

    int pageIndex = 0;
    int rowCount = 0;
};

// The anchor coordinates of the parameter record, one page per group of ten
// anchors. A load shows the received anchors on the page of the reply's group (and
// asks for the group of the page to show when the reply carries another) and
// publishes them as scatter points "A<n>" in the current page's 2D and 3D charts; a
// store writes that page's table, under its group, into the record to be written.
class ZCoordinateItem : public QWidget, public ZConfigItemInterface
{
    Q_OBJECT
public:
    // Coordinates the 24-bit millimetre field can carry, in metres.
    static constexpr double kMinMetres = -8388.608;
    static constexpr double kMaxMetres = 8388.607;

    explicit ZCoordinateItem(QWidget* parent = nullptr);
    ~ZCoordinateItem() override;

    void loadFromParameter() override;
    void storeToParameter() override;

    // The first cell of the page that shows its group's rows that cannot be stored
    // (not a number, or outside the field's range), named like "A12 Y"; empty when
    // all can or no page shows rows.
    QString firstInvalidCell() const;
    // A cell's text as millimetres: the nearest millimetre, an exact half toward
    // zero. False for a text that is no number or lies outside the field.
    static bool cellToMillimetres(const QString& text, qint32* mm);
    // Millimetres as a cell shows them (metres, to the millimetre).
    static QString millimetresText(qint32 mm);

    ZMultiPageWidget* pages() const { return pages_; }
    ZTableWidget* currentTable() const;
    bool isRetryPending() const;

signals:
    // The page of groupIndex is to show that group's rows: the user activated it on
    // a tag, or the last reply carried another group.
    void readCoordinatesRequired(int groupIndex);

private:
    void publishChartPoints(ModelManager* models);
    ZTableWidget* shownTable() const;

    ZMultiPageWidget* pages_;
    ZCoordinatePageFactory* factory_;
    QTimer* retry_;
    // The reply count of the frame the table shows: a load for the same reply
    // (another editor changed) keeps what the user typed.
    quint64 shownReply_ = ~quint64(0);
    // The group asked for because a reply carried another one; -1 when none.
    int askedGroup_ = -1;
    // The group whose rows, read from the node, a page shows; -1 when none does.
    int shownGroup_ = -1;
    QMap<ModelManager*, QMap<quint64, QPair<BaseResourceItem*, BaseResourceItem*>>> anchorItems_;
};

} // namespace Trelvan
