#include "cLinkTimings.h"

#include <QtGlobal>

namespace {

int scale(int ms, double factor) {
    return ms > 0 ? qMax(1, qRound(ms * factor)) : ms;
}

} // namespace

cLinkTimings cLinkTimings::Scaled(double factor) const {
    cLinkTimings t = *this;
    for (int* ms : {&t.StartMs,
                    &t.BeforeRequestMs,
                    &t.LineCheckMs,
                    &t.SayWaitingAfterMs,
                    &t.GetPacketsMs,
                    &t.WatchdogMs,
                    &t.AfterLastPacketMs,
                    &t.BeforeDecodeMs,
                    &t.AfterDecodeMs,
                    &t.QuietMs,
                    &t.QuietLimitMs,
                    &t.QuietPollMs,
                    &t.ShowBusyBoxAfterMs,
                    &t.SettleMs,
                    &t.PollMs,
                    &t.DockingCheck.WaitMs,
                    &t.SetClock.WaitMs,
                    &t.SetOptions.WaitMs,
                    &t.Erase.WaitMs,
                    &t.AfterStoreMs,
                    &t.BeforeEraseMs,
                    &t.ConnectStartMs,
                    &t.BeforeOpenMs,
                    &t.AfterOpenMs})
        *ms = scale(*ms, factor);
    return t;
}
