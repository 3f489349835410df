#pragma once

#include <QtGlobal>

class QObject;
class ZSerialPort;

// Points the interface hooks at port: writes go to it while it is open, time-outs
// follow its current rate, rate changes go to it, and its open status reaches every
// interface. When owner is given, its destruction deletes the manager later.
void installSerialPortHooks(ZSerialPort* port, QObject* owner = nullptr);

// Time-out in ms for bytes at baudRate (10 bits a byte, both directions, rounded to
// the nearest ms) plus extraMs.
int transferTimeoutMs(int bytes, int extraMs, qint32 baudRate);

// Hooks for a program that has no port yet: writes fail, time-outs assume 9600 baud.
// Installed only where no hooks are, so a later installSerialPortHooks wins.
void installClosedPortHooks();
