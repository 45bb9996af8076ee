#pragma once

// Set while the docking station answered the last docking check.
extern bool gDocked;
// While set, bytes received on the serial port are appended to the receive buffer.
extern bool gReceiveEnabled;
