#include "cLinkSequence.h"

#include "cSerialLink.h"

void cLinkSequences::Enter() {
    if (++depth == 1)
        emit RunningChanged(true);
}

void cLinkSequences::Leave() {
    if (--depth == 0)
        emit RunningChanged(false);
}

cLinkSequence::cLinkSequence(cSerialLink& link) : cLinkSequence(link.Sequences()) {}

cLinkSequence::cLinkSequence(cLinkSequences& running) : sequences(running) {
    sequences.Enter();
}

cLinkSequence::~cLinkSequence() {
    sequences.Leave();
}
