#include "cLinkTimings.h"

#include <QtGlobal>

#include <array>
#include <tuple>
#include <utility>

namespace {

template <typename... Fields> std::array<int*, sizeof...(Fields)> fields(Fields*... field) {
    return {field...};
}

// Every time of the struct, each once.
auto times(cLinkTimings& t) {
    return fields(&t.StartMs, &t.BeforeRequestMs, &t.LineCheckMs, &t.SayWaitingAfterMs,
                  &t.GetPacketsMs, &t.WatchdogMs, &t.AfterLastPacketMs, &t.BeforeDecodeMs,
                  &t.AfterDecodeMs, &t.QuietMs, &t.QuietLimitMs, &t.QuietPollMs,
                  &t.ShowBusyBoxAfterMs, &t.SettleMs, &t.PollMs, &t.DockingCheck.WaitMs,
                  &t.SetClock.WaitMs, &t.SetOptions.WaitMs, &t.Erase.WaitMs, &t.AfterStoreMs,
                  &t.BeforeEraseMs, &t.ConnectStartMs, &t.BeforeOpenMs, &t.AfterOpenMs);
}

// Every count of the struct, each once: these are not scaled.
auto counts(cLinkTimings& t) {
    return fields(&t.DockingCheck.Tries, &t.SetClock.Tries, &t.SetOptions.Tries, &t.Erase.Tries);
}

constexpr std::size_t kListed = std::tuple_size_v<decltype(times(std::declval<cLinkTimings&>()))> +
                                std::tuple_size_v<decltype(counts(std::declval<cLinkTimings&>()))>;
// A field added to cLinkTimings must be listed in times() (or counts()): otherwise every
// scaled copy would keep it at the line's full time.
static_assert(sizeof(cLinkTimings) == kListed * sizeof(int),
              "cLinkTimings has a field that times() or counts() does not list");

int scale(int ms, double factor) {
    return ms > 0 ? qMax(1, qRound(ms * factor)) : ms;
}

} // namespace

cLinkTimings cLinkTimings::Scaled(double factor) const {
    cLinkTimings t = *this;
    for (int* ms : times(t))
        *ms = scale(*ms, factor);
    return t;
}
