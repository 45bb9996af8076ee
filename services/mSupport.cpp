#include "mSupport.h"

#include "Boxes.h"
#include "Database.h"
#include "mErrorHandler.h"
#include "mGlobals.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>

QString SqlDateFmt(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString SqlDateTimeFmt(const QDateTime& moment) {
    return moment.isValid() ? moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QDateTime ParseSqlDateTime(const QString& text) {
    const QString t = text.trimmed();
    QDateTime moment = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!moment.isValid())
        moment = QDateTime(QDate::fromString(t, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    return moment;
}

void SortListViewColumn(QTreeWidget* list, int column) {
    const int key = list->property("SortKey").isValid() ? list->property("SortKey").toInt() : 0;
    int order = list->property("SortOrder").toInt();
    if (column == key) {
        order = order == 1 ? 0 : 1;
    } else {
        order = 0;
        list->setProperty("SortKey", column);
    }
    list->setProperty("SortOrder", order);
    const Qt::SortOrder qtOrder = order == 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(column, qtOrder);
    if (list->isSortingEnabled())
        list->sortItems(column, qtOrder);
}

int ReaderCount() {
    return static_cast<int>(gConn->Query(QStringLiteral("SELECT count(*) AS n FROM tblReaders"))
                                .first()
                                .integer(QStringLiteral("n")));
}

int TourCount() {
    return static_cast<int>(gConn->Query(QStringLiteral("SELECT count(*) AS n FROM tblTours"))
                                .first()
                                .integer(QStringLiteral("n")));
}

bool CompactionWorthwhile(DbConnection& db) {
    const qint64 freePages = db.Query(QStringLiteral("PRAGMA freelist_count"))
                                 .first()
                                 .integer(QStringLiteral("freelist_count"));
    const qint64 pages =
        db.Query(QStringLiteral("PRAGMA page_count")).first().integer(QStringLiteral("page_count"));
    return freePages > 0 && freePages * 10 >= pages;
}

void CompactDatabase(const QString& dbPath, const QString& tempPath, const QString& password,
                     const std::function<void()>& keepAlive) {
    try {
        if (QFile::exists(tempPath) && !QFile::remove(tempPath))
            throw AppError(AppError::PermissionDenied,
                           QStringLiteral("Cannot remove %1").arg(tempPath));
        DbConnection db;
        db.Open(dbPath, password);
        if (!CompactionWorthwhile(db))
            return;
        QElapsedTimer sinceLast;
        sinceLast.start();
        DbProgress progress(db, [&] {
            if (keepAlive && sinceLast.elapsed() >= 100) {
                keepAlive();
                sinceLast.restart();
            }
            return true;
        });
        db.ExecuteScript(QStringLiteral("VACUUM;"));
    } catch (const AppError& e) {
        HandleError(QStringLiteral("CompactDatabase of Module mSupport"), e, false);
    }
}

QString ChooseNewFileName(const Boxes::FileDialog& dialog) {
    for (;;) {
        const QString path = Boxes::GetFileName(dialog);
        if (path.isEmpty() || !QFileInfo::exists(path))
            return path;
        gTranslator->IvMessageBox(
            QStringLiteral("That filename is already in use. Please choose another filename"),
            QString(), IvBox::Warning, IvBox::Ok, 0);
    }
}
