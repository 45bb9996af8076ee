#pragma once

class QWidget;
class cSerialLink;

// Before a command to the reader: waits until the line has been quiet (cSerialLink::WaitQuiet).
// While the reader is still sending, a box says so and offers Cancel. False when the user
// cancelled, the port is closed or the line never went quiet; nothing may be sent then.
bool WaitForQuietLine(cSerialLink& link, QWidget* parent);

// What the windows say while they wait for the line.
const char* LineBusyText();
