#include "frmArchive.h"

#include "ui_frmArchive.h"

#include "Boxes.h"
#include "ProgramFolder.h"
#include "mArchive.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mSupport.h"

#include "cWorkProgress.h"

#include <QFileInfo>
#include <QLocale>

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
const char* const kReversed = TR_TEXT("The start date is later than the end date. Please correct the dates.");
const char* const kProgressTitle = TR_TEXT("Archiving events");
const char* const kWriting = TR_TEXT("Writing the events to %0:s: %1:s of %2:s");
// clang-format on

const QString kCrLf = QStringLiteral("\r\n");

QString text(const char* english) {
    return Translate(QLatin1String(english));
}

int box(const QString& prompt, IvBox::Kind kind, IvBox::Buttons buttons) {
    return gTranslator->IvMessageBox(prompt, QString(), kind, buttons, 0);
}

QString number(qint64 n) {
    return QLocale().toString(n);
}

// Shows the archive's progress, with the count written so far; Cancel stops it while the
// file is written.
class ArchiveProgress : public WorkObserver {
public:
    ArchiveProgress(QWidget* parent, const QString& path, qint64 rowCount)
        : progress(text(kProgressTitle), parent), name(QFileInfo(path).fileName()),
          total(rowCount) {
        progress.SetTotal(total);
        Step(0);
    }
    bool Step(qint64 rows) override {
        if (deleting)
            return progress.KeepAlive();
        progress.SetText(
            Translator::FormatStr(text(kWriting), {name, number(rows), number(total)}));
        return progress.Step(rows);
    }
    void Stage(const QString& stageText, qint64 stageTotal, bool cancellable) override {
        deleting = true;
        progress.Stage(stageText, stageTotal, cancellable);
    }

private:
    cWorkProgress progress;
    QString name;
    qint64 total;
    bool deleting = false;
};

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
        // Checked before anything is asked: a reversed range can never hold a touch.
        if (startDate > endDate) {
            box(text(kReversed), IvBox::Warning, IvBox::Ok);
            ui->dtpStartDate->setFocus();
            return;
        }
        if (box(text(kWarning) + kCrLf + text(kContinue), IvBox::Warning, IvBox::YesNo) !=
            Boxes::AnswerYes)
            return;
        if (!gConn)
            throw AppError(AppError::InvalidCall, QStringLiteral("The database is not open"));
        const ArchiveRange range = ArchiveBounds(startDate, endDate);
        const qint64 count = CountArchiveEvents(*gConn, range);
        if (count == 0) {
            box(QLatin1String(kNoEvents), IvBox::Warning, IvBox::Ok);
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

        ArchiveResult result;
        {
            ArchiveProgress progress(this, path, count);
            result = ArchiveToFile(*gConn, range, path, &progress);
        }
        if (result.cancelled)
            return; // nothing deleted, no file: the dialog stays for another try
        if (!result.fileError.isEmpty()) {
            LogError(QStringLiteral("Archive not saved to %1: %2").arg(path, result.fileError));
            box(text(kSaveError) + kCrLf + result.fileError, IvBox::Warning, IvBox::Ok);
            return;
        }
        box(text(kArchived) + kCrLf + text(kCount) + QLatin1Char(' ') +
                QString::number(result.count) + kCrLf + text(kFileName) + QLatin1Char(' ') +
                QFileInfo(path).absoluteFilePath(),
            IvBox::Information, IvBox::Ok);
        ok = true;
        accept();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("frmArchive::ArchiveEvents"), e, true);
    }
}
