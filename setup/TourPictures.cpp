#include "TourPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kNavy(0x1f, 0x3f, 0x63);
const QColor kTeal(0x2a, 0x8c, 0x8c);
const QColor kAmber(0xe8, 0xa3, 0x17);

// A map pin: a place on the site.
void drawLocation(QPainter& p, double s) {
    QPainterPath pin;
    const double r = s * 0.3;
    const QPointF c(s / 2, s * 0.36);
    pin.moveTo(s / 2, s * 0.96);
    pin.cubicTo(s * 0.36, s * 0.72, c.x() - r, c.y() + r * 0.6, c.x() - r, c.y());
    pin.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 180, -180);
    pin.cubicTo(c.x() + r, c.y() + r * 0.6, s * 0.64, s * 0.72, s / 2, s * 0.96);
    p.setPen(QPen(kNavy, qMax(1.0, s * 0.06)));
    p.setBrush(kTeal);
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r * 0.4, r * 0.4);
}

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
    case TourPictureKey::Location:
        drawLocation(p, size);
        break;
    case TourPictureKey::Clock:
        drawClock(p, size);
        break;
    case TourPictureKey::InsertMarker:
        drawMarker(p, size);
        break;
    }
    return pixmap;
}

QIcon TourIcon(TourPictureKey key) {
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(TourPicture(key, size));
    return icon;
}
