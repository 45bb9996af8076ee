#pragma once

#include <QString>
#include <QVector>

// One reader of the incident report's choice, by its ID as stored in tblReaders.tReaderId.
class cReader {
public:
    cReader() = default;
    explicit cReader(QString id) : readerId(std::move(id)) {}

    QString ReaderId() const { return readerId; }
    void setReaderId(const QString& id) { readerId = id; }

private:
    QString readerId;
};

// The ticked readers, in list order.
using colReaders = QVector<cReader>;
// The tblButtons.ID of each ticked incident button, in list order.
using colEvents = QVector<qint32>;
