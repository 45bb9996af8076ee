#include "frmSplash.h"

#include "mDeclareAPI.h"
#include "mTranslations.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    imgMain = new QLabel(this);
    imgMain->setObjectName(QStringLiteral("imgMain"));
    imgMain->setPixmap(QPixmap(QStringLiteral(":/pictures/splash.png")));
    imgMain->setAlignment(Qt::AlignCenter);
    imgMain->installEventFilter(this);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont bold = lblVersion->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    lblVersion->setFont(bold);
    lblVersion->setAlignment(Qt::AlignCenter);
    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgMain);
    layout->addWidget(lblVersion);
    layout->addWidget(lblMsg);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
    FormOnTop(this, true);
}

frmSplash::~frmSplash() = default;

void frmSplash::ShowVersion(const QString& text) {
    lblVersion->setText(text);
    lblVersion->repaint();
}

void frmSplash::ShowMessage(const QString& text) {
    lblMsg->setText(text);
    lblMsg->repaint();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgMain && event->type() == QEvent::MouseButtonRelease) {
        FormOnTop(this, false);
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
