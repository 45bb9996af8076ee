#pragma once

// Every pause, interval, time-out and count of tries of the reader link, in milliseconds. The
// defaults are the line's real ones; a test of the rules scales them down (Scaled) so that a
// download runs in a fraction of its time on an in-memory line.
struct cLinkTimings {
    // One command exchange: tries and the time-out of each try.
    struct Exchange {
        int Tries;
        int WaitMs;
    };

    // The Status window of a download.
    int StartMs = 500;           // tmrStart, before anything happens
    int BeforeRequestMs = 800;   // after the warning shows, before the line is looked at
    int LineCheckMs = 25;        // how often the quiet line is looked at
    int SayWaitingAfterMs = 700; // a wait for the line this long is worth a word
    int GetPacketsMs = 350;      // tmrGetPackets once the request is out
    int WatchdogMs = 5000;       // tmrTimeout: no further packet for this long fails the download
    int AfterLastPacketMs = 500;
    int BeforeDecodeMs = 200;
    int AfterDecodeMs = 400;

    // The quiet line: two data packets' time at 9600 baud; a reader silent this long has ended
    // what it was sending. The limit is the longest a reader sends without a pause: its fullest
    // log, 1093 packets of 262.5 ms.
    int QuietMs = 525;
    int QuietLimitMs = 290000;
    int QuietPollMs = 50;
    int ShowBusyBoxAfterMs = 700; // the tail of a stream ends within one quiet period

    // The command exchange: the pause after a request is written, between two looks at the
    // buffer, and the commands' tries and time-outs.
    int SettleMs = 500;
    int PollMs = 300;
    Exchange DockingCheck{1, 900};
    Exchange SetClock{3, 1200};
    Exchange SetOptions{3, 900};
    Exchange Erase{1, 1500};

    // The download page: after the touches are stored, and before an erase.
    int AfterStoreMs = 2500;
    int BeforeEraseMs = 500;

    // Connecting: the status window's start, and the pauses around opening the port.
    int ConnectStartMs = 200;
    int BeforeOpenMs = 300;
    int AfterOpenMs = 300;

    // Every time multiplied by `factor` (at least 1 ms where it was above 0); tries stay. Only
    // int fields: a field added here is added to the lists in Scaled's file too, which a
    // compile-time check asks for.
    cLinkTimings Scaled(double factor) const;
};
