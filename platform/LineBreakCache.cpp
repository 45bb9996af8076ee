#include "LineBreakCache.h"

const QStringList* LineBreakCache::Find(int font, int width, const QString& text) const {
    const auto it = entries.constFind(Key{font, width, text});
    return it == entries.constEnd() ? nullptr : &it.value();
}

void LineBreakCache::Store(int font, int width, const QString& text, const QStringList& lines) {
    if (capacity <= 0)
        return;
    if (entries.size() >= capacity)
        entries.clear();
    entries.insert(Key{font, width, text}, lines);
}
