#pragma once

#include "AppError.h"
#include "mTourTime.h"

#include <QString>
#include <memory>
#include <vector>

// A tour's tolerance in whole minutes as an interval in seconds; throws for a value outside
// 0 to 59, which is no acceptance window.
qint64 ToleranceInterval(int tolerance);

// One planned point of a tour on the analysed day.
class cTourPoint {
public:
    // The acceptance window: [due - tolerance minutes, due + tolerance minutes + 59 s].
    // Only tolerances 0 to 59 can be written as such a window; any other throws.
    TourTime::Moment TimeEarliest(int tolerance) const;
    TourTime::Moment TimeLatest(int tolerance) const;

    qint32 PointIndex() const { return pointIndex; }
    void setPointIndex(qint32 value) { pointIndex = value; }
    TourTime::Moment PointDateTime() const { return pointDateTime; }
    void setPointDateTime(TourTime::Moment value) { pointDateTime = value; }
    QString PointButtonId() const { return pointButtonId; }
    void setPointButtonId(const QString& value) { pointButtonId = value; }
    QString ButtonName() const { return buttonName; }
    void setButtonName(const QString& value) { buttonName = value; }
    QString ButtonDesc() const { return buttonDesc; }
    void setButtonDesc(const QString& value) { buttonDesc = value; }
    QString SiteName() const { return siteName; }
    void setSiteName(const QString& value) { siteName = value; }
    bool PointOK() const { return pointOK; }
    void setPointOK(bool value) { pointOK = value; }

private:
    qint32 pointIndex = 0;
    TourTime::Moment pointDateTime = 0;
    QString pointButtonId;
    QString buttonName;
    QString buttonDesc;
    QString siteName;
    bool pointOK = false;
};

// A button code as the touches hold it: exactly six characters, cut or padded with blanks.
QString FixedButtonCode(const QString& code);

// An ordered list of items, positions counted from 1, each item optionally filed under a
// unique key. Only the owner's Add creates items.
template <class T> class cCollection {
    struct Entry {
        std::unique_ptr<T> value;
        QString key;
    };

public:
    cCollection() = default;
    cCollection(cCollection&&) noexcept = default;
    cCollection& operator=(cCollection&&) noexcept = default;

    int Count() const { return static_cast<int>(items.size()); }
    T& Item(int position) const { return *items.at(checked(position) - 1).value; }
    T& Item(const QString& key) const { return *items.at(positionOf(key) - 1).value; }
    void Remove(int position) { items.erase(items.begin() + (checked(position) - 1)); }
    void Remove(const QString& key) { items.erase(items.begin() + (positionOf(key) - 1)); }
    // Removes the items at the given positions (ascending, each within 1 to Count) in one
    // pass; the others keep their order.
    void RemovePositions(const std::vector<int>& ascending);

    class const_iterator {
    public:
        using Inner = typename std::vector<Entry>::const_iterator;
        explicit const_iterator(Inner at) : it(at) {}
        T& operator*() const { return *it->value; }
        T* operator->() const { return it->value.get(); }
        const_iterator& operator++() {
            ++it;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return it != other.it; }
        bool operator==(const const_iterator& other) const { return it == other.it; }

    private:
        Inner it;
    };
    // The items one by one, in collection order.
    const_iterator begin() const { return const_iterator(items.begin()); }
    const_iterator end() const { return const_iterator(items.end()); }

protected:
    T& append(std::unique_ptr<T> item, const QString& key);

private:
    int checked(int position) const;
    int positionOf(const QString& key) const;

    std::vector<Entry> items;
};

class colTourPoints : public cCollection<cTourPoint> {
public:
    cTourPoint& Add(bool PointOK, const QString& SiteName, const QString& ButtonDesc,
                    const QString& ButtonName, const QString& PointButtonId,
                    TourTime::Moment PointDateTime, qint32 PointIndex,
                    const QString& sKey = QString());
};

