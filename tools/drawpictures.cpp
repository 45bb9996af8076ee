// Draws the program's pictures into data/: drawpictures DATA_FOLDER.
// The pictures are committed; run this again only to change them.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kNavy(0x1f, 0x3f, 0x63);
const QColor kTeal(0x2a, 0x8c, 0x8c);
const QColor kAmber(0xe8, 0xa3, 0x17);

QImage canvas(int w, int h, bool transparent = true) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(transparent ? Qt::transparent : Qt::white);
    return image;
}

// A shield with a tick: the patrol proved.
void shield(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.center().x(), r.top());
    path.lineTo(r.right(), r.top() + r.height() * 0.18);
    path.cubicTo(r.right(), r.top() + r.height() * 0.65, r.center().x() + r.width() * 0.2,
                 r.bottom() - r.height() * 0.1, r.center().x(), r.bottom());
    path.cubicTo(r.center().x() - r.width() * 0.2, r.bottom() - r.height() * 0.1, r.left(),
                 r.top() + r.height() * 0.65, r.left(), r.top() + r.height() * 0.18);
    path.closeSubpath();
    p.setPen(QPen(kNavy, r.width() * 0.05));
    p.setBrush(kTeal);
    p.drawPath(path);
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.28, r.top() + r.height() * 0.5);
    tick.lineTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.66);
    tick.lineTo(r.left() + r.width() * 0.74, r.top() + r.height() * 0.32);
    p.setPen(QPen(Qt::white, r.width() * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

// A contact button: a steel disc with a ring.
void button(QPainter& p, const QPointF& c, double radius) {
    QRadialGradient g(c - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, QColor(0xf4, 0xf4, 0xf4));
    g.setColorAt(1, QColor(0x8a, 0x93, 0x9b));
    p.setPen(QPen(QColor(0x55, 0x5d, 0x64), radius * 0.12));
    p.setBrush(g);
    p.drawEllipse(c, radius, radius);
    p.setPen(QPen(QColor(0x6d, 0x75, 0x7c), radius * 0.06));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, radius * 0.62, radius * 0.62);
}

void save(const QImage& image, const QString& path) {
    if (!image.save(path))
        qFatal("cannot write %s", qPrintable(path));
}

QImage toolbarPicture(int kind) {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kNavy, 2));
    switch (kind) {
    case 0: { // home
        QPolygonF roof{{4, 16}, {16, 5}, {28, 16}};
        p.setBrush(kAmber);
        p.drawPolygon(roof);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 16, 16, 12));
        p.setBrush(kTeal);
        p.drawRect(QRectF(14, 20, 5, 8));
        break;
    }
    case 1: { // download: a reader into the dock
        p.setBrush(QColor(0x44, 0x4c, 0x54));
        p.drawRoundedRect(QRectF(11, 3, 10, 16), 3, 3);
        button(p, QPointF(16, 8), 3);
        p.setBrush(kTeal);
        p.drawRoundedRect(QRectF(4, 20, 24, 9), 2, 2);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(16, 21), QPointF(16, 27));
        break;
    }
    case 2: { // reports: a page with lines
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 18, 26));
        p.setPen(QPen(kTeal, 2));
        for (int y = 9; y <= 23; y += 5)
            p.drawLine(QPointF(10, y), QPointF(22, y));
        break;
    }
    default: { // setup: a gear
        p.setBrush(kAmber);
        QPainterPath gear;
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(16, 16);
            p.rotate(i * 45);
            p.drawRect(QRectF(-3, -14, 6, 6));
            p.restore();
        }
        p.drawEllipse(QPointF(16, 16), 10, 10);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 16), 4, 4);
    }
    }
    return image;
}

