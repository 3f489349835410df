#include "views/ChartDrawBudget.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

struct State
{
    qint64 cycleStart = 0;     // when the newest hand-over was applied
    qint64 cycleCost = 0;      // the work since then
    qint64 lastCycleCost = 0;  // the whole work of the hand-over before
    qint64 lastWorkEnd = 0;
    int depth = 0;             // open scopes: only the outermost one counts
    ChartDrawBudget::Totals totals;
};

State& state()
{
    static State s;
    return s;
}

// A single draw longer than this still delays the next by no more: a stall of the
// window system must not freeze the charts for as long.
constexpr qint64 kLongestWaitNs = 2000LL * 1000 * 1000;

} // namespace

qint64 ChartDrawBudget::nowNs()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.nsecsElapsed();
}

void ChartDrawBudget::spent(qint64 ns)
{
    State& s = state();
    s.cycleCost += std::max<qint64>(0, ns);
    s.lastWorkEnd = nowNs();
}

void ChartDrawBudget::beginCycle()
{
    State& s = state();
    s.lastCycleCost = s.cycleCost;
    s.cycleCost = 0;
    s.cycleStart = nowNs();
    ++s.totals.cycles;
}

qint64 ChartDrawBudget::waitNs()
{
    const State& s = state();
    // The draws of the newest hand-over may not have run yet: until they have, the
    // cost of the one before stands in for them.
    const qint64 readyAt = std::max(s.cycleStart + 2 * std::min(s.lastCycleCost, kLongestWaitNs),
                                    s.lastWorkEnd + std::min(s.cycleCost, kLongestWaitNs));
    return std::max<qint64>(0, readyAt - nowNs());
}

ChartDrawBudget::Totals ChartDrawBudget::totals()
{
    return state().totals;
}

ChartDrawBudget::Scope::Scope(bool isDraw) : started_(nowNs()), draw_(isDraw)
{
    ++state().depth;
}

ChartDrawBudget::Scope::~Scope()
{
    if (--state().depth > 0)
        return;
    const qint64 ns = nowNs() - started_;
    spent(ns);
    if (!draw_)
        return;
    Totals& t = state().totals;
    ++t.draws;
    t.drawNs += ns;
    t.longestDrawNs = std::max(t.longestDrawNs, ns);
}
