#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class DbConnection;
class cInBuffer;

// The kinds of group (wType of tblListItems, ItemType of the group editor): 0 user group,
// 1 site, 2 event book. The texts are English; callers translate them.
struct cGroupKind {
    QString titleWord;     // the window caption: "Edit" and this word
    QString pictureKey;    // the big picture of the dialogs
    QString rowIconKey;    // the small picture of a button row
    QString dialogCaption; // the add and edit dialogs of a button
};
// A type outside 0 to 2 is taken as a user group.
cGroupKind GroupKind(int itemType);
// The resource of a dialog picture ("good", "bad", "users", "locations", "events", "reader")
// and of a row icon ("user", "location", "event").
QString BigPicture(const QString& key);
QString RowIcon(const QString& key);

// What the name rules of the setup dialogs say of a typed name: it is trimmed, then compared
// exactly (letter case counts) with the names already used; a used name is refused before an
// empty one. The used test is skipped when the trimmed name is the starting name.
enum class NameCheck { Accepted, Used, Empty };
NameCheck CheckName(const QString& typed, const QStringList& existingNames,
                    const std::optional<QString>& startingName = std::nullopt);

// A typed button ID after trimming and upper-casing: exactly six of 0-9 and A-F.
QString NormalizeButtonId(const QString& typed);
bool IsValidButtonID(const QString& id);

// The key's ID in a button-ID packet (code 24, at least five data bytes, the ID least
// significant byte first from data byte 2), six upper-case hexadecimal digits; empty for any
// other frame.
QString ButtonIdFromPacket(const QByteArray& frame);

// Listens for keys touched to the docked reader: each poll takes at most one frame out of the
// receive buffer and then empties it, so that a key read is never taken twice. Bytes of a
// packet still arriving are dropped with the rest: the user touches the key again.
class cButtonIdListener {
public:
    struct Reading {
        bool read = false; // a button-ID packet was taken
        QString id;
        bool again = false; // the same key as the one read before
    };

    void setKnownCodes(const QStringList& codes) { known = codes; }
    // Whether no stored button has this code (exact comparison).
    bool IsNewButtonCode(const QString& code) const;
    Reading Poll(cInBuffer& buffer);

private:
    QStringList known;
    QString lastId;
};

// One button of a group as the group editor lists it (null texts read as empty).
struct cButtonRow {
    qint64 ID = 0;
    QString tButtonCode;
    QString tButtonName;
    QString tButtonDesc;
};

QVector<cButtonRow> ReadGroupButtons(DbConnection& db, qint64 groupId);
// The codes of every stored button, of every group.
QStringList ReadButtonCodes(DbConnection& db);
// Writes a new button of the group; its ID. A code already stored is refused by the database.
qint64 SaveNewButtonRow(DbConnection& db, qint64 groupId, const QString& code, const QString& name,
                        const QString& desc);
void UpdateButtonRow(DbConnection& db, qint64 buttonId, const QString& name, const QString& desc);
void DeleteButtonRow(DbConnection& db, qint64 buttonId);
// The group's own name and description.
void UpdateGroupRow(DbConnection& db, qint64 groupId, const QString& name, const QString& desc);
