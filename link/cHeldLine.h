#pragma once

#include "cLinkLine.h"

#include <functional>

class cSerialLink;

// A line held for the steps that belong together, such as a download and its erase and clock:
// it counts as open only while `same` says it is still the line they began on, so nothing
// meant for one reader goes to another port opened meanwhile.
class cHeldLine : public cLinkLine {
public:
    cHeldLine(cLinkLine& held, std::function<bool()> stillSame)
        : line(held), same(std::move(stillSame)) {}

    bool WriteFrame(const QByteArray& frame) override { return IsOpen() && line.WriteFrame(frame); }
    cInBuffer& InBuffer() override { return line.InBuffer(); }
    qint64 QuietMs() const override { return line.QuietMs(); }
    bool IsOpen() const override { return line.IsOpen() && same(); }

private:
    cLinkLine& line;
    std::function<bool()> same;
};

// The serial link as it is now: the same port, not closed or opened again since.
cHeldLine HoldLink(cSerialLink& link);
