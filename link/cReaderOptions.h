#pragma once

#include <QtGlobal>

// The reader options kept in the settings section "Reader": read when created, written
// back when released.
class cReaderOptions {
public:
    cReaderOptions();
    ~cReaderOptions();
    cReaderOptions(const cReaderOptions&) = delete;
    cReaderOptions& operator=(const cReaderOptions&) = delete;

    bool EnableLongDuration = false;
    bool EnableVibration = true;
    bool EnableLED = true;
    bool EnableBuzzer = true;
    quint8 PcCodeLSB;
    quint8 PcCodeMSB;
    quint8 DallasOption = 0;
    // Bit 0 buzzer, bit 1 LED, bit 2 vibration, bit 3 long buzzer.
    quint8 OptionByte() const;
};

// The one reader-options object, alive while the main window is.
extern cReaderOptions* gReaderOptions;
