#include "frmEditTime.h"

#include "ui_frmEditTime.h"

#include "TourPictures.h"
#include "mGlobals.h"
#include "mTourRules.h"

frmEditTime::frmEditTime(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmEditTime>()) {
    ui->setupUi(this);
    ui->img1->setPixmap(TourPicture(TourPictureKey::Clock, 32));
    // Enter in the text box reaches the default button, cmdOK.
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmEditTime::AcceptTime);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmEditTime::~frmEditTime() = default;

void frmEditTime::setIntervalTime(int minutes) {
    intervalTime = minutes;
    ui->txtTime->setText(QString::number(minutes));
}

void frmEditTime::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui->txtTime->setFocus();
    ui->txtTime->selectAll();
}

void frmEditTime::AcceptTime() {
    double value = 0;
    if (!ParseTypedNumber(ui->txtTime->text(), &value) || value < 0 || value > kMaxTourMinutes) {
        gTranslator->IvMessageBox(
            QStringLiteral("Only valid numbers from 0 to 1439 can be entered"), QString(),
            IvBox::Warning, IvBox::Ok, 0);
        return;
    }
    intervalTime = static_cast<int>(RoundHalfEven(value));
    ok = true;
    accept();
}
