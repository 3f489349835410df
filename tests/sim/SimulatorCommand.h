#pragma once

// talmeno-sim's command line as a library: the options, and the device they describe,
// played on a pseudo terminal. The tool's main runs one command; tests run the same.

#include <QString>
#include <QStringList>

#include <memory>

namespace sim {

class DeviceSimulator;
class TrelvanTrial;

class SimulatorCommand
{
public:
    SimulatorCommand();
    ~SimulatorCommand();
    SimulatorCommand(const SimulatorCommand&) = delete;
    SimulatorCommand& operator=(const SimulatorCommand&) = delete;

    // Parses the arguments (the program's name first), builds the device they
    // describe, starts it and makes the --link. False when it did not start: for
    // --help (exitCode() 0, helpText() to be shown), for a wrong command line (2) or
    // a device that could not start (1), with error() saying why.
    bool start(const QStringList& arguments);
    // Stops every stream and the device (to the port: an unplugged adapter) and
    // removes the link while it still points to this port.
    void stop();

    QString helpText() const;
    QString error() const;
    int exitCode() const;

    DeviceSimulator& device();
    QString portPath() const;
    // The played positioning node; null when the command plays another device.
    TrelvanTrial* trelvan() const;

private:
    struct Played;
    std::unique_ptr<Played> p_;
};

} // namespace sim
