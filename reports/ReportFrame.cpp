#include "ReportFrame.h"

#include "ReportEngine.h"
#include "ReportPreview.h"
#include "ReportRange.h"
#include "Twips.h"
#include "cReportHost.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"
#include "mTranslations.h"

#include <QApplication>
#include <QScreen>

namespace {

constexpr int kReportWidthTwips = 12630;
constexpr int kScreenReserveTwips = 720;
const QString kTimePattern = QStringLiteral("HH:mm");

} // namespace

ReportTexts SharedReportTexts() {
    return {Translate(QStringLiteral("Print Date:")), GetProductTitle(),
            Translate(QStringLiteral("Page")), Translate(QStringLiteral("End Of Report"))};
}

QString CompanyText() {
    return gCompanyInfo[1] + QStringLiteral("\r\n") + gCompanyInfo[2] + QStringLiteral("\r\n") +
           gCompanyInfo[3] + QStringLiteral("\r\n") + gCompanyInfo[4];
}

QString PrintDateText(const QString& separator, const QDateTime& now) {
    return ShortDateTimeText(now, separator);
}

QRect ReportWindowTwips(int screenWidthTwips, int screenHeightTwips, int mainWidthTwips) {
    const int width = screenWidthTwips >= kReportWidthTwips ? kReportWidthTwips : mainWidthTwips;
    return QRect(0, 0, qMax(0, width), qMax(0, screenHeightTwips - kScreenReserveTwips));
}

bool ShowReport(const ReportLayout& source, ReportRowSource& rows, cReportHost& host) {
    ReportLayout layout = source;
    layout.datePattern = GetShortDateFormat();
    layout.timePattern = kTimePattern;
    QWidget* owner = QApplication::activeWindow();
    ReportDocument report(layout, rows);
    {
        ReportProgress progress(Translate(QStringLiteral("Preparing the report...")), owner);
        if (!report.Paginate(progress.Callback()))
            return false;
    }
    ReportPreview preview(report, owner);
    const QScreen* screen =
        owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect pixels = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QRect twips = ReportWindowTwips(pixels.width() * kTwipsPerPixel,
                                          pixels.height() * kTwipsPerPixel, host.widthTwips());
    preview.move(pixels.topLeft());
    preview.resize(twips.width() / kTwipsPerPixel, twips.height() / kTwipsPerPixel);
    preview.exec();
    return true;
}
