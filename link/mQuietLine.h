#pragma once

#include "cCommandExchange.h"

class QWidget;
class cSerialLink;

// The wait for a quiet line as the windows show it: once it has lasted ShowBusyBoxAfterMs a
// box says the reader is still sending and offers Cancel, which ends the wait.
cCommandExchange::Waiting LineBusyWaiting(const cLinkTimings& timings, QWidget* parent);

// Before a command to the reader: waits until the line has been quiet (cSerialLink::WaitQuiet),
// showing LineBusyWaiting. False when the user cancelled, the port is closed or the line never
// went quiet; nothing may be sent then.
bool WaitForQuietLine(cSerialLink& link, QWidget* parent);

// What the windows say while they wait for the line.
const char* LineBusyText();
