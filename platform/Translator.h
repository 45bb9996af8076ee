#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <QVector>

class QWidget;

// Marks a text that is passed to Translate later, so that the dictionary check sees it.
#define TR_TEXT(text) text

// The translation object: one dictionary keyed by the English text ("QX7.MLD"), language
// numbers, formatting and translated message boxes.
//
// Language numbers: -1 the system's language where the dictionary has it, else English;
// 0 and 1 English, built in, so that both fallbacks always succeed; 2 and above the
// languages of the dictionary file.
// The box kinds and button sets of IvMessageBox, with the numbers the callers have always
// passed. IvMessageBox takes only these names: a plain number does not compile.
namespace IvBox {
enum Kind { Warning = 0, Stop = 1, Information = 2, Question = 3 };
enum Buttons { YesNo = 3, Ok = 4, RetryIgnore = 96 };
} // namespace IvBox

class Translator {
public:
    struct Language {
        int number = 0;
        QString iso;
        QString englishName;
        QString nativeName;
    };

    int CheckLevel = 0; // accepted, no effect
    QString FileName;
    int language = 0;

    // Loads the dictionary for `language`; throws AppError when it cannot be shown.
    void Open();
    QString EnglishName(int number) const;
    // The languages the user can choose: English (1) and those of the dictionary.
    QVector<Language> ChoosableLanguages() const;
    // Shows the language choice; true when the user chose one, its number left in `chosen`.
    // This member and IvMessageBox show windows: the window library (platformui) defines them.
    bool SelectLanguage(const QString& text, int a, int b, int& chosen, QWidget* parent = nullptr);

    QString Translate(const QString& text) const;
    // Replaces "%0:s", "%1:s" ... by the values, in one left-to-right pass.
    static QString FormatStr(const QString& pattern, const QStringList& values);
    // Returns a Boxes::Answer.
    int IvMessageBox(const QString& prompt, const QString& title, IvBox::Kind kind,
                     IvBox::Buttons buttons, int helpContext) const;
    int IvMessageBox(const QString& prompt, const QString& title, int kind, int buttons,
                     int helpContext) const = delete;

    // Whether the shown language has its own text for `text` (for the completeness check).
    bool HasTranslation(const QString& text) const;
    // The language whose column is shown; 0 means the English texts.
    int ShownColumnLanguage() const { return shownLanguage; }
    // The ISO code of the shown language ("de"); empty for English.
    QString ShownIso() const { return column < 0 ? QString() : fileLanguages.at(column).iso; }

private:
    void readFile(); // throws AppError

    QVector<Language> fileLanguages;
    QHash<QString, QStringList> texts;
    int column = -1; // column of the shown language in `texts`, -1 English
    int shownLanguage = 0;
};

// Routes the texts of Designer forms (retranslateUi) through the translation object. Texts
// the dictionary lacks come from Qt's own translations of the shown language (its file and
// print dialogs), which follow every change of the language.
class DictionaryQtTranslator : public QTranslator {
public:
    explicit DictionaryQtTranslator(const Translator& translator, QObject* parent = nullptr);
    ~DictionaryQtTranslator() override;
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
    bool isEmpty() const override { return false; }

private:
    const QTranslator* qtOwn() const;

    const Translator& translator;
    // Reloaded in place, never replaced: a translator destroyed while Qt asks for a text
    // would wait for Qt's own lock of its translators.
    mutable QTranslator qtTexts;
    mutable QString qtIso; // the language qtTexts holds; empty for English
    mutable bool qtLoaded = false;
};
