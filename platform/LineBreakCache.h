#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The lines a text breaks into for one font and width, kept so that a text that repeats down
// a report (a name, a site, a reader) is shaped once. Holds at most `capacity` texts: when it
// is full it starts afresh, so its memory stays bounded whatever the number of rows.
class LineBreakCache {
public:
    explicit LineBreakCache(int maxEntries = 8192) : capacity(maxEntries) {}

    // The lines stored for the text, or null.
    const QStringList* Find(int font, int width, const QString& text) const;
    void Store(int font, int width, const QString& text, const QStringList& lines);
    int Size() const { return int(entries.size()); }

private:
    struct Key {
        int font;
        int width;
        QString text;
        bool operator==(const Key& other) const {
            return font == other.font && width == other.width && text == other.text;
        }
    };
    friend size_t qHash(const Key& key, size_t seed) {
        return qHashMulti(seed, key.font, key.width, key.text);
    }

    int capacity;
    QHash<Key, QStringList> entries;
};
