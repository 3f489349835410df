#pragma once

#include "products/trelvan/config/ConfigTypes.h"
#include "products/trelvan/protocols/ParameterFrame.h"
#include "widgets/ZMultiPageWidget.h"

#include <QMap>
#include <QPair>
#include <QSet>
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
// anchors. A page shows only rows that an answer for its group gave: a new record
// fills the page of its group (and asks for the group of the page to show when it is
// another), a group answer fills its page alone, and each publishes its rows as
// scatter points "A<n>" in the 2D and 3D charts. Opening a page asks for its group
// unless the user typed into it. A page no answer filled is not editable. A store
// writes the page on screen, under its group.
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

    // The answer to a read of one group: fills that group's page only, keeping the
    // other pages and every edit elsewhere.
    void showGroupAnswer(const ParameterFrame& answer);
    // The first cell of the page on screen that cannot be stored (not a number, or
    // outside the field's range), named like "A12 Y"; empty when all can or the page
    // shows no rows.
    QString firstInvalidCell() const;
    // The name of the page on screen when its cells could be edited but no answer
    // has filled it (a write would send rows never read); empty otherwise.
    QString unfilledPage() const;
    // A cell's text as millimetres: the nearest millimetre, an exact half toward
    // zero. False for a text that is no number or lies outside the field.
    static bool cellToMillimetres(const QString& text, qint32* mm);
    // Millimetres as a cell shows them (metres, to the millimetre).
    static QString millimetresText(qint32 mm);

    // The page on screen was written: its edits are sent.
    void markCurrentPageWritten();
    // The names of the pages holding edits not yet written, the page on screen included.
    QStringList unsentPages() const;
    // While set, a record read starts every page afresh, edits included (the user
    // asked for the node's values).
    void setDiscardEdits(bool discard) { discardEdits_ = discard; }

    ZMultiPageWidget* pages() const { return pages_; }
    ZTableWidget* currentTable() const;
    bool isRetryPending() const;

signals:
    // The page of groupIndex is to show that group's rows: the user activated it, or
    // the last reply carried another group.
    void readCoordinatesRequired(int groupIndex);

private:
    void onPageActivated(int index);
    void fillPage(const ParameterFrame& answer, bool keepEdits = false);
    void updateCellsEnabled();
    // Whether the cells of the record's role can be edited (its pages are written).
    bool editableRole() const;
    void publishChartPoints();
    // The table of the page on screen when an answer filled it.
    ZTableWidget* filledCurrentTable() const;

    ZMultiPageWidget* pages_;
    ZCoordinatePageFactory* factory_;
    QTimer* retry_;
    // The reply count of the frame the table shows: a load for the same reply
    // (another editor changed) keeps what the user typed.
    quint64 shownReply_ = ~quint64(0);
    // The group asked for because a reply carried another one; -1 when none.
    int askedGroup_ = -1;
    // The pages that an answer for their group filled since the last new record,
    // and those the user typed into since.
    QSet<int> filled_;
    QSet<int> edited_;
    // The node (role, id) whose record the pages show: another record of the same
    // node (the read that follows a write) keeps the pages with edits not written.
    QPair<int, int> shownNode_{-1, -1};
    bool discardEdits_ = false;
    // The last answer whose rows the charts are to show.
    ParameterFrame chartAnswer_;
    QMap<ModelManager*, QMap<quint64, QPair<BaseResourceItem*, BaseResourceItem*>>> anchorItems_;
};

} // namespace Trelvan
