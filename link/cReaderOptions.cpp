#include "cReaderOptions.h"

#include "Settings.h"
#include "mPacket.h"

cReaderOptions* gReaderOptions = nullptr;

namespace {

const QString kSection = QStringLiteral("Reader");

quint8 readByte(const QString& key, quint8 defaultValue) {
    const int value = Settings::GetInt(kSection, key, defaultValue);
    return value >= 0 && value <= 255 ? static_cast<quint8>(value) : defaultValue;
}

} // namespace

cReaderOptions::cReaderOptions() : PcCodeLSB(kPcCodeLSB), PcCodeMSB(kPcCodeMSB) {
    DallasOption = readByte(QStringLiteral("DallasOption"), 0);
    PcCodeMSB = readByte(QStringLiteral("PcCodeMSB"), kPcCodeMSB);
    PcCodeLSB = readByte(QStringLiteral("PcCodeLSB"), kPcCodeLSB);
    EnableBuzzer = Settings::GetBool(kSection, QStringLiteral("EnableBuzzer"), true);
    EnableLED = Settings::GetBool(kSection, QStringLiteral("EnableLED"), true);
    EnableVibration = Settings::GetBool(kSection, QStringLiteral("EnableVibration"), true);
    EnableLongDuration = Settings::GetBool(kSection, QStringLiteral("EnableLongDuration"), false);
}

cReaderOptions::~cReaderOptions() {
    Settings::SaveInt(kSection, QStringLiteral("DallasOption"), DallasOption);
    Settings::SaveInt(kSection, QStringLiteral("PcCodeMSB"), PcCodeMSB);
    Settings::SaveInt(kSection, QStringLiteral("PcCodeLSB"), PcCodeLSB);
    Settings::SaveBool(kSection, QStringLiteral("EnableBuzzer"), EnableBuzzer);
    Settings::SaveBool(kSection, QStringLiteral("EnableLED"), EnableLED);
    Settings::SaveBool(kSection, QStringLiteral("EnableVibration"), EnableVibration);
    Settings::SaveBool(kSection, QStringLiteral("EnableLongDuration"), EnableLongDuration);
}

quint8 cReaderOptions::OptionByte() const {
    return ReaderOptionByte(EnableBuzzer, EnableLED, EnableVibration, EnableLongDuration);
}
