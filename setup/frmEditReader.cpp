#include "frmEditReader.h"

#include "ui_frmEditReader.h"

#include "TextLimit.h"
#include "mButtons.h"
#include "mDialogSupport.h"
#include "mGlobals.h"

frmEditReader::frmEditReader(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmEditReader>()) {
    ui->setupUi(this);
    LimitCodePointsOfForm(this);
    ui->img1->setPixmap(QPixmap(BigPicture(QStringLiteral("reader"))));
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmEditReader::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] {
        ok = false;
        reject();
    });
}

frmEditReader::~frmEditReader() = default;

void frmEditReader::setDesc(const QString& text) {
    desc = text;
    startingName = text;
    ui->txtDesc->setText(text);
}

void frmEditReader::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FocusAndSelect(ui->txtDesc);
}

void frmEditReader::cmdOK_Click() {
    switch (CheckName(ui->txtDesc->text(), existingNames, startingName)) {
    case NameCheck::Used:
        Notice(Translate(QStringLiteral("That name is already used.  Please enter another name")));
        FocusAndSelect(ui->txtDesc);
        return;
    case NameCheck::Empty:
        Notice(Translate(QStringLiteral("You must enter a name for this item")));
        FocusAndSelect(ui->txtDesc);
        return;
    case NameCheck::Accepted:
        break;
    }
    // Handed back as typed: the check used the trimmed text.
    desc = ui->txtDesc->text();
    ok = true;
    accept();
}
