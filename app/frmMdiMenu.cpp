#include "frmMdiMenu.h"

#include "ProgramFolder.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mTranslations.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

frmMdiMenu::frmMdiMenu(QWidget* parent) : Page(parent) {
    setObjectName(QStringLiteral("frmMdiMenu"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);

    lblMainTitle = new QLabel(this);
    lblMainTitle->setObjectName(QStringLiteral("lblMainTitle"));
    QFont titleFont = lblMainTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    titleFont.setBold(true);
    lblMainTitle->setFont(titleFont);
    lblMainTitle->setStyleSheet(QStringLiteral("color: #1f3f63;"));

    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(QPixmap(QStringLiteral(":/pictures/icon.png")));
    imgIcon->setAlignment(Qt::AlignRight | Qt::AlignTop);

    imgContact = new QLabel(this);
    imgContact->setObjectName(QStringLiteral("imgContact"));
    imgContact->setAlignment(Qt::AlignCenter);

    lblContactNote = new QLabel(this);
    lblContactNote->setObjectName(QStringLiteral("lblContactNote"));
    lblContactNote->setAlignment(Qt::AlignCenter);
    lblContactNote->setWordWrap(true);

    lblVersionMsg = new QLabel(this);
    lblVersionMsg->setObjectName(QStringLiteral("lblVersionMsg"));
    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));

    layout->addWidget(lblMainTitle, 0, 0);
    layout->addWidget(imgIcon, 0, 1);
    layout->addWidget(imgContact, 1, 0, 1, 2);
    layout->addWidget(lblContactNote, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    layout->addWidget(lblVersionMsg, 4, 0, 1, 2);
    layout->addWidget(lblCopyright, 5, 0, 1, 2);
    layout->setColumnStretch(0, 1);

    Form_Load();
}

void frmMdiMenu::Form_Load() {
    try {
        // The pointer is normal here: every hourglass ends with the scope that showed it.
        gReceiveEnabled = false;
        lblMainTitle->setText(GetProductTitle());
        lblCopyright->setText(GetCopyrightString());
        const QString file = ProgramFile(QStringLiteral("contact.bmp"));
        QPixmap picture;
        if (!picture.load(file))
            throw AppError(AppError::FileNotFound, QStringLiteral("File not found: %1").arg(file));
        imgContact->setPixmap(picture);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("Form_Load of Form frmMdiMenu"), e, false);
    }
}

void frmMdiMenu::Translate() {
    lblMainTitle->setText(GetProductTitle());
    lblCopyright->setText(GetCopyrightString());
    lblVersionMsg->setText(::Translate(QStringLiteral("Version")) + QLatin1Char(' ') +
                           GetVersionString());
    const char* note =
        masterUser
            ? TR_TEXT(
                  "For help see Help > Contents. Your company details are set under Tools > Company Info.")
            : TR_TEXT("For help see Help > Contents.");
    lblContactNote->setText(::Translate(QLatin1String(note)));
}
