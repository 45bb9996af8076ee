#include "frmEditButton.h"

#include "ui_frmEditButton.h"

#include "TextLimit.h"
#include "mButtons.h"
#include "mDialogSupport.h"

frmEditButton::frmEditButton(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmEditButton>()) {
    ui->setupUi(this);
    LimitCodePointsOfForm(this);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmEditButton::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] {
        ok = false;
        reject();
    });
}

frmEditButton::~frmEditButton() = default;

void frmEditButton::SetIcon(const QString& key) {
    ui->img1->setPixmap(QPixmap(BigPicture(key)));
}

void frmEditButton::setEditName(const QString& name) {
    editName = name;
    startingName = name;
    ui->txtName->setText(name);
}

void frmEditButton::setDesc(const QString& text) {
    desc = text;
    ui->txtDesc->setText(text);
}

void frmEditButton::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FocusAndSelect(ui->txtName);
}

void frmEditButton::cmdOK_Click() {
    if (!AcceptItemName(ui->txtName, existingNames, startingName))
        return;
    // Handed back as typed: the check used the trimmed text.
    editName = ui->txtName->text();
    desc = ui->txtDesc->text();
    ok = true;
    accept();
}
