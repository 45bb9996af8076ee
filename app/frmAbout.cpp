#include "frmAbout.h"

#include "ProductName.h"
#include "Translator.h"
#include "mGlobals.h"
#include "mTranslations.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(Translate(QStringLiteral("About")));
    auto* layout = new QGridLayout(this);
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/pictures/icon.png")));
    image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        return label;
    };
    lblTitle = makeLabel("lblTitle");
    lblTitle->setWordWrap(false); // the product's name on one line: the box widens for it
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    lblTitle->setFont(bold);
    lblVer = makeLabel("lblVer");
    lblBuild = makeLabel("lblBuild");
    lblCopyright = makeLabel("lblCopyright");
    lblCustom = makeLabel("lblCustom");
    lblWarning = makeLabel("lblWarning");
    lblWarning->setStyleSheet(QStringLiteral("color: #555;"));
    auto* cmdOK = new QPushButton(Translate(QStringLiteral("OK")), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    layout->addWidget(image, 0, 0, 5, 1);
    layout->addWidget(lblTitle, 0, 1);
    layout->addWidget(lblVer, 1, 1);
    layout->addWidget(lblBuild, 2, 1);
    layout->addWidget(lblCopyright, 3, 1);
    layout->addWidget(lblCustom, 4, 1);
    layout->addWidget(lblWarning, 5, 0, 1, 2);
    layout->addWidget(cmdOK, 6, 1, Qt::AlignRight);
    setMinimumWidth(420);
}

void frmAbout::Populate() {
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + GetProductTitle());
    lblVer->setText(Translate(QStringLiteral("Version")) + QLatin1Char(' ') + GetVersionString());
    lblWarning->setText(
        Translate(QStringLiteral("Warning: This program is protected by copyright law.")) +
        QStringLiteral("\r\n") +
        Translate(QStringLiteral("Copying or distributing it without permission is not allowed.")));
    lblCopyright->setText(GetCopyrightString());
    lblTitle->setText(GetProductTitle());
    lblBuild->setText(
        Translator::FormatStr(Translate(QStringLiteral("Build %0:s")),
                              {QStringLiteral("%1").arg(GetRevision(), 4, 10, QLatin1Char('0'))}));
    // Contact details are the user's own company lines; the program invents none.
    lblCustom->setText(QStringLiteral("\r\n\r\n") + ProductName() + QStringLiteral("\r\n") +
                       Translate(QStringLiteral("For help see Help > Contents.")));
}
