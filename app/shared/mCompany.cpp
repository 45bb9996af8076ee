#include "mCompany.h"

#include "Settings.h"
#include "mGlobals.h"

namespace {
QString key(int i) {
    return QStringLiteral("CompanyInfo%1").arg(i);
}
} // namespace

void LoadCompanyInfo() {
    for (int i = 1; i <= 4; ++i)
        gCompanyInfo[i] =
            Settings::GetSetting(QStringLiteral("Properties"), key(i)).left(kCompanyLineLength);
}

void SaveCompanyInfo(const QStringList& lines) {
    for (int i = 1; i <= 4; ++i) {
        gCompanyInfo[i] = lines.value(i - 1).left(kCompanyLineLength);
        Settings::SaveSetting(QStringLiteral("Properties"), key(i), gCompanyInfo[i]);
    }
}
