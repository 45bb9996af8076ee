#include "YearDatabase.h"

#include "Database.h"
#include "DatabaseKey.h"
#include "DatabaseMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTime>
#include <QVector>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSites = 5;
constexpr int kLocationsPerSite = 20;
constexpr int kTours = 10;
constexpr int kPointsPerTour = 12;
constexpr int kTolerance = 5;

const char* const kSiteNames[kSites] = {"North Gate", "Warehouse", "Office Block", "Car Park",
                                        "Perimeter"};
const char* const kSiteDescs[kSites] = {"Gate house and lorry lanes", "Stores and loading bays",
                                        "Three floors and the roof", "Levels 0 to 2",
                                        "Fence line, east to west"};
const char* const kIncidents[] = {"Door open",   "Light out",  "Window broken",  "Intruder",
                                  "Fire hazard", "Water leak", "Alarm sounding", "Gate unlocked"};
constexpr int kIncidentCount = int(sizeof(kIncidents) / sizeof(kIncidents[0]));

// splitmix64: a small generator whose output is the same on every platform and library.
class Random {
public:
    explicit Random(quint64 seed) : state(seed) {}
    quint64 next() {
        quint64 z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 state;
};

struct Button {
    QString code;
    QString name;
    QString desc;
    int type = 0;
    QString groupName;
    QString groupDesc;
};

struct Tour {
    QString name;
    QString desc;
    int site = 0;
    int startMinute = 0;
    QVector<int> points; // indexes into the site's locations
};

struct Site {
    int touchesPerDay = 0;
    int intervalMinutes = 0;
    QVector<QVector<Button>> locations; // per site
    QVector<Button> incidents;
    QVector<Button> guards;
    QVector<Tour> tours;
    QStringList readerIds;
};

QString hex6(quint64 value) {
    return QStringLiteral("%1").arg(value & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

// Codes that look like the ones printed on contact keys, never twice, never in the range
// kept for codes no button has.
QString newCode(Random& random, QSet<QString>& used) {
    for (;;) {
        const QString code = hex6(random.next());
        if (!code.startsWith(QLatin1String("FF")) && !used.contains(code)) {
            used.insert(code);
            return code;
        }
    }
}

int minuteOfSlot(int slot, int perDay) {
    return int(qint64(slot) * 1440 / perDay);
}

// The first slot at or after a minute of the day.
int slotAt(int minute, int perDay) {
    int slot = int((qint64(minute) * perDay + 1439) / 1440);
    while (slot > 0 && minuteOfSlot(slot - 1, perDay) >= minute)
        --slot;
    return slot;
}

Site describeSite(const YearDatabaseOptions& options) {
    Site site;
    site.touchesPerDay = options.touchesPerDay;
    // Touches are spread evenly over the day; the tours expect them at that pace.
    site.intervalMinutes = qBound(1, int(qRound(1440.0 / options.touchesPerDay)), 59);
    // The codes do not depend on the seed: the same site whatever the touches.
    Random codes(0x5EED5EEDULL);
    QSet<QString> used;
    for (int s = 0; s < kSites; ++s) {
        QVector<Button> buttons;
        for (int l = 0; l < kLocationsPerSite; ++l) {
            Button b;
            b.code = newCode(codes, used);
            b.name = QStringLiteral("%1 %2")
                         .arg(QLatin1String(kSiteNames[s]))
                         .arg(l + 1, 2, 10, QLatin1Char('0'));
            b.desc = QStringLiteral("Location %1 of %2").arg(l + 1).arg(kLocationsPerSite);
            b.type = 1;
            b.groupName = QLatin1String(kSiteNames[s]);
            b.groupDesc = QLatin1String(kSiteDescs[s]);
            buttons << b;
        }
        site.locations << buttons;
    }
    for (int i = 0; i < kIncidentCount; ++i) {
        Button b;
        b.code = newCode(codes, used);
        b.name = QLatin1String(kIncidents[i]);
        b.desc = QStringLiteral("Report to the supervisor");
        b.type = 2;
        b.groupName = QStringLiteral("Incidents");
        b.groupDesc = QStringLiteral("Event book of the site");
        site.incidents << b;
    }
    for (int r = 0; r < options.readers; ++r) {
        Button b;
        b.code = newCode(codes, used);
        b.name = QStringLiteral("Guard %1").arg(r + 1, 2, 10, QLatin1Char('0'));
        b.desc = QStringLiteral("Personal key");
        b.type = 0;
        b.groupName = QStringLiteral("Guards");
        b.groupDesc = QStringLiteral("Keys of the guards");
        site.guards << b;
        site.readerIds << QStringLiteral("0C5E%1").arg(r + 1, 4, 16, QLatin1Char('0')).toUpper();
    }
    for (int t = 0; t < kTours; ++t) {
        Tour tour;
        tour.site = t % kSites;
        tour.name = QStringLiteral("Tour %1").arg(t + 1);
        tour.desc = QStringLiteral("%1 round").arg(QLatin1String(kSiteNames[tour.site]));
        // The walk starts on a slot, so the first round of the day meets the tour's times.
        const int wanted = 6 * 60 + 30 * (t % 4);
        tour.startMinute = minuteOfSlot(
            slotAt(wanted, options.touchesPerDay) % options.touchesPerDay, options.touchesPerDay);
        const int offset = (t / kSites) * (kLocationsPerSite - kPointsPerTour);
        for (int p = 0; p < kPointsPerTour; ++p)
            tour.points << (offset + p) % kLocationsPerSite;
        site.tours << tour;
    }
    return site;
}

QString timeText(int minutes) {
    return QTime(0, 0).addSecs(minutes * 60).toString(QStringLiteral("HH:mm:ss"));
}

void writeSite(DbConnection& db, const Site& site) {
    DbStatement group(db, QStringLiteral("INSERT INTO tblListItems (tName, tDesc, wType) "
                                         "VALUES (?, ?, ?)"));
    DbStatement button(db, QStringLiteral("INSERT INTO tblButtons (lParentID, tButtonCode, "
                                          "tButtonName, tButtonDesc) VALUES (?, ?, ?, ?)"));
    auto writeGroup = [&](const QVector<Button>& buttons) {
        const qint64 id = group.Insert(
            {buttons.first().groupName, buttons.first().groupDesc, buttons.first().type});
        for (const Button& b : buttons)
            button.Execute({id, b.code, b.name, b.desc});
    };
    for (const QVector<Button>& locations : site.locations)
        writeGroup(locations);
    writeGroup(site.incidents);
    if (!site.guards.isEmpty())
        writeGroup(site.guards);

    DbStatement reader(db, QStringLiteral("INSERT INTO tblReaders (tReaderId, tDescription) "
                                          "VALUES (?, ?)"));
    for (int r = 0; r < site.readerIds.size(); ++r)
        reader.Execute({site.readerIds.at(r), QStringLiteral("Reader %1").arg(r + 1)});

    DbStatement tour(db, QStringLiteral("INSERT INTO tblTours (tName, tDesc, iTolerance, "
                                        "dtStartTime) VALUES (?, ?, ?, ?)"));
    DbStatement point(db, QStringLiteral("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, "
                                         "tButtonCode) VALUES (?, ?, ?, ?)"));
    for (const Tour& t : site.tours) {
        const qint64 id = tour.Insert({t.name, t.desc, kTolerance, timeText(t.startMinute)});
        for (int p = 0; p < t.points.size(); ++p)
            point.Execute({id, p + 1, timeText(p == 0 ? 0 : site.intervalMinutes),
                           site.locations.at(t.site).at(t.points.at(p)).code});
    }
}

// One reader's touches of one day, in the order the reader logged them: the tour's points in
// turn, the round starting again at the tour's start time; now and then an incident after a
// location, a location off the tour, the guard's own key or a key the site does not know takes
// the place of a point, which is then missed.
void writeReaderDay(DbStatement& insert, const Site& site, int reader, const QDate& day,
                    Random& random, const QStringList& minuteTexts) {
    const int perDay = site.touchesPerDay;
    const Tour& tour = site.tours.at(reader % kTours);
    const QVector<Button>& locations = site.locations.at(tour.site);
    const int points = tour.points.size();
    const QString dayText = day.toString(QStringLiteral("yyyy-MM-dd "));
    const QString downloaded = day.addDays(1).toString(QStringLiteral("yyyy-MM-dd ")) +
                               timeText(7 * 60 + reader % 600).left(5) + QStringLiteral(":00");
    const QString& pipeId = site.readerIds.at(reader);
    const int startSlot = slotAt(tour.startMinute, perDay);
    bool afterLocation = false;
    for (int slot = 0; slot < perDay; ++slot) {
        const QString moment = dayText + minuteTexts.at(minuteOfSlot(slot, perDay));
        const int roll = random.below(1000);
        Button unknown;
        const Button* b = nullptr;
        if (roll < 10 && reader < site.guards.size()) {
            b = &site.guards.at(reader);
        } else if (roll < 40 && afterLocation) {
            b = &site.incidents.at(random.below(site.incidents.size()));
        } else if (roll < 42) {
            // A key no button has: the download stores it as "Unknown" with no group.
            unknown.code = QStringLiteral("FF") + hex6(random.next()).right(4);
            unknown.name = QStringLiteral("Unknown");
            b = &unknown;
        } else if (roll < 52) {
            b = &locations.at(random.below(locations.size()));
        } else {
            const int point = ((slot - startSlot) % points + points) % points;
            b = &locations.at(tour.points.at(point));
        }
        afterLocation = b->type == 1;
        insert.Execute({downloaded, moment, b->code, b->name, b->desc, b->type, b->groupName,
                        b->groupDesc, pipeId});
    }
}

void syncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        throw AppError(AppError::PathError, QStringLiteral("Cannot sync %1: %2").arg(path, why));
    }
    ::close(fd);
}

void checkOptions(const YearDatabaseOptions& o) {
    if (o.readers < 1 || o.readers > 0xFFFF || o.touchesPerDay < 1 || o.touchesPerDay > 1440 ||
        o.days < 0 || !o.firstDay.isValid())
        throw AppError(AppError::InvalidValue,
                       QStringLiteral("Readers 1 to 65535, touches a day 1 to 1440, days from 0 "
                                      "and a valid first day are needed"));
}

} // namespace

