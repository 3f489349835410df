#pragma once

#include <QtGlobal>

// How much of the page's thread the charts may take. The port is read on that
// thread, so a chart whose draw takes long must draw less often, not hold up the
// device: the work one hand-over of new data costs (applying it to the series and
// the draws that follow) is measured, and the next hand-over waits at least as long
// again after that work ended. Charts therefore take at most about half of the
// thread, however heavy they are, and draw as often as they can afford within that.
// GUI thread only.
class ChartDrawBudget
{
public:
    // A new hand-over of data is being applied now: the work from here on is its cost.
    static void beginCycle();
    // Nanoseconds until the charts may take new data again (0: now).
    static qint64 waitNs();

    // Counters for measurements: draws measured, their total and longest time.
    struct Totals
    {
        quint64 draws = 0;
        qint64 drawNs = 0;
        qint64 longestDrawNs = 0;
        quint64 cycles = 0;
    };
    static Totals totals();

    // Measures the scope as chart work (a draw when counted as one).
    class Scope
    {
    public:
        explicit Scope(bool isDraw = true);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        qint64 started_;
        bool draw_;
    };

private:
    // Chart work of ns nanoseconds (a draw, or applying new data) that just ended.
    static void spent(qint64 ns);
    static qint64 nowNs();
};
