#include "mButtons.h"

#include "Database.h"
#include "Translator.h"
#include "cInBuffer.h"
#include "mGroupTypes.h"
#include "mPacket.h"
#include "mTourRules.h"

#include <QRegularExpression>

cGroupKind GroupKind(int itemType) {
    switch (itemType) {
    case GroupTypeSite:
        return {QStringLiteral(TR_TEXT("Site")), QStringLiteral("locations"),
                QStringLiteral("location"), QStringLiteral(TR_TEXT("Add New Location"))};
    case GroupTypeEventBook:
        return {QStringLiteral(TR_TEXT("Event Book")), QStringLiteral("events"),
                QStringLiteral("event"), QStringLiteral(TR_TEXT("Add New Event"))};
    default:
        return {QStringLiteral(TR_TEXT("User Group")), QStringLiteral("users"),
                QStringLiteral("user"), QStringLiteral(TR_TEXT("Add New User"))};
    }
}

QString BigPicture(const QString& key) {
    return QStringLiteral(":/pictures/big/%1.png").arg(key);
}

QString RowIcon(const QString& key) {
    return QStringLiteral(":/pictures/%1.png").arg(key);
}

NameCheck CheckName(const QString& typed, const QStringList& existingNames,
                    const std::optional<QString>& startingName) {
    const QString name = typed.trimmed();
    const bool unchanged = startingName && name == *startingName;
    if (!unchanged && NameExists(name, existingNames))
        return NameCheck::Used;
    if (name.isEmpty())
        return NameCheck::Empty;
    return NameCheck::Accepted;
}

QString NormalizeButtonId(const QString& typed) {
    return typed.trimmed().toUpper();
}

bool IsValidButtonID(const QString& id) {
    static const QRegularExpression sixHexDigits(QStringLiteral("^[0-9A-F]{6}$"));
    return sixHexDigits.match(id).hasMatch();
}

QString ButtonIdFromPacket(const QByteArray& frame) {
    if (frame.size() < Frame::kDataOffset + 5)
        return QString();
    const int n = quint8(frame.at(Frame::kLengthOffset));
    if (n < 5 || quint8(frame.at(Frame::kDataOffset)) != kButtonIdPacket)
        return QString();
    const auto byte = [&](int offset) { return quint8(frame.at(offset)); };
    return Hex00(byte(Frame::kDataOffset + 4)) + Hex00(byte(Frame::kDataOffset + 3)) +
           Hex00(byte(Frame::kDataOffset + 2));
}

bool cButtonIdListener::IsNewButtonCode(const QString& code) const {
    return !known.contains(code, Qt::CaseSensitive);
}

cButtonIdListener::Reading cButtonIdListener::Poll(cInBuffer& buffer) {
    Reading reading;
    QByteArray frame;
    if (buffer.GetPacket(frame)) {
        reading.id = ButtonIdFromPacket(frame);
        if (!reading.id.isEmpty()) {
            reading.read = true;
            reading.again = reading.id == lastId;
            lastId = reading.id;
        }
    }
    buffer.Clear();
    return reading;
}

QVector<cButtonRow> ReadGroupButtons(DbConnection& db, qint64 groupId) {
    QVector<cButtonRow> rows;
    DbCursor cursor(db,
                    QStringLiteral("SELECT ID, tButtonCode, tButtonName, tButtonDesc "
                                   "FROM tblButtons WHERE lParentID = ? ORDER BY ID"),
                    {groupId});
    while (cursor.Next())
        rows.append({cursor.integer(QStringLiteral("ID")),
                     cursor.text(QStringLiteral("tButtonCode")),
                     cursor.text(QStringLiteral("tButtonName")),
                     cursor.text(QStringLiteral("tButtonDesc"))});
    return rows;
}

QStringList ReadButtonCodes(DbConnection& db) {
    QStringList codes;
    DbCursor cursor(db, QStringLiteral("SELECT tButtonCode FROM tblButtons"));
    while (cursor.Next())
        codes.append(cursor.text(QStringLiteral("tButtonCode")));
    return codes;
}

qint64 SaveNewButtonRow(DbConnection& db, qint64 groupId, const QString& code, const QString& name,
                        const QString& desc) {
    return db.Insert(QStringLiteral("INSERT INTO tblButtons "
                                    "(lParentID, tButtonName, tButtonDesc, tButtonCode) "
                                    "VALUES (?, ?, ?, ?)"),
                     {groupId, name, desc, code});
}

void UpdateButtonRow(DbConnection& db, qint64 buttonId, const QString& name, const QString& desc) {
    db.Execute(
        QStringLiteral("UPDATE tblButtons SET tButtonName = ?, tButtonDesc = ? WHERE ID = ?"),
        {name, desc, buttonId});
}

void DeleteButtonRow(DbConnection& db, qint64 buttonId) {
    db.Execute(QStringLiteral("DELETE FROM tblButtons WHERE ID = ?"), {buttonId});
}

void UpdateGroupRow(DbConnection& db, qint64 groupId, const QString& name, const QString& desc) {
    db.Execute(QStringLiteral("UPDATE tblListItems SET tName = ?, tDesc = ? WHERE ID = ?"),
               {name, desc, groupId});
}
