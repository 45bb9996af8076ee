#include "mReaders.h"

#include "Database.h"

bool IsNewReaderId(DbConnection& db, const QString& readerId) {
    return db
        .Query(QStringLiteral("SELECT 1 FROM tblReaders WHERE tReaderId = ? LIMIT 1"), {readerId})
        .isEmpty();
}

void AddReaderRow(DbConnection& db, const QString& readerId, const QString& description) {
    db.Execute(QStringLiteral("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, ?)"),
               {readerId, description});
}

void UpdateReaderDescription(DbConnection& db, const QString& readerId,
                             const QString& description) {
    db.Execute(QStringLiteral("UPDATE tblReaders SET tDescription = ? WHERE tReaderId = ?"),
               {description, readerId});
}
