#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// Length limits count characters as the user sees them typed: Unicode code points, so that a
// character outside the basic plane (an emoji, a surrogate pair in UTF-16) counts once and is
// never cut in two.
int CodePointCount(const QString& text);
// The first `count` code points of `text`.
QString LeftCodePoints(const QString& text, int count);

// Limits a line edit to `count` code points: typing stops at the limit, and pasted or set text
// is cut before the limit at a whole character.
void LimitCodePoints(QLineEdit* edit, int count);

// Turns the length limit a form gives each of its text boxes (a Designer maxLength) into a
// code-point limit, for the boxes that have no validator of their own, and widens each of those
// boxes to show a text at its limit whole.
void LimitCodePointsOfForm(QWidget* form);

// Widens the line edit, never narrowing it, so that `count` characters of a line as users type
// one (capitals, small letters, umlauts, digits, punctuation) show whole in its font.
void WidenForLimit(QLineEdit* edit, int count);
