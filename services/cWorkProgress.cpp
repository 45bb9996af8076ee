#include "cWorkProgress.h"

#include "mGlobals.h"

namespace {

WorkProgress::Look lookOf(const QString& title) {
    WorkProgress::Look look;
    look.title = title;
    look.cancelText = Translate(QStringLiteral("&Cancel"));
    return look;
}

} // namespace

cWorkProgress::cWorkProgress(const QString& title, QWidget* parent)
    : WorkProgress(lookOf(title), parent) {}
