#pragma once

#include "WorkProgress.h"

// The progress dialog of the shared services' long work (backup, restore, archive): shown at
// once, with the translated "&Cancel".
class cWorkProgress : public WorkProgress {
public:
    cWorkProgress(const QString& title, QWidget* parent = nullptr);
};
