#include "ListColumns.h"

#include <QDate>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTime>
#include <QTreeView>

namespace {

// Splits `amount` over the columns by their `weights`, exactly: the parts add up to `amount`.
QVector<int> splitByWeight(int amount, const QVector<int>& weights) {
    qint64 total = 0;
    for (int w : weights)
        total += w;
    QVector<int> parts(weights.size(), 0);
    if (total <= 0)
        return parts;
    qint64 running = 0;
    int handedOut = 0;
    for (int i = 0; i < weights.size(); ++i) {
        running += weights.at(i);
        const int upTo = static_cast<int>(amount * running / total);
        parts[i] = upTo - handedOut;
        handedOut = upTo;
    }
    return parts;
}

} // namespace

int NameColumnWidth(const QTreeView* list, bool withIcon, int length) {
    return TextColumnWidth(list, {QString(length, QLatin1Char('W'))}, withIcon);
}

int TextColumnWidth(const QTreeView* list, const QStringList& texts, bool withIcon) {
    // As the item delegate measures a row: the style's size of an item with that text.
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.font = list->font();
    option.fontMetrics = list->fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.decorationPosition = QStyleOptionViewItem::Left;
    if (withIcon) {
        const int small = list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, list);
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = list->iconSize().isValid() ? list->iconSize() : QSize(small, small);
    }
    int widest = 0;
    for (const QString& text : texts) {
        option.text = text;
        widest =
            qMax(widest, list->style()
                             ->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), list)
                             .width());
    }
    return widest;
}

QStringList DateTexts(const QString& format) {
    QStringList texts;
    for (int month = 1; month <= 12; ++month)
        texts << QDate(2088, month, 28).toString(format);
    return texts;
}

QStringList TimeTexts(const QString& format) {
    QStringList texts;
    for (int hour = 0; hour < 24; ++hour)
        texts << QTime(hour, 58, 58).toString(format);
    return texts;
}

QStringList DigitTexts(int length, bool hex) {
    QStringList texts;
    const QString digits = hex ? QStringLiteral("0123456789ABCDEF") : QStringLiteral("0123456789");
    for (const QChar digit : digits)
        texts << QString(length, digit);
    return texts;
}

QVector<int> ShareColumnWidths(int available, const QVector<int>& units, const QVector<int>& least,
                               const QVector<int>& need) {
    const int count = units.size();
    const int unit = qMax(0, available) / 100;
    QVector<int> widths(count);
    int total = 0, unitSum = 0;
    for (int i = 0; i < count; ++i) {
        widths[i] = qMax(units.at(i) * unit, least.value(i));
        total += widths.at(i);
        unitSum += units.at(i);
    }
    if (unitSum > 100) {
        for (int i = 0; i < count; ++i)
            if (need.value(i) > 0)
                widths[i] = qMax(widths.at(i), qMin(need.value(i), available));
        return widths;
    }
    QVector<int> want(count, 0), slack(count, 0);
    int wanted = 0, giving = 0, others = 0;
    bool lacking = false;
    for (int i = 0; i < count; ++i) {
        if (need.value(i) > 0) {
            want[i] = qMax(widths.at(i), need.value(i));
            wanted += want.at(i);
            lacking = lacking || want.at(i) > widths.at(i);
        } else {
            slack[i] = qMax(0, widths.at(i) - least.value(i));
            giving += slack.at(i);
            others += widths.at(i);
        }
    }
    // Columns whose least is above their share may push the total past the list.
    if (!lacking && (wanted == 0 || total <= available))
        return widths;
    // Room the shares leave unused goes first; then the other columns give by their slack.
    const int room = qMax(0, available - others);
    const int taken = qBound(0, wanted - room, giving);
    const QVector<int> given = splitByWeight(taken, slack);
    for (int i = 0; i < count; ++i)
        widths[i] -= given.at(i);
    // Names that still do not fit share the room by what each needs, never below its caption.
    const QVector<int> names = room + taken >= wanted ? want : splitByWeight(room + taken, want);
    for (int i = 0; i < count; ++i)
        if (need.value(i) > 0)
            widths[i] = qMax(least.value(i), names.at(i));
    return widths;
}

void ShareColumns(QTreeView* list, const QVector<int>& units, const QVector<NameColumn>& names,
                  const QVector<FixedColumn>& fixed) {
    QHeaderView* header = list->header();
    const int count = qMin(int(units.size()), header->count());
    QVector<int> least(count), need(count, 0);
    for (int i = 0; i < count; ++i)
        least[i] = header->sectionSizeHint(i);
    for (const FixedColumn& f : fixed)
        if (f.column < count)
            least[f.column] = qMax(least.at(f.column), TextColumnWidth(list, f.texts, f.withIcon));
    for (const NameColumn& name : names)
        if (name.column < count)
            need[name.column] = NameColumnWidth(list, name.withIcon);
    const QVector<int> widths =
        ShareColumnWidths(qMax(0, list->width() - 16), units.mid(0, count), least, need);
    for (int i = 0; i < count; ++i)
        list->setColumnWidth(i, widths.at(i));
}
