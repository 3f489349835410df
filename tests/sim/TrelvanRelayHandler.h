#pragma once

// The node at the port as a radio relay: it takes the relay frame "54 F1" (command,
// three reserved bytes, target role and id, 16-bit payload length, the payload, an
// 8-bit sum) and passes the payload on to simulated remote nodes. Command 0xA1
// reaches the one node with that role and id, which answers after a set delay with
// its system frame (for a system read) or its parameter frame; 0xA0 reaches every
// node of the role and is never answered. A broadcast write keeps each node's own
// id. Parameter answers report running mode 3, the wireless setting mode that
// relayed nodes run. Relayed firmware frames (984 bytes, 52 01) are stored per node at their
// address. A frame whose sum is wrong is dropped. Put it in front of the parameter
// and system handlers.
//
// Per node a test can switch on: an answer under another id, other firmware
// (chosen when the node is added), silence, a late answer, or silence after a
// number of answers.

#include "DelayedSender.h"
#include "DeviceSimulator.h"
#include "TrelvanParameterHandler.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

class TrelvanRelayHandler : public RequestHandler
{
public:
    enum class Mode { Normal, OtherId, Silent, Late };

    explicit TrelvanRelayHandler(DeviceSimulator& device);
    TrelvanRelayHandler(const TrelvanRelayHandler&) = delete;
    TrelvanRelayHandler& operator=(const TrelvanRelayHandler&) = delete;

    // Adds a remote node; returns its index. firmware: first to fourth part.
    int addNode(const TrelvanNodeSetup& setup, const std::array<quint8, 4>& firmware = {1, 2, 3, 4});
    TrelvanParameterHandler& parameters(int node);
    void setMode(int node, Mode mode);
    // The node answers n more requests, then stays silent (-1: no limit).
    void setAnswerLimit(int node, int n);
    // Changes a written frame before the node keeps it (a node refusing a value).
    void setWriteFilter(int node, std::function<void(QByteArray&)> filter);
    void setDelayMs(int ms) { delayMs_.store(ms); }
    void setLateDelayMs(int ms) { lateDelayMs_.store(ms); }

    // The node's current role and id (a write may move it).
    QPair<quint8, quint8> address(int node) const;
    // Every unicast target in order of arrival.
    QList<QPair<quint8, quint8>> unicastTargets() const;
    // Broadcasts heard, by role.
    int broadcasts(quint8 role) const;
    int badFrames() const { return badFrames_.load(); }
    // Answers scheduled and not yet sent.
    int pendingAnswers() const;
    int firmwareFrames(int node) const;
    // The first size bytes of what the relayed firmware frames wrote (gaps 0xFF).
    QByteArray firmwareImage(int node, int size) const;
    void clearLog();

    int handle(const QByteArray& input, const SimContext& ctx, QByteArray& reply) override;

private:
    struct Remote
    {
        std::shared_ptr<TrelvanParameterHandler> parameters;
        std::array<quint8, 4> firmware;
        Mode mode = Mode::Normal;
        int answerLimit = -1;
        bool broadcast = false;
        quint8 keptId = 0;
        std::function<void(QByteArray&)> filter;
        int firmwareFrames = 0;
        QByteArray flash;
    };
    // Under mutex_.
    Remote* find(quint8 role, quint8 id);
    QByteArray systemFrameOf(const Remote& r) const;
    void deliver(Remote& r, const QByteArray& payload, bool unicast);
    void storeFirmware(Remote& r, const QByteArray& frame);

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Remote>> nodes_;
    QList<QPair<quint8, quint8>> unicasts_;
    QList<quint8> broadcasts_;
    std::atomic<int> delayMs_{5};
    std::atomic<int> lateDelayMs_{300};
    std::atomic<int> badFrames_{0};
    DelayedSender answers_;
};

} // namespace sim
