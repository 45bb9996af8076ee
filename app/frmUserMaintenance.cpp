#include "frmUserMaintenance.h"

#include "ui_frmUserMaintenance.h"

#include "TextLimit.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mOperators.h"

#include <QTimer>

frmUserMaintenance::frmUserMaintenance(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmUserMaintenance>()) {
    ui->setupUi(this);
    // No longer than the login takes, or the password could never be typed there.
    LimitCodePoints(ui->txtPassword, kPasswordLength);
    LimitCodePoints(ui->txtRetypePassword, kPasswordLength);
    ui->txtPassword->installEventFilter(this);
    ui->txtRetypePassword->installEventFilter(this);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmUserMaintenance::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmUserMaintenance::~frmUserMaintenance() = default;

void frmUserMaintenance::FormStart(int type) {
    userType = type;
    ResetPasswordFields();
    setWindowTitle(
        windowTitle() + QStringLiteral(" - ") +
        Translate(type == Operator::Master ? QStringLiteral("Master") : QStringLiteral("User")));
}

void frmUserMaintenance::ResetPasswordFields() {
    ui->txtPassword->clear();
    ui->txtRetypePassword->clear();
    ReadOperatorRecord();
}

bool frmUserMaintenance::ReadOperatorRecord() {
    try {
        hasRow = !gConn
                      ->Query(QStringLiteral("SELECT * FROM tblOperators WHERE LoginName = ?"),
                              {OperatorLoginName(userType)})
                      .isEmpty();
        return true;
    } catch (const AppError& e) {
        hasRow = false;
        ShowProcedureError(QStringLiteral("ReadOperatorRecord"), e);
        return false;
    }
}

bool frmUserMaintenance::Update() {
    if (!hasRow)
        return false;
    try {
        return SetOperatorPassword(userType, ui->txtPassword->text());
    } catch (const AppError& e) {
        ShowProcedureError(QStringLiteral("Update"), e);
        return false;
    }
}

void frmUserMaintenance::cmdOK_Click() {
    if (ui->txtPassword->text() != ui->txtRetypePassword->text()) {
        gTranslator->IvMessageBox(QStringLiteral("The passwords do not match, please re-enter"),
                                  QString(), IvBox::Warning, IvBox::Ok, 0);
        ui->txtPassword->setFocus();
        return;
    }
    if (Update())
        accept();
}

bool frmUserMaintenance::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}
