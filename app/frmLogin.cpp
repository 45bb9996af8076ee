#include "frmLogin.h"

#include "ui_frmLogin.h"

#include "ProductName.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "TextLimit.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mOperators.h"
#include "mTranslations.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPixmap>
#include <QTimer>

frmLogin::frmLogin(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmLogin>()) {
    ui->setupUi(this);
    LimitCodePoints(ui->txtEnteredPassword, kPasswordLength);
    setWindowTitle(ProductName() + QStringLiteral(" - ") + Translate(QStringLiteral("Version")) +
                   QLatin1Char(' ') + GetVersionString());
    RestoreLastLogin();
    LoadLoginImage();
    SetOptionCaptions();
    ui->txtEnteredPassword->installEventFilter(this);
    // Enter in the password box presses the default button, OK: one attempt, never two.
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmLogin::DoLogin);
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] {
        loginResult = Operator::None;
        reject();
    });
}

frmLogin::~frmLogin() = default;

void frmLogin::SetOptionCaptions() {
    // Set after the translation, so these two stay as they are.
    ui->optUser_0->setText(QStringLiteral("&Master"));
    ui->optUser_1->setText(QStringLiteral("&User"));
}

void frmLogin::LoadLoginImage() {
    try {
        const QString file = ProgramFile(QStringLiteral("login.bmp"));
        QPixmap picture;
        if (!picture.load(file))
            throw AppError(AppError::FileNotFound, QStringLiteral("File not found: %1").arg(file));
        ui->imgLogo->setPixmap(picture);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("LoadLoginImage of Form frmLogin"), e, false);
    }
}

void frmLogin::RestoreLastLogin() {
    loginResult = Operator::None;
    failures = 0;
    const int last =
        Settings::GetInt(QStringLiteral("Info"), QStringLiteral("LastLogin"), Operator::Master);
    (last == Operator::Master ? ui->optUser_0 : ui->optUser_1)->setChecked(true);
    // The start-up's hourglass has ended before this window opens: the operator types here.
}

void frmLogin::focusPassword() {
    ui->txtEnteredPassword->setFocus();
    ui->txtEnteredPassword->selectAll();
}

void frmLogin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, &frmLogin::focusPassword);
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->txtEnteredPassword && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, ui->txtEnteredPassword, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void frmLogin::DoLogin() {
    const int userType = ui->optUser_0->isChecked() ? Operator::Master : Operator::User;
    int result = Operator::None;
    try {
        result = CheckOperator(userType, NormalisedLoginEntry(ui->txtEnteredPassword->text()));
    } catch (const AppError& e) {
        // An unreadable operator table counts as a failed attempt.
        HandleError(QStringLiteral("CheckOperator of Form frmLogin"), e, false);
    }
    if (result == Operator::Master || result == Operator::User) {
        loginResult = result;
        accept();
        return;
    }
    ++failures;
    if (failures <= 3) {
        gTranslator->IvMessageBox(
            QStringLiteral("The User Name / Password are incorrect. Please try again."),
            ProductName(), IvBox::Information, IvBox::Ok, 0);
        focusPassword();
        return;
    }
    gTranslator->IvMessageBox(
        QStringLiteral("You could not be logged in.  Closing the program now."), ProductName(),
        IvBox::Stop, IvBox::Ok, 0);
    loginResult = Operator::None;
    reject();
}