// The pictures of the setup lists: a site's location, an event book, a tour and a reader.
QImage setupPicture(const QString& key) {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("location")) { // a pin over a button
        QPainterPath pin;
        pin.moveTo(16, 30);
        pin.cubicTo(10, 21, 5, 16, 5, 11);
        pin.arcTo(QRectF(5, 0, 22, 22), 180, -180);
        pin.cubicTo(27, 16, 22, 21, 16, 30);
        p.setPen(QPen(kNavy, 1.5));
        p.setBrush(kTeal);
        p.drawPath(pin);
        button(p, QPointF(16, 11), 5);
    } else if (key == QLatin1String("event")) { // a book with a mark
        p.setPen(QPen(kNavy, 1.5));
        p.setBrush(kAmber);
        p.drawRoundedRect(QRectF(6, 3, 20, 26), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(10, 3, 16, 22));
        p.setPen(QPen(QColor(0xb0, 0x30, 0x30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 8), QPointF(18, 16));
        p.drawPoint(QPointF(18, 21));
    } else if (key == QLatin1String("tour")) { // buttons joined by a path
        p.setPen(QPen(kAmber, 2.5, Qt::DashLine, Qt::RoundCap));
        p.drawPolyline(QPolygonF{{6, 25}, {14, 9}, {22, 22}, {27, 7}});
        for (const QPointF& c : {QPointF(6, 25), QPointF(14, 9), QPointF(22, 22), QPointF(27, 7)})
            button(p, c, 4);
    } else { // a reader
        p.setPen(QPen(kNavy, 1.5));
        p.setBrush(QColor(0x44, 0x4c, 0x54));
        p.drawRoundedRect(QRectF(9, 2, 14, 28), 4, 4);
        p.setBrush(kTeal);
        p.drawRect(QRectF(12, 14, 8, 6));
        button(p, QPointF(16, 8), 3.5);
    }
    return image;
}

QImage lamp(const QColor& colour) {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(6, 6), 9);
    g.setColorAt(0, colour.lighter(170));
    g.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 12, 12));
    return image;
}

// The pictures of the group, button and reader dialogs (48 x 48): the kind of the group, the
// verdict on a key read ("good", "bad") and a reader.
void person(QPainter& p, const QPointF& head, double size, const QColor& colour) {
    p.setPen(QPen(kNavy, size * 0.08));
    p.setBrush(colour);
    p.drawEllipse(head, size * 0.22, size * 0.22);
    QPainterPath body;
    const QPointF base(head.x(), head.y() + size * 0.3);
    body.moveTo(base.x() - size * 0.4, base.y() + size * 0.55);
    body.cubicTo(base.x() - size * 0.4, base.y() - size * 0.05, base.x() + size * 0.4,
                 base.y() - size * 0.05, base.x() + size * 0.4, base.y() + size * 0.55);
    body.closeSubpath();
    p.drawPath(body);
}

