#pragma once

#include <QString>

// The folder a save or open dialog starts in: the user's documents folder where it exists,
// else the home folder. A folder that does not exist would be taken for a file name.
QString DocumentsFolder();
