#pragma once

#include <QStringList>
#include <QVector>

class QTreeView;

// The longest name the program stores: of a tour, a site, an event book or a location.
constexpr int kNameLength = 25;
// Hex digits of a button code and of a reader ID as the lists show them.
constexpr int kButtonCodeDigits = 6;
constexpr int kReaderIdDigits = 8;

// The width a column of `list` needs to show a name of `length` of the widest letters ("W")
// whole, with the small picture its rows carry when `withIcon`.
int NameColumnWidth(const QTreeView* list, bool withIcon, int length = kNameLength);
// The width a column of `list` needs to show the widest of `texts` whole, as its rows draw them.
int TextColumnWidth(const QTreeView* list, const QStringList& texts, bool withIcon);

// Texts as wide as the widest a column of them can show: dates in `format` (every month, two-digit
// days), times of day in `format` (every hour), IDs of `length` digits (each digit repeated).
QStringList DateTexts(const QString& format);
QStringList TimeTexts(const QString& format);
QStringList DigitTexts(int length, bool hex);

// Widths of columns that share `available` pixels by `units` (hundredths of it). Every column
// gets at least its `least` (its caption, its widest text); a name column (`need` above 0) gets
// at least its need as far as there is room: the other columns give up width down to their
// least, and name columns that still do not fit share the room by what each needs, so that
// two names at their limit are cut alike. Where the units add up to more than
// 100 the columns run past the list's edge anyway: a name column then takes at most the whole
// of `available`, and the others keep their shares.
QVector<int> ShareColumnWidths(int available, const QVector<int>& units, const QVector<int>& least,
                               const QVector<int>& need);

struct NameColumn {
    int column;
    bool withIcon;
};
// A column of dates, times or IDs: it is never narrower than the widest of its `texts`.
struct FixedColumn {
    int column;
    QStringList texts;
    bool withIcon = false;
};
// Sets the columns of `list` so: the shares of its width less 16 pixels (240 twips), every
// caption and every fixed column's widest text whole, the name columns as wide as a name at its
// length limit where there is room.
void ShareColumns(QTreeView* list, const QVector<int>& units, const QVector<NameColumn>& names,
                  const QVector<FixedColumn>& fixed = {});
