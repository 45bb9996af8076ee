#include "LayoutFonts.h"

#include "ReportLayout.h"

void ShrinkNormalText(ReportLayout& layout, const QStringList& sections, double points) {
    for (const QString& name : sections)
        for (ReportControl& c : layout.Section(name).controls)
            if (c.font.points == ReportFont::Normal().points)
                c.font.points = points;
}
