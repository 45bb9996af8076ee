#pragma once

#include "mTourData.h"

#include <QStringList>

class QWidget;

// Edits one tour of the setup page's list: refuses while no site has a location, runs the
// tour editor and writes the tour's row when the editor saved. Failures are reported under
// the page's label. True when the tour's row was written.
bool EditTourRow(QWidget* parent, const cTourHeader& tour, const QStringList& existingNames);
