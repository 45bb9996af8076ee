#include "TourPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kNavy(0x1f, 0x3f, 0x63);
const QColor kAmber(0xe8, 0xa3, 0x17);

void drawClock(QPainter& p, double s) {
    const QPointF c(s / 2, s / 2);
    const double r = s * 0.44;
    p.setPen(QPen(kNavy, qMax(1.0, s * 0.07)));
    p.setBrush(Qt::white);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(kNavy, qMax(1.0, s * 0.08), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -r * 0.7));
    p.setPen(QPen(kAmber, qMax(1.0, s * 0.08), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(r * 0.5, r * 0.15));
}

// A right-pointing arrowhead: where a drop inserts.
void drawMarker(QPainter& p, double s) {
    QPainterPath arrow;
    arrow.moveTo(s * 0.15, s * 0.15);
    arrow.lineTo(s * 0.9, s / 2);
    arrow.lineTo(s * 0.15, s * 0.85);
    arrow.closeSubpath();
    p.setPen(QPen(kNavy, 1));
    p.setBrush(kAmber);
    p.drawPath(arrow);
}

} // namespace

QPixmap TourPicture(TourPictureKey key, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (key) {
    case TourPictureKey::Clock:
        drawClock(p, size);
        break;
    case TourPictureKey::InsertMarker:
        drawMarker(p, size);
        break;
    }
    return pixmap;
}
