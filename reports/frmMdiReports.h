#pragma once

#include "Page.h"

// The reports page.
class frmMdiReports : public Page {
    Q_OBJECT
public:
    explicit frmMdiReports(QWidget* parent = nullptr);
};
