#include "Translator.h"

#include "AppError.h"

#include <QFile>
#include <QLibraryInfo>
#include <QLocale>

namespace {

QString unescape(const QString& cell) {
    QString out;
    out.reserve(cell.size());
    for (int i = 0; i < cell.size(); ++i) {
        const QChar c = cell.at(i);
        if (c == QLatin1Char('\\') && i + 1 < cell.size()) {
            const QChar next = cell.at(++i);
            if (next == QLatin1Char('t'))
                out += QLatin1Char('\t');
            else if (next == QLatin1Char('n'))
                out += QLatin1Char('\n');
            else if (next == QLatin1Char('r'))
                out += QLatin1Char('\r');
            else
                out += next;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

void Translator::readFile() {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(AppError::FileNotFound,
                       QStringLiteral("Dictionary not found: %1").arg(FileName));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (lines.isEmpty() || !lines.first().trimmed().startsWith(QLatin1String("#QX7-MLD 1")))
        throw AppError(AppError::InvalidValue,
                       QStringLiteral("Not a dictionary: %1").arg(FileName));
    fileLanguages.clear();
    texts.clear();
    for (int i = 1; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.first() == QLatin1String("@lang")) {
            if (cells.size() < 5)
                continue;
            Language l;
            l.number = cells.at(1).toInt();
            l.iso = cells.at(2);
            l.englishName = cells.at(3);
            l.nativeName = cells.at(4);
            fileLanguages.append(l);
            continue;
        }
        QStringList translations;
        for (int c = 1; c < cells.size(); ++c)
            translations << unescape(cells.at(c));
        texts.insert(unescape(cells.first()), translations);
    }
}

void Translator::Open() {
    column = -1;
    shownLanguage = 0;
    if (language == 0 || language == 1) {
        try {
            readFile(); // only for the choice of languages; English needs no file
        } catch (const AppError&) {
        }
        return;
    }
    if (language == -1) {
        try {
            readFile();
        } catch (const AppError&) {
            return;
        }
        const QString system = QLocale::system().name().section(QLatin1Char('_'), 0, 0);
        for (int i = 0; i < fileLanguages.size(); ++i)
            if (!system.isEmpty() &&
                fileLanguages.at(i).iso.section(QLatin1Char('_'), 0, 0) == system) {
                column = i;
                shownLanguage = fileLanguages.at(i).number;
            }
        return;
    }
    readFile();
    for (int i = 0; i < fileLanguages.size(); ++i)
        if (fileLanguages.at(i).number == language) {
            column = i;
            shownLanguage = language;
            return;
        }
    throw AppError(AppError::InvalidValue,
                   QStringLiteral("The dictionary has no language %1").arg(language));
}

QString Translator::EnglishName(int number) const {
    if (number == 0 || number == 1)
        return QStringLiteral("English");
    if (number == -1)
        return QStringLiteral("System default");
    for (const Language& l : fileLanguages)
        if (l.number == number)
            return l.englishName;
    return QStringLiteral("Language ") + QString::number(number);
}

QVector<Translator::Language> Translator::ChoosableLanguages() const {
    QVector<Language> list;
    list.append(
        Language{1, QStringLiteral("en"), QStringLiteral("English"), QStringLiteral("English")});
    list += fileLanguages;
    return list;
}

QString Translator::Translate(const QString& text) const {
    if (column < 0)
        return text;
    const auto it = texts.constFind(text);
    if (it == texts.constEnd() || column >= it->size() || it->at(column).isEmpty())
        return text;
    return it->at(column);
}

bool Translator::HasTranslation(const QString& text) const {
    const auto it = texts.constFind(text);
    return column >= 0 && it != texts.constEnd() && column < it->size() &&
           !it->at(column).isEmpty();
}

QString Translator::FormatStr(const QString& pattern, const QStringList& values) {
    QString out;
    out.reserve(pattern.size());
    for (int i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == QLatin1Char('%')) {
            int j = i + 1;
            while (j < pattern.size() && pattern.at(j).isDigit())
                ++j;
            if (j > i + 1 && j + 1 < pattern.size() && pattern.at(j) == QLatin1Char(':') &&
                pattern.at(j + 1) == QLatin1Char('s')) {
                const int index = pattern.mid(i + 1, j - i - 1).toInt();
                if (index < values.size()) {
                    out += values.at(index);
                    i = j + 1;
                    continue;
                }
            }
        }
        out += pattern.at(i);
    }
    return out;
}

DictionaryQtTranslator::DictionaryQtTranslator(const Translator& dictionary, QObject* parent)
    : QTranslator(parent), translator(dictionary) {}

DictionaryQtTranslator::~DictionaryQtTranslator() = default;

const QTranslator* DictionaryQtTranslator::qtOwn() const {
    const QString iso = translator.ShownIso();
    if (iso != qtIso) {
        qtIso = iso;
        // A missing file leaves Qt's texts English.
        qtLoaded =
            !iso.isEmpty() && qtTexts.load(QStringLiteral("qtbase_") + iso,
                                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    return qtLoaded ? &qtTexts : nullptr;
}

QString DictionaryQtTranslator::translate(const char* context, const char* sourceText,
                                          const char* disambiguation, int n) const {
    const QString source = QString::fromUtf8(sourceText);
    const QString translated = translator.Translate(source);
    if (translated != source)
        return translated;
    const QTranslator* qt = qtOwn();
    return qt ? qt->translate(context, sourceText, disambiguation, n) : QString();
}
