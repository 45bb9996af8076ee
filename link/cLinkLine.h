#pragma once

#include <QByteArray>
#include <QtGlobal>

class cInBuffer;

// What a download needs of the line to the docking station: to write a frame, the receive
// buffer the line fills while gReceiveEnabled is set, and how long the line has been quiet.
// The serial link is one; a test puts an in-memory line in its place.
class cLinkLine {
public:
    virtual ~cLinkLine() = default;
    virtual bool WriteFrame(const QByteArray& frame) = 0;
    virtual cInBuffer& InBuffer() = 0;
    // Milliseconds since the last byte arrived.
    virtual qint64 QuietMs() const = 0;
    // False once the line is gone: nothing sent on it can arrive any more.
    virtual bool IsOpen() const { return true; }
};