QImage dialogPicture(const QString& key) {
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("good") || key == QLatin1String("bad")) {
        const bool good = key == QLatin1String("good");
        const QColor colour = good ? QColor(0x2e, 0xa0, 0x43) : QColor(0xc0, 0x2d, 0x2d);
        QRadialGradient g(QPointF(18, 16), 30);
        g.setColorAt(0, colour.lighter(140));
        g.setColorAt(1, colour);
        p.setPen(QPen(colour.darker(140), 2));
        p.setBrush(g);
        p.drawEllipse(QPointF(24, 24), 21, 21);
        p.setPen(QPen(Qt::white, 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        if (good) {
            p.drawPolyline(QPolygonF{{13, 25}, {21, 33}, {35, 16}});
        } else {
            p.drawLine(QPointF(16, 16), QPointF(32, 32));
            p.drawLine(QPointF(32, 16), QPointF(16, 32));
        }
    } else if (key == QLatin1String("users")) { // two guards
        person(p, QPointF(31, 12), 26, kTeal.lighter(130));
        person(p, QPointF(18, 17), 30, kTeal);
    } else if (key == QLatin1String("locations")) { // a pin over a button
        QPainterPath pin;
        pin.moveTo(24, 46);
        pin.cubicTo(15, 32, 7, 25, 7, 17);
        pin.arcTo(QRectF(7, 0, 34, 34), 180, -180);
        pin.cubicTo(41, 25, 33, 32, 24, 46);
        p.setPen(QPen(kNavy, 2));
        p.setBrush(kTeal);
        p.drawPath(pin);
        button(p, QPointF(24, 17), 8);
    } else if (key == QLatin1String("events")) { // a book with a mark
        p.setPen(QPen(kNavy, 2));
        p.setBrush(kAmber);
        p.drawRoundedRect(QRectF(8, 4, 32, 40), 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(14, 4, 26, 34));
        p.setPen(QPen(QColor(0xb0, 0x30, 0x30), 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(27, 11), QPointF(27, 24));
        p.drawPoint(QPointF(27, 31));
    } else { // a reader with its contact head
        p.setPen(QPen(kNavy, 2));
        p.setBrush(QColor(0x44, 0x4c, 0x54));
        p.drawRoundedRect(QRectF(14, 2, 20, 44), 6, 6);
        p.setBrush(kTeal);
        p.drawRoundedRect(QRectF(18, 22, 12, 9), 1.5, 1.5);
        button(p, QPointF(24, 11), 5.5);
        p.setPen(QPen(QColor(0x9a, 0xa3, 0xab), 1.5));
        for (int y = 36; y <= 40; y += 4)
            p.drawLine(QPointF(19, y), QPointF(29, y));
    }
    return image;
}

// The row icon of a user group's buttons (32 x 32).
QImage userPicture() {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    person(p, QPointF(16, 9), 24, kTeal);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2)
        qFatal("usage: drawpictures DATA_FOLDER");
    const QDir data(app.arguments().at(1));
    data.mkpath(QStringLiteral("pictures"));

    const char* names[] = {"home", "download", "reports", "setup"};
    for (int i = 0; i < 4; ++i)
        save(toolbarPicture(i),
             data.filePath(QStringLiteral("pictures/%1.png").arg(QLatin1String(names[i]))));
    for (const char* key : {"location", "event", "tour", "reader"})
        save(setupPicture(QLatin1String(key)),
             data.filePath(QStringLiteral("pictures/%1.png").arg(QLatin1String(key))));
    save(lamp(QColor(0x2e, 0xa0, 0x43)), data.filePath(QStringLiteral("pictures/online.png")));
    save(lamp(QColor(0xb0, 0x30, 0x30)), data.filePath(QStringLiteral("pictures/offline.png")));

    QImage icon = canvas(64, 64);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        shield(p, QRectF(8, 4, 48, 56));
    }
    save(icon, data.filePath(QStringLiteral("pictures/icon.png")));

    QImage splash = canvas(420, 150, false);
    {
        QPainter p(&splash);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, 150);
        sky.setColorAt(0, QColor(0xe9, 0xf1, 0xf7));
        sky.setColorAt(1, Qt::white);
        p.fillRect(splash.rect(), sky);
        // A tour: buttons joined by a path.
        p.setPen(QPen(kAmber, 4, Qt::DashLine, Qt::RoundCap));
        p.drawPolyline(QPolygonF{{150, 110}, {220, 45}, {300, 100}, {380, 40}});
        for (const QPointF& c :
             {QPointF(150, 110), QPointF(220, 45), QPointF(300, 100), QPointF(380, 40)})
            button(p, c, 14);
        shield(p, QRectF(20, 15, 100, 120));
    }
    save(splash, data.filePath(QStringLiteral("pictures/splash.png")));

    QImage login = canvas(96, 96, false);
    {
        QPainter p(&login);
        p.setRenderHint(QPainter::Antialiasing);
        shield(p, QRectF(14, 8, 68, 80));
    }
    save(login.convertToFormat(QImage::Format_RGB32), data.filePath(QStringLiteral("login.bmp")));

    QImage contact = canvas(220, 90, false);
    {
        QPainter p(&contact);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(contact.rect(), QColor(0xf4, 0xf7, 0xfa));
        p.setPen(QPen(QColor(0x44, 0x4c, 0x54), 2));
        p.setBrush(QColor(0x44, 0x4c, 0x54));
        p.drawRoundedRect(QRectF(30, 15, 36, 62), 8, 8); // a reader
        button(p, QPointF(48, 32), 10);
        p.setPen(QPen(kTeal, 3, Qt::DotLine, Qt::RoundCap));
        p.drawLine(QPointF(75, 45), QPointF(130, 45));
        button(p, QPointF(160, 45), 24); // a contact button
    }
    save(contact.convertToFormat(QImage::Format_RGB32),
         data.filePath(QStringLiteral("contact.bmp")));

    data.mkpath(QStringLiteral("pictures/big"));
    for (const char* key : {"users", "locations", "events", "good", "bad", "reader"})
        save(dialogPicture(QLatin1String(key)),
             data.filePath(QStringLiteral("pictures/big/%1.png").arg(QLatin1String(key))));
    save(userPicture(), data.filePath(QStringLiteral("pictures/user.png")));
    return 0;
}
