// Every text the program passes to translation has an entry, in every language, in the
// delivered dictionary.
#include "Translator.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

QString unescapeCpp(const QString& literal) {
    QString out;
    for (int i = 0; i < literal.size(); ++i) {
        if (literal.at(i) == QLatin1Char('\\') && i + 1 < literal.size()) {
            const QChar c = literal.at(++i);
            out += c == QLatin1Char('n')   ? QChar('\n')
                   : c == QLatin1Char('r') ? QChar('\r')
                   : c == QLatin1Char('t') ? QChar('\t')
                                           : c;
        } else {
            out += literal.at(i);
        }
    }
    return out;
}

// Texts handed to Translate, IvMessageBox or marked with TR_TEXT, as string literals.
QSet<QString> codeTexts(const QString& source) {
    static const QRegularExpression call(QStringLiteral(
        "(?:\\bTranslate|IvMessageBox|TR_TEXT)\\(\\s*(?:QStringLiteral\\(|QLatin1String\\()?\\s*"
        "\"((?:[^\"\\\\]|\\\\.)*)\""));
    QSet<QString> texts;
    auto it = call.globalMatch(source);
    while (it.hasNext())
        texts.insert(unescapeCpp(it.next().captured(1)));
    return texts;
}

QSet<QString> formTexts(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QSet<QString> texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("string") &&
            xml.attributes().value(QLatin1String("notr")) != QLatin1String("true")) {
            const QString text = xml.readElementText();
            if (!text.isEmpty())
                texts.insert(text);
        }
    }
    return texts;
}

} // namespace

class tst_dictionary : public QObject {
    Q_OBJECT
private slots:
    void everyTextIsTranslated();
    void scannerFindsTheCallForms();
    void eachTextOnce();
};

// Two lines for one English text would leave one of their translations unused.
void tst_dictionary::eachTextOnce() {
    QFile file(QStringLiteral(TREVANO_SOURCE_DIR "/data/QX7.MLD"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QSet<QByteArray> seen;
    QStringList twice;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.startsWith('#') || line.startsWith('@') || line.trimmed().isEmpty())
            continue;
        const QByteArray key = line.left(line.indexOf('\t'));
        if (seen.contains(key))
            twice << QString::fromUtf8(key);
        seen.insert(key);
    }
    QVERIFY2(twice.isEmpty(), qPrintable(QStringLiteral("Listed twice: ") + twice.join(", ")));
}

void tst_dictionary::scannerFindsTheCallForms() {
    const QSet<QString> found = codeTexts(QStringLiteral(
        "Translate(QStringLiteral(\"A\")); gTranslator->IvMessageBox(QStringLiteral(\"B \\\"q\\\"\"), x);"
        " TR_TEXT(\"C\"); ::Translate( \"D\\r\\n\");"));
    QCOMPARE(found, (QSet<QString>{"A", "B \"q\"", "C", "D\r\n"}));
}

void tst_dictionary::everyTextIsTranslated() {
    QSet<QString> texts;
    const QString root = QStringLiteral(TREVANO_SOURCE_DIR);
    for (const char* folder : {"app", "services", "link", "setup", "reports", "platform"}) {
        QDirIterator it(root + QLatin1Char('/') + QLatin1String(folder), {"*.cpp", "*.h", "*.ui"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QLatin1String(".ui"))) {
                texts += formTexts(path);
            } else {
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                texts += codeTexts(QString::fromUtf8(f.readAll()));
            }
        }
    }
    QVERIFY(texts.size() > 20);

    Translator dictionary;
    dictionary.FileName = root + QStringLiteral("/data/QX7.MLD");
    const auto languages = [&] {
        dictionary.language = 0;
        dictionary.Open();
        return dictionary.ChoosableLanguages();
    }();
    QStringList missing;
    for (const Translator::Language& l : languages) {
        if (l.number < 2)
            continue;
        dictionary.language = l.number;
        dictionary.Open();
        for (const QString& text : texts)
            if (!dictionary.HasTranslation(text))
                missing << l.englishName + QStringLiteral(": ") + text;
    }
    missing.sort();
    for (const QString& m : std::as_const(missing))
        qWarning("missing: %s", qPrintable(m)); // the failure message below is cut short
    QVERIFY2(missing.isEmpty(),
             qPrintable(QStringLiteral("Not in the dictionary:\n") + missing.join('\n')));
}

QTEST_GUILESS_MAIN(tst_dictionary)
#include "tst_dictionary.moc"
