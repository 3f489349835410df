#pragma once

#include "link/ZSerialPortInterface.h"

#include <QMenu>

class QAction;

namespace Trelvan {

// The menu of one remote node's row: read, write and restart it through the radio
// relay. Each operation checks that the answer came from the addressed node; the
// outcome goes to the row and, on failure, to the setting window's status bar.
class OperateMenu : public QMenu, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static constexpr int kReadWaitMs = 3000;
    static constexpr int kAnswerSettleMs = 2000;
    static constexpr int kAnswerTries = 20;
    static constexpr int kAnswerTryMs = 100;

    static OperateMenu* instance(QWidget* parent = nullptr);
    static OperateMenu* existing();
    ~OperateMenu() override;

    void setTargetRole(quint8 role);
    void setTargetId(qint32 id);
    quint8 targetRole() const { return targetRole_; }
    qint32 targetId() const { return targetId_; }

    // Reads the node's parameters, with the coordinates of group, into the editors.
    bool readRemoteParameter(quint8 role, qint32 id, quint8 group = 0);
    // Asks the node for its parameters with the coordinates of group, leaving the
    // editors alone; true when the node itself answered (the protocol's received
    // frame then holds the answer).
    bool readRemoteCoordinates(quint8 role, qint32 id, quint8 group);
    bool writeRemoteParameter(quint8 role, qint32 id);
    bool restartRemoteNode(quint8 role, qint32 id);
    bool waitRemoteAnswer(quint8 role, qint32 id);

    QAction* readAction() const { return readAction_; }
    QAction* writeAction() const { return writeAction_; }
    QAction* restartAction() const { return restartAction_; }

private:
    explicit OperateMenu(QWidget* parent);
    enum class Operation { Read, Write, Restart };
    void run(Operation op);
    QByteArray relay(const QByteArray& request, quint8 role, qint32 id) const;
    // "Write Parameter" is offered only for the node the editors were read from.
    void updateWriteAction();

    QAction* restartAction_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* writeAction_ = nullptr;
    quint8 targetRole_ = 0xFF;
    qint32 targetId_ = 0;
};

} // namespace Trelvan
