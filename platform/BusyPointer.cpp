#include "BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

BusyPointer::BusyPointer(Qt::CursorShape shape) {
    QGuiApplication::setOverrideCursor(QCursor(shape));
}

BusyPointer::~BusyPointer() {
    Release();
}

void BusyPointer::Release() {
    if (!held)
        return;
    held = false;
    QGuiApplication::restoreOverrideCursor();
}
