#pragma once

#include <QString>

class DbConnection;

// Whether no reader row has this ID.
bool IsNewReaderId(DbConnection& db, const QString& readerId);
// A new reader; an ID already stored is refused by the database.
void AddReaderRow(DbConnection& db, const QString& readerId, const QString& description);
// The reader's name on screen and in reports; its ID never changes.
void UpdateReaderDescription(DbConnection& db, const QString& readerId, const QString& description);
