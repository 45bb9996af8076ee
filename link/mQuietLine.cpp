#include "mQuietLine.h"

#include "WorkProgress.h"
#include "cSerialLink.h"
#include "mGlobals.h"

#include <QCoreApplication>
#include <memory>

const char* LineBusyText() {
    return TR_TEXT("The reader is still sending earlier data. Waiting until it has finished...");
}

cCommandExchange::Waiting LineBusyWaiting(const cLinkTimings& timings, QWidget* parent) {
    auto box = std::make_shared<std::unique_ptr<WorkProgress>>();
    const int showBoxAfterMs = timings.ShowBusyBoxAfterMs;
    return [box, showBoxAfterMs, parent](qint64 waitedMs) {
        if (waitedMs == cCommandExchange::kWaitEnded) {
            box->reset();
            return true;
        }
        if (!*box && waitedMs >= showBoxAfterMs) {
            WorkProgress::Look look;
            look.title = Translate(QStringLiteral("Status"));
            look.text = Translate(QLatin1String(LineBusyText()));
            look.cancelText = Translate(QStringLiteral("Cancel"));
            look.objectName = QStringLiteral("frmLineBusy");
            *box = std::make_unique<WorkProgress>(look, parent);
        }
        // The box is modal: its Cancel is the only input that gets through.
        return !*box || (*box)->Step(0);
    };
}

bool WaitForQuietLine(cSerialLink& link, QWidget* parent) {
    return link.WaitQuiet(LineBusyWaiting(link.Timings(), parent));
}
