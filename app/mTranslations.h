#pragma once

#include <QString>

// "1.00": major version, a point, the minor version in two digits.
QString GetVersionString();
QString GetProductTitle();
QString GetCopyrightString();
int GetRevision();
