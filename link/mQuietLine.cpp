#include "mQuietLine.h"

#include "WorkProgress.h"
#include "cSerialLink.h"
#include "mGlobals.h"

#include <QCoreApplication>
#include <memory>

namespace {
// The tail of a stream ends within one quiet period; only a longer wait is worth a box.
constexpr qint64 kShowBoxAfterMs = 700;
} // namespace

const char* LineBusyText() {
    return TR_TEXT("The reader is still sending earlier data. Waiting until it has finished...");
}

bool WaitForQuietLine(cSerialLink& link, QWidget* parent) {
    std::unique_ptr<WorkProgress> box;
    return link.WaitQuiet([&](qint64 waitedMs) {
        if (!box && waitedMs >= kShowBoxAfterMs) {
            WorkProgress::Look look;
            look.title = Translate(QStringLiteral("Status"));
            look.text = Translate(QLatin1String(LineBusyText()));
            look.cancelText = Translate(QStringLiteral("Cancel"));
            look.objectName = QStringLiteral("frmLineBusy");
            box = std::make_unique<WorkProgress>(look, parent);
        }
        // The box is modal: its Cancel is the only input that gets through.
        return !box || box->Step(0);
    });
}
