#pragma once

#include "mTourData.h"

#include <QStringList>

class QWidget;

enum class EditTourOutcome {
    NoLocations, // refused: no site has a location, the editor did not open
    Cancelled,
    Saved,
    Failed // reported; the points may be saved without the tour's row
};

// Edits one tour of the setup page's list: refuses while no site has a location, runs the
// tour editor and writes the tour's row when the editor saved. Failures are reported under
// the page's label.
EditTourOutcome EditTourRow(QWidget* parent, const cTourHeader& tour,
                            const QStringList& existingNames);
