#pragma once

#include <functional>

class QWidget;
class cSerialLink;

// What one round of connecting found.
struct ConnectRound {
    bool opened = false; // the port opened
    bool online = false;
    bool docked = false; // the docking station answered
};

// Connects `link` on port `port`: the status dialog opens the port and sends the docking check,
// round after round while a silent station is answered with Retry (a repeated round finds the
// port open and only checks again). `shown` runs after each round, before its box. The link's
// sequence is held throughout. Returns the last round.
ConnectRound ConnectLink(cSerialLink& link, int port, bool online, QWidget* parent,
                         const std::function<void(const ConnectRound&)>& shown);
