#include "frmMdiReports.h"

frmMdiReports::frmMdiReports(QWidget* parent) : Page(parent) {
    setObjectName(QStringLiteral("frmMdiReports"));
}
