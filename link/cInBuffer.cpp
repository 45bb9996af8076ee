#include "cInBuffer.h"

void cInBuffer::Append(const QByteArray& ArrayNew) {
    if (ArrayNew.isEmpty())
        return;
    if (bytes.size() + ArrayNew.size() <= kMaxBytes) {
        bytes.append(ArrayNew);
        return;
    }
    // More than the buffer can hold at once cannot come from the line in one read; should it,
    // the newest bytes are the ones worth keeping.
    bytes = ArrayNew.size() <= kMaxBytes ? ArrayNew : ArrayNew.right(kMaxBytes);
}

bool cInBuffer::GetPacket(QByteArray& ExtractedPacket) {
    ExtractedPacket.clear();
    const int size = int(bytes.size());
    if (size == 0)
        return false;
    const auto at = [this](int i) { return quint8(bytes.at(i)); };

    int start = -1;
    int run = 0;
    for (int i = 0; i < size; ++i) {
        if (run < 3) {
            run = at(i) == 0xFF ? run + 1 : 0;
            continue;
        }
        if (at(i) == 0x55) {
            start = i - 3;
            break;
        }
        // Three FF and then no start mark: keep the last two FF and this byte, look no further.
        bytes.remove(0, i - 2);
        return false;
    }
    if (start < 0)
        return false;

    // Needs index start + 11 as well as the frame's last byte: one more than a frame of no data.
    if (size <= start + 11)
        return false;
    const int n = at(start + 9);
    if (size <= start + n + 10)
        return false;

    QByteArray frame = bytes.mid(start, n + 11);
    bytes.remove(0, start + n + 11);
    unsigned sum = 0;
    for (int i = 4; i <= n + 9; ++i)
        sum += quint8(frame.at(i));
    if ((sum & 0xFF) != quint8(frame.at(n + 10))) {
        ++dropped;
        return false;
    }
    ExtractedPacket = frame;
    return true;
}
