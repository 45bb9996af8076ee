#include "TextLimit.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>
#include <QtMath>

namespace {

// The length in code units of the code point that ends at `end`.
int unitsBefore(const QString& text, int end) {
    return end >= 2 && text.at(end - 1).isLowSurrogate() && text.at(end - 2).isHighSurrogate() ? 2
                                                                                               : 1;
}

// What goes over the limit is taken from the text just typed or pasted, which ends at the
// cursor; text set as a whole loses its end.
class CodePointLimit : public QValidator {
public:
    CodePointLimit(int limit, QObject* parent) : QValidator(parent), count(limit) {}

    State validate(QString& input, int& pos) const override {
        int excess = CodePointCount(input) - count;
        if (excess <= 0)
            return Acceptable;
        int start = qBound(0, pos, int(input.size()));
        // The cursor may sit between the two halves of a pair: the pair goes whole.
        if (start > 0 && start < input.size() && input.at(start).isLowSurrogate() &&
            input.at(start - 1).isHighSurrogate())
            ++start;
        int end = start;
        while (excess > 0 && start > 0) {
            start -= unitsBefore(input, start);
            --excess;
        }
        input.remove(start, end - start);
        pos = start;
        if (excess > 0) {
            input = LeftCodePoints(input, count);
            pos = qMin(pos, int(input.size()));
        }
        return Acceptable;
    }

private:
    int count;
};

// `count` characters of a line as users type one: what a box at that length limit must show.
QString typicalText(int count) {
    static const QString line =
        QString::fromUtf8("Sicherheitsdienst Müller & Söhne GmbH, Hauptstr. 1 ");
    QString text;
    while (text.size() < count)
        text += line;
    return text.left(count);
}

} // namespace

int CodePointCount(const QString& text) {
    int n = 0;
    for (int i = 0; i < text.size(); ++i, ++n)
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    return n;
}

QString LeftCodePoints(const QString& text, int count) {
    int i = 0;
    for (int n = 0; n < count && i < text.size(); ++n)
        i += text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                 ? 2
                 : 1;
    return text.left(i);
}

void LimitCodePoints(QLineEdit* edit, int count) {
    // The line edit's own limit counts code units: it must never cut first.
    edit->setMaxLength(2 * count);
    edit->setValidator(new CodePointLimit(count, edit));
    edit->setText(edit->text()); // a text set before is held to the limit too
}

void LimitCodePointsOfForm(QWidget* form) {
    const int noLimit = QLineEdit().maxLength();
    for (QLineEdit* edit : form->findChildren<QLineEdit*>())
        if (edit->maxLength() < noLimit && !edit->validator()) {
            WidenForLimit(edit, edit->maxLength());
            LimitCodePoints(edit, edit->maxLength());
        }
}

void WidenForLimit(QLineEdit* edit, int count) {
    // What the line edit keeps beside its text, as it paints: the style's frame, the text
    // margins, two pixels on each side, one for the cursor and the font's overhanging bearings;
    // and one more for rounding the text's width.
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = QRect(0, 0, 1000, edit->sizeHint().height());
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents = edit->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                               .marginsRemoved(edit->textMargins());
    const QFontMetricsF metrics(edit->font());
    const int beside = option.rect.width() - contents.width() + 2 * 2 + 1 +
                       qCeil(qMax(0.0, -metrics.minLeftBearing())) +
                       qCeil(qMax(0.0, -metrics.minRightBearing()));
    const int needed = qCeil(metrics.horizontalAdvance(typicalText(count))) + 1 + beside;
    edit->setMinimumWidth(qMax(edit->minimumWidth(), needed));
}
