#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

// The stored texts of moments and times, read by their parts: a moment that the machine's
// clock skips (the hour the clocks go forward) is still a moment the reader logged, and no
// time zone ever shifts it. By hand, as a report reads one for every row.

// Reads "yyyy-MM-dd HH:mm:ss", exactly 19 characters; false when the text is not one.
bool ParseStoredMoment(const QString& text, QDate* date, int* secondsOfDay);
// The same from the stored UTF-8 bytes (only ASCII digits and separators make a moment).
bool ParseStoredMoment(QByteArrayView utf8, QDate* date, int* secondsOfDay);
// Reads a stored time of day or interval, "HH:MM:SS" with hours 0 to 23; false otherwise.
bool ParseStoredTime(const QString& text, int* secondsOfDay);
