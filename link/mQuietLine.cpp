#include "mQuietLine.h"

#include "cSerialLink.h"
#include "mGlobals.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <memory>

const char* LineBusyText() {
    return TR_TEXT("The reader is still sending earlier data. Waiting until it has finished...");
}

bool WaitForQuietLine(cSerialLink& link, QWidget* parent) {
    std::unique_ptr<QProgressDialog> box;
    const int showBoxAfterMs = link.Timings().ShowBusyBoxAfterMs;
    return link.WaitQuiet([&](qint64 waitedMs) {
        if (!box && waitedMs >= showBoxAfterMs) {
            box = std::make_unique<QProgressDialog>(parent);
            box->setObjectName(QStringLiteral("frmLineBusy"));
            box->setWindowTitle(Translate(QStringLiteral("Status")));
            box->setLabelText(Translate(QLatin1String(LineBusyText())));
            box->setCancelButtonText(Translate(QStringLiteral("Cancel")));
            box->setRange(0, 0);
            box->setWindowModality(Qt::ApplicationModal);
            box->setMinimumDuration(0);
            box->show();
        }
        if (!box)
            return true;
        // The box is modal: its Cancel is the only input that gets through.
        QCoreApplication::processEvents();
        return !box->wasCanceled();
    });
}
