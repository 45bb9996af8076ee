#pragma once

#include "Page.h"

// The setup page.
class frmMDISetup : public Page {
    Q_OBJECT
public:
    explicit frmMDISetup(QWidget* parent = nullptr);
};
