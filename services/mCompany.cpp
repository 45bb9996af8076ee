#include "mCompany.h"

#include "Settings.h"
#include "TextLimit.h"
#include "mGlobals.h"

namespace {
QString key(int i) {
    return QStringLiteral("CompanyInfo%1").arg(i);
}
} // namespace

void LoadCompanyInfo() {
    for (int i = 1; i <= 4; ++i)
        gCompanyInfo[i] = LeftCodePoints(Settings::GetSetting(QStringLiteral("Properties"), key(i)),
                                         kCompanyLineLength);
}

void SaveCompanyInfo(const QStringList& lines) {
    for (int i = 1; i <= 4; ++i) {
        gCompanyInfo[i] = LeftCodePoints(lines.value(i - 1), kCompanyLineLength);
        Settings::SaveSetting(QStringLiteral("Properties"), key(i), gCompanyInfo[i]);
    }
}
