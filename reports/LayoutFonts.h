#pragma once

#include <QStringList>

class ReportLayout;

// Puts the controls of these sections that have the normal size at `points`: for boxes drawn
// too small for DejaVu Sans at 8 points, where a long short date or a German caption would be
// cut or run into its neighbour. A title, heading or bold caption keeps its own size.
void ShrinkNormalText(ReportLayout& layout, const QStringList& sections, double points);