// One touch of an incident button.
class cEvent {
public:
    TourTime::Moment DateAndTime() const { return dateAndTime; }
    void setDateAndTime(TourTime::Moment value) { dateAndTime = value; }
    void setCode(const QString& value) { code = FixedButtonCode(value); }
    QString Code() const { return code; }
    void setName(const QString& value) { name = value; }
    QString Name() const { return name; }
    void setDescription(const QString& value) { description = value; }
    QString Description() const { return description; }
    void setGroupName(const QString& value) { groupName = value; }
    QString GroupName() const { return groupName; }
    void setGroupDesc(const QString& value) { groupDesc = value; }
    QString GroupDesc() const { return groupDesc; }

private:
    TourTime::Moment dateAndTime = 0;
    QString code = FixedButtonCode(QString());
    QString name;
    QString description;
    QString groupName;
    QString groupDesc;
};

class colEvents : public cCollection<cEvent> {
public:
    cEvent& Add(const QString& GroupDesc, const QString& GroupName, const QString& Description,
                const QString& Name, const QString& Code, TourTime::Moment DateAndTime,
                const QString& sKey = QString());
};

// One touch of a location button, with the incident touches that followed it.
class cLocation {
public:
    void setDescription(const QString& value) { description = value; }
    QString Description() const { return description; }
    void setName(const QString& value) { name = value; }
    QString Name() const { return name; }
    void setGroupDesc(const QString& value) { groupDesc = value; }
    QString GroupDesc() const { return groupDesc; }
    void setGroupName(const QString& value) { groupName = value; }
    QString GroupName() const { return groupName; }
    void setButtonCode(const QString& value) { buttonCode = FixedButtonCode(value); }
    QString ButtonCode() const { return buttonCode; }
    TourTime::Moment DateAndTime() const { return dateAndTime; }
    void setDateAndTime(TourTime::Moment value) { dateAndTime = value; }
    colEvents& Events() { return events; }
    const colEvents& Events() const { return events; }
    void setEvents(colEvents value) { events = std::move(value); }

private:
    QString description;
    QString name;
    QString groupDesc;
    QString groupName;
    QString buttonCode = FixedButtonCode(QString());
    TourTime::Moment dateAndTime = 0;
    colEvents events;
};

class colLocations : public cCollection<cLocation> {
public:
    cLocation& Add(TourTime::Moment DateAndTime, const QString& ButtonCode, const QString& Name,
                   const QString& Description, const QString& GroupName, const QString& GroupDesc);
};

template <class T> int cCollection<T>::checked(int position) const {
    if (position < 1 || position > Count())
        throw AppError(
            9,
            QStringLiteral("Subscript out of range: position %1 of %2").arg(position).arg(Count()));
    return position;
}

template <class T> int cCollection<T>::positionOf(const QString& key) const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!key.isEmpty() && items[i].key == key)
            return static_cast<int>(i) + 1;
    throw AppError(AppError::InvalidCall, QStringLiteral("No item is filed under \"%1\"").arg(key));
}

template <class T> T& cCollection<T>::append(std::unique_ptr<T> item, const QString& key) {
    if (!key.isEmpty()) {
        for (const Entry& e : items)
            if (e.key == key)
                throw AppError(457, QStringLiteral("The key \"%1\" is already filed").arg(key));
    }
    T& added = *item;
    items.push_back(Entry{std::move(item), key});
    return added;
}

template <class T> void cCollection<T>::RemovePositions(const std::vector<int>& ascending) {
    for (std::size_t k = 0; k < ascending.size(); ++k) {
        checked(ascending[k]);
        if (k > 0 && ascending[k] <= ascending[k - 1])
            throw AppError(AppError::InvalidCall,
                           QStringLiteral("Positions to remove are not ascending"));
    }
    std::size_t next = 0, kept = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (next < ascending.size() && static_cast<std::size_t>(ascending[next]) == i + 1) {
            ++next;
            continue;
        }
        if (kept != i)
            items[kept] = std::move(items[i]);
        ++kept;
    }
    items.resize(kept);
}
