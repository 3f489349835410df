#pragma once

#include "views/RefreshManagers.h"
#include "widgets/ZPopupShadowWindow.h"

#include <QPointer>
#include <QVector>

class QAction;
class QLabel;
class QTimer;
class WidgetIndicator;

namespace Trelvan {

// The "Error Info" popup: the fields of the newest error frame, filled while the
// tool-bar light is red (until 1.5 s after the last error frame). Every error
// frame is logged as one warning line.
class WidgetErrorFrame0 : public ZPopupShadowWindow
{
    Q_OBJECT
public:
    static constexpr int kResetInterval = 1500;
    static constexpr int kFlagCount = 8;
    static constexpr int kMarkCount = 3;
    // The error flags' names, bit 0 first.
    static const QStringList& flagNames();

    explicit WidgetErrorFrame0(QWidget* parent = nullptr);
    ~WidgetErrorFrame0() override;

    // Takes the queued error records: logs each, shows the newest, light red.
    void showErrors();
    // Back to quiet: light green, every field empty, indicators off.
    void resetIndicators();

    QAction* windowAction = nullptr; // parentless: it lives on the tool bar
    QTimer* resetTimer = nullptr;
    QLabel* roleLabel = nullptr;
    QLabel* idLabel = nullptr;
    QLabel* systemTimeLabel = nullptr;
    QVector<WidgetIndicator*> indicators;
    QVector<QLabel*> markLabels;
};

// The special item of the error frame: builds the hidden popup and its action on
// the GUI thread, and has it take the queued records when the protocol marks it.
class WidgetErrorFrame0Item : public SpecialDataResourceItem
{
    Q_OBJECT
public:
    explicit WidgetErrorFrame0Item(QObject* owner);
    ~WidgetErrorFrame0Item() override;

    void createView() override;
    void refreshView() override;

    WidgetErrorFrame0* view() const { return view_; }

private:
    QPointer<WidgetErrorFrame0> view_;
};

} // namespace Trelvan
