#pragma once

#include <QObject>

class cSerialLink;

// Whether a sequence runs on the reader link: connecting, a download with its store, wait,
// erase and clock, erasing the reader, its clock or options, its firmware version, reading a
// reader or button ID. The main window acts on none of its entries meanwhile, so that nothing
// closes, reopens or reuses the port under a running wait.
class cLinkSequences : public QObject {
    Q_OBJECT
public:
    bool Running() const { return depth > 0; }

signals:
    // When the first sequence starts and when the last one ends.
    void RunningChanged(bool running);

private:
    friend class cLinkSequence;
    void Enter();
    void Leave();

    int depth = 0;
};

// Held from a sequence's entry point to its last step; sequences nest.
class cLinkSequence {
public:
    explicit cLinkSequence(cSerialLink& link);
    explicit cLinkSequence(cLinkSequences& sequences);
    ~cLinkSequence();
    cLinkSequence(const cLinkSequence&) = delete;
    cLinkSequence& operator=(const cLinkSequence&) = delete;

private:
    cLinkSequences& sequences;
};
