#include "mHardwareList.h"

#include "Database.h"
#include "ReportFrame.h"
#include "ReportSource.h"
#include "darHardwareList.h"
#include "mDbUtil.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mGroupTypes.h"

namespace {

const QString kLocationRule = QStringLiteral("--------------------");
const QString kReaderRule = QStringLiteral("---------------------");

// A name, then " - " and the description when there is one.
QString nameAndDescription(const QString& name, const QString& description) {
    return description.isEmpty() ? name : name + QStringLiteral(" - ") + description;
}

} // namespace

QString HardwareButtonQuery(bool locations, bool incidents) {
    QString filter;
    if (!locations)
        filter = QStringLiteral(" (tblListItems.wType <> %1)").arg(GroupTypeSite);
    if (!incidents)
        filter += (filter.isEmpty() ? QStringLiteral(" (tblListItems.wType <> %1)")
                                    : QStringLiteral(" AND (tblListItems.wType <> %1)"))
                      .arg(GroupTypeEventBook);
    // Both tables have an ID: each column is named once. Buttons of one name in two groups
    // of one name keep a fixed order.
    return QStringLiteral("SELECT tblButtons.ID AS ButtonID, tblButtons.tButtonCode, "
                          "tblButtons.tButtonName, tblButtons.tButtonDesc, "
                          "tblListItems.ID AS GroupID, tblListItems.tName, tblListItems.tDesc, "
                          "tblListItems.wType "
                          "FROM tblButtons INNER JOIN tblListItems ON tblButtons.lParentID "
                          "= tblListItems.ID ") +
           (filter.isEmpty() ? QString() : QStringLiteral(" WHERE ") + filter) +
           QStringLiteral("ORDER BY tblListItems.wType, tblListItems.tName, "
                          "tblButtons.tButtonName, tblButtons.ID;");
}

void WriteHardwareListRows(bool locations, bool incidents, bool readers) {
    const QString locationsHeading = Translate(QStringLiteral("Locations"));
    const QString incidentsHeading = Translate(QStringLiteral("Incidents"));
    DbCursor buttons(*gConn, HardwareButtonQuery(locations, incidents));
    DbTransaction transaction(*gConn);
    PrepareRptTmp();
    DbStatement insert(*gConn, QStringLiteral("INSERT INTO tblReportTemp (Field0, Field1, "
                                              "Field2, Field3) VALUES (?, ?, ?, ?)"));
    const auto line = [&insert](const QString& f0, const QString& f1, const QString& f2,
                                const QString& f3) {
        insert.Execute({f0, f1, f2, f3});
    };

    // User groups come first, under their group lines but with no heading.
    qint64 lastType = GroupTypeUser;
    qint64 lastGroup = 0;
    while (buttons.Next()) {
        const qint64 type = buttons.integer(QStringLiteral("wType"));
        if (type != lastType) {
            line(QString(), QString(), QString(), QString());
            line(type == GroupTypeSite ? locationsHeading : incidentsHeading, QString(), QString(),
                 QString());
            line(kLocationRule, QString(), QString(), QString());
            lastType = type;
        }
        const qint64 group = buttons.integer(QStringLiteral("GroupID"));
        if (group != lastGroup) {
            line(QString(),
                 nameAndDescription(buttons.text(QStringLiteral("tName")),
                                    buttons.text(QStringLiteral("tDesc"))),
                 QString(), QString());
            lastGroup = group;
        }
        line(QString(), QString(),
             nameAndDescription(buttons.text(QStringLiteral("tButtonName")),
                                buttons.text(QStringLiteral("tButtonDesc"))),
             buttons.text(QStringLiteral("tButtonCode")));
    }
    buttons.Close();

    if (readers) {
        // The readers section prints even when there is no reader.
        line(QString(), QString(), QString(), QString());
        line(Translate(QStringLiteral("Readers")), QString(), QString(), QString());
        line(kReaderRule, QString(), QString(), QString());
        DbCursor reader(*gConn, QStringLiteral("SELECT tReaderId, tDescription FROM tblReaders "
                                               "ORDER BY rowid"));
        while (reader.Next())
            line(QString(), QString(), reader.text(QStringLiteral("tDescription")),
                 reader.text(QStringLiteral("tReaderId")));
    }
    insert.Close();
    transaction.Commit();
}

void BuildHardwareListReport(bool locations, bool incidents, bool readers, cReportHost& host) {
    try {
        WriteHardwareListRows(locations, incidents, readers);
        darHardwareList layout;
        layout.SetReportParam(Translate(QStringLiteral("Hardware List Report")), CompanyText());
        const ReportTexts shared = SharedReportTexts();
        layout.SetText(shared.MyPrintDate, shared.MyPageHeader, shared.MyPageNumber,
                       Translate(QStringLiteral("Description")),
                       Translate(QStringLiteral("Hardware Code")), shared.EndOfReport);
        ReportTableSource rows(*gConn, QStringLiteral("tblReportTemp"));
        ShowReport(layout, rows, host);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("BuildHardwareListReport of Form frmRptHardwareListParam"), e,
                    true);
    }
}
