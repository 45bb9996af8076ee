#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;
class QWidget;

// Every message box and file dialog of the program passes through here, so that tests can
// answer them. With TREVANO_BOX_LOG naming a file, every box is answered at once with its
// default button and its title and text are appended to that file.
namespace Boxes {

enum class Icon { None, Information, Warning, Critical, Question };
enum class Buttons { Ok, OkCancel, YesNo, RetryIgnore };
// The answers keep the classic numbering that the callers test.
enum Answer {
    AnswerOk = 1,
    AnswerCancel = 2,
    AnswerRetry = 4,
    AnswerIgnore = 5,
    AnswerYes = 6,
    AnswerNo = 7
};

struct Box {
    QString title;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    // Captions of the buttons in their order; empty means the English captions.
    QStringList buttonTexts;
};

struct FileDialog {
    bool save = true;
    QString title;
    QString folder;
    QString filter;        // "Comma Delimited Text (*.csv)"
    QString defaultSuffix; // "csv"
    QString fileName;      // suggested name, may be empty
};

struct PrintDialog {
    QString title;
    int minPage = 1;
    int maxPage = 1;
    int currentPage = 1;
};

int Show(const Box& box);
int Show(const QString& title, const QString& text, Icon icon = Icon::None,
         Buttons buttons = Buttons::Ok);
int DefaultAnswer(Buttons buttons);
// The answer of a box closed without a choice (Escape, the window's close button).
int EscapeAnswer(Buttons buttons);

// Returns the chosen path, or an empty text when the user cancelled.
QString GetFileName(const FileDialog& dialog);

// Shows the print dialog for `printer`; true when the user chose to print. The choice is left
// in the printer: its output, and the pages (printRange(), fromPage(), toPage()).
bool ChoosePrinter(QPrinter& printer, const PrintDialog& dialog);

using BoxHandler = std::function<int(const Box&)>;
using FileHandler = std::function<QString(const FileDialog&)>;
// A test's handler sets the printer up itself (a PDF file, a page range).
using PrintHandler = std::function<bool(QPrinter&, const PrintDialog&)>;
// Tests answer boxes and file dialogs in-process; an empty handler restores the real ones.
void SetBoxHandler(BoxHandler handler);
void SetFileHandler(FileHandler handler);
void SetPrintHandler(PrintHandler handler);
BoxHandler CurrentBoxHandler();
FileHandler CurrentFileHandler();
PrintHandler CurrentPrintHandler();

} // namespace Boxes
