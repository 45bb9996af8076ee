#include "frmMDISetup.h"

frmMDISetup::frmMDISetup(QWidget* parent) : Page(parent) {
    setObjectName(QStringLiteral("frmMDISetup"));
}
