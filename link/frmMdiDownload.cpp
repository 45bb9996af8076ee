#include "frmMdiDownload.h"

frmMdiDownload::frmMdiDownload(QWidget* parent) : Page(parent) {
    setObjectName(QStringLiteral("frmMdiDownload"));
}
