#pragma once

class ZSerialPort;

// Start-up wiring of the frame pipeline, for the main window to call once while it
// is built, before ZThreadManager::startThreads():
// - creates the frame extraction (which makes the processor and moves it to thread
//   slot 3) and moves the extraction to slot 2;
// - sets the UDP output switch from "EnableUDPOutput" (written as true when absent)
//   and the UDP port to 33000, as the main menu will;
// - with a port: connects its dataArrived straight to the extraction and installs
//   the serial interface hooks on it; without one: installs hooks that report a
//   closed port, unless hooks are already there.
// The extraction is enabled by the caller at the end of its construction
// (ProtocolFrameExtraction::instance()->setEnabled(true)).
void initLinkServices(ZSerialPort* port = nullptr);

// The port's bytes go straight to the frame search, which asks the port's thread,
// before it gives up a held candidate, whether bytes still wait unread.
void searchPortData(ZSerialPort* port);