YearDatabaseInfo YearDatabaseSummary(const YearDatabaseOptions& options) {
    checkOptions(options);
    const Site site = describeSite(options);
    YearDatabaseInfo info;
    info.touches = qint64(options.readers) * options.touchesPerDay * options.days;
    info.firstDay = options.firstDay;
    info.lastDay = options.firstDay.addDays(options.days - 1);
    info.readerIds = site.readerIds;
    for (int r = 0; r < options.readers; ++r)
        info.tourOfReader << qint64(r % kTours + 1);
    info.tours = kTours;
    info.locationButtons = kSites * kLocationsPerSite;
    info.incidentButtons = kIncidentCount;
    return info;
}

YearDatabaseInfo MakeYearDatabase(const QString& path, const YearDatabaseOptions& options,
                                  const YearDatabaseProgress& progress) {
    const YearDatabaseInfo info = YearDatabaseSummary(options);
    MakeDeliveredDatabase(path); // refuses an existing file
    try {
        const Site site = describeSite(options);
        DbConnection db;
        db.Open(path, DatabaseKey());
        // A new file that is removed when anything fails needs no journal.
        db.ExecuteScript(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                                        "PRAGMA cache_size = -65536;"));
        db.ExecuteScript(QStringLiteral("BEGIN;"));
        writeSite(db, site);
        db.ExecuteScript(QStringLiteral("COMMIT;"));

        QStringList minuteTexts;
        for (int m = 0; m < 1440; ++m)
            minuteTexts << timeText(m);
        Random random(options.seed);
        DbStatement insert(
            db, QStringLiteral("INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, "
                               "tButtonName, tButtonDesc, wGroupType, tGroupName, tGroupDesc, "
                               "tPipeID) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int d = 0; d < options.days; ++d) {
            const QDate day = options.firstDay.addDays(d);
            db.ExecuteScript(QStringLiteral("BEGIN;"));
            // One download per reader and day, in the order of the readers.
            for (int r = 0; r < options.readers; ++r)
                writeReaderDay(insert, site, r, day, random, minuteTexts);
            db.ExecuteScript(QStringLiteral("COMMIT;"));
            if (progress)
                progress(d + 1);
        }
        insert.Close();
        db.Close();
        syncFile(path);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    return info;
}

QString YearDatabaseFileName(const YearDatabaseOptions& o) {
    return QStringLiteral("year-r%1-t%2-d%3-s%4-%5.mdb")
        .arg(o.readers)
        .arg(o.touchesPerDay)
        .arg(o.days)
        .arg(o.seed)
        .arg(o.firstDay.toString(QStringLiteral("yyyy-MM-dd")));
}

QString CachedYearDatabase(const QString& folder, const YearDatabaseOptions& options,
                           const YearDatabaseProgress& progress) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        throw AppError(AppError::PathError, QStringLiteral("Cannot create %1").arg(folder));
    const QString path = dir.filePath(YearDatabaseFileName(options));
    if (QFileInfo::exists(path))
        return path;
    const QString partial = path + QStringLiteral(".making-%1").arg(::getpid());
    QFile::remove(partial);
    MakeYearDatabase(partial, options, progress);
    if (::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) !=
        0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(partial);
        throw AppError(AppError::PathError,
                       QStringLiteral("Cannot rename %1: %2").arg(partial, why));
    }
    return path;
}
