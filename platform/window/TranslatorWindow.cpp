// The translation object's two members that show a window. They are defined here, in the
// window library, so that the dictionary itself (platform) needs no widget.
#include "Translator.h"

#include "Boxes.h"
#include "LanguageDialog.h"
#include "ProductName.h"

bool Translator::SelectLanguage(const QString& text, int, int, int& chosen, QWidget* parent) {
    return ChooseLanguage(*this, text, chosen, parent);
}

int Translator::IvMessageBox(const QString& prompt, const QString& title, IvBox::Kind kind,
                             IvBox::Buttons buttons, int) const {
    Boxes::Box box;
    box.title = title.isEmpty() ? ProductName() : title;
    box.text = Translate(prompt);
    switch (kind) {
    case IvBox::Stop:
        box.icon = Boxes::Icon::Critical;
        break;
    case IvBox::Information:
        box.icon = Boxes::Icon::Information;
        break;
    case IvBox::Question:
        box.icon = Boxes::Icon::Question;
        break;
    default:
        box.icon = Boxes::Icon::Warning;
    }
    switch (buttons) {
    case IvBox::YesNo:
        box.buttons = Boxes::Buttons::YesNo;
        box.buttonTexts =
            QStringList{Translate(QStringLiteral("&Yes")), Translate(QStringLiteral("&No"))};
        break;
    case IvBox::RetryIgnore:
        box.buttons = Boxes::Buttons::RetryIgnore;
        box.buttonTexts =
            QStringList{Translate(QStringLiteral("&Retry")), Translate(QStringLiteral("&Ignore"))};
        break;
    default:
        box.buttons = Boxes::Buttons::Ok;
        box.buttonTexts = QStringList{Translate(QStringLiteral("OK"))};
    }
    return Boxes::Show(box);
}
