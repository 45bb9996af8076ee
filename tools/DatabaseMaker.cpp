#include "DatabaseMaker.h"

#include "Database.h"
#include "DatabaseKey.h"

#include <QFile>

void MakeDeliveredDatabase(const QString& path) {
    Q_INIT_RESOURCE(dbmaker);
    QFile schema(QStringLiteral(":/dbmaker/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        throw AppError(AppError::FileNotFound, QStringLiteral("The schema is missing"));
    DbConnection db;
    db.Create(path, DatabaseKey());
    DbTransaction transaction(db);
    db.ExecuteScript(QString::fromUtf8(schema.readAll()));
    transaction.Commit();
}
