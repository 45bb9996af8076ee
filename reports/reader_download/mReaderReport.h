#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>

class cReportHost;

// The touches of one reader in a range of touch times (both ends included), grouped by the
// download that brought them: ordered by download time, then touch time, then ID. The
// first column is the key the report engine keeps.
QString ReaderReportSql();
// The same columns for one touch, by its ID.
QString ReaderReportRowSql();
// The values bound to ReaderReportSql: the reader, then the range as stored texts.
QVariantList ReaderReportParams(const QDateTime& StartDate, const QDateTime& EndDate,
                                const QString& ReaderId);

// Previews the reader download report, or tells the user that the range holds no touch of
// the reader. A failure is written to the error log.
void ReportReaderReport(const QDateTime& StartDate, const QDateTime& EndDate,
                        const QString& ReaderId, const QString& ReaderDesc, cReportHost& host);
