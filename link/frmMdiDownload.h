#pragma once

#include "Page.h"

// The download page.
class frmMdiDownload : public Page {
    Q_OBJECT
public:
    explicit frmMdiDownload(QWidget* parent = nullptr);
};
