#include "frmArchive.h"

#include "ui_frmArchive.h"

#include "Boxes.h"
#include "ProgramFolder.h"
#include "mArchive.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"

#include <QFileInfo>

namespace {

// clang-format off
// Kept whole on one line each: the dictionary is keyed by these texts.
const char* const kWarning = TR_TEXT("Warning: This action will permanently delete the events from the database.");
const char* const kContinue = TR_TEXT("Are you sure you want to continue?");
const char* const kNoEvents = TR_TEXT("There are no stored events within the dates you entered.");
const char* const kSaveError = TR_TEXT("File Save Error: Archive Not Saved.  Please Try again.");
const char* const kArchived = TR_TEXT("Events Archived Successfully");
const char* const kCount = TR_TEXT("Number of Events =");
const char* const kFileName = TR_TEXT("FileName = ");
// clang-format on

const QString kCrLf = QStringLiteral("\r\n");

QString text(const char* english) {
    return Translate(QLatin1String(english));
}

int box(const QString& prompt, int kind, int buttons) {
    return gTranslator->IvMessageBox(prompt, QString(), kind, buttons, 0);
}

} // namespace

frmArchive::frmArchive(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmArchive>()) {
    ui->setupUi(this);
    for (QDateEdit* picker : {ui->dtpStartDate, ui->dtpEndDate})
        picker->setDisplayFormat(GetShortDateFormat());
    ui->dtpStartDate->setDate(QDate(2000, 1, 1));
    ui->dtpEndDate->setDate(QDate::currentDate());
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmArchive::ArchiveEvents);
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] {
        ok = false;
        reject();
    });
}

frmArchive::~frmArchive() = default;

void frmArchive::ArchiveEvents() {
    ok = false;
    startDate = ui->dtpStartDate->date();
    endDate = ui->dtpEndDate->date();
    try {
        if (box(text(kWarning) + kCrLf + text(kContinue), 0, 3) != Boxes::AnswerYes)
            return;
        if (!gConn)
            throw AppError(AppError::InvalidCall, QStringLiteral("The database is not open"));
        const ArchiveRange range = ArchiveBounds(startDate, endDate);
        if (CountArchiveEvents(*gConn, range) == 0) {
            box(QLatin1String(kNoEvents), 0, 4);
            return;
        }

        Boxes::FileDialog dialog;
        dialog.save = true;
        dialog.title = Translate(QStringLiteral("Save As"));
        dialog.folder = ProgramFolder();
        dialog.filter = QStringLiteral("Comma Delimited Text (*.csv)");
        dialog.defaultSuffix = QStringLiteral("csv");
        dialog.fileName = DefaultArchiveFileName(startDate, endDate);
        const QString path = ChooseNewFileName(dialog);
        if (path.isEmpty()) {
            reject();
            return;
        }

        const ArchiveResult result = ArchiveToFile(*gConn, range, path);
        if (!result.fileError.isEmpty()) {
            box(text(kSaveError) + kCrLf + result.fileError, 0, 4);
            return;
        }
        box(text(kArchived) + kCrLf + text(kCount) + QLatin1Char(' ') +
                QString::number(result.count) + kCrLf + text(kFileName) + QLatin1Char(' ') +
                QFileInfo(path).absoluteFilePath(),
            2, 4);
        ok = true;
        accept();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("frmArchive::ArchiveEvents"), e, true);
    }
}
