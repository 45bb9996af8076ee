#pragma once

#include <QByteArray>

// The receive buffer of the serial link. Whoever waits for an answer takes complete,
// checksum-valid frames out of it with GetPacket.
class cInBuffer {
public:
    static constexpr int kMaxBytes = 40961;

    void Clear() { bytes.clear(); }
    // The highest index held: 0 for an empty buffer and for one of one byte alike.
    int Count() const { return bytes.isEmpty() ? 0 : int(bytes.size()) - 1; }
    int size() const { return int(bytes.size()); }
    // An append that would pass kMaxBytes replaces everything held by the new bytes.
    void Append(const QByteArray& ArrayNew);
    QByteArray Buffer() const { return bytes; }
    // Takes the first complete frame out, with every byte before it. False when there is
    // none yet (the buffer is then left as it is, bar one trimmed run of FF bytes) or when
    // the frame's checksum is wrong (the frame is then dropped). ExtractedPacket holds the
    // whole frame on true and is empty on false.
    bool GetPacket(QByteArray& ExtractedPacket);
    // Frames dropped for a wrong checksum so far: whoever reads a stream of frames compares it
    // before and after, to know whether one of them was lost on the line.
    int DroppedFrames() const { return dropped; }

private:
    QByteArray bytes;
    int dropped = 0;
};
