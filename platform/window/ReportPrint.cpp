// The report engine's printing lives in the window library: a printer needs Qt Print Support.
#include "ReportEngine.h"

#include "AppError.h"

#include <QPainter>
#include <QPrinter>

bool ReportDocument::Print(QPrinter& printer, int first, int last, const Progress& progress) const {
    clampRange(PageCount(), first, last);
    printer.setFullPage(true);
    printer.setDocName(layout.caption);
    QPainter painter;
    if (!painter.begin(&printer))
        throw AppError(AppError::InvalidCall, QStringLiteral("The printer could not be started"));
    const QRectF target = printer.paperRect(QPrinter::DevicePixel);
    for (int p = first; p <= last; ++p) {
        if (p > first)
            printer.newPage();
        PaintPageInto(p - 1, painter, QRectF(0, 0, target.width(), target.height()));
        if (progress && !progress(p - first + 1, last - first + 1)) {
            printer.abort();
            painter.end();
            return false;
        }
    }
    painter.end();
    return true;
}
