#include "creation/modTags.h"

#include "components/SupportLibrary.h"

QString CleanTagText(const QString& text) {
    QString tags = text;
    tags.remove(QLatin1Char('#'));
    tags.remove(QLatin1Char('"'));
    tags.replace(QLatin1Char('\\'), QLatin1Char('-'));
    tags.replace(QLatin1Char('/'), QLatin1Char('-'));
    tags.replace(QLatin1Char('|'), QLatin1Char('-'));
    return tags;
}

QString TagsFromCaption(const QString& caption) {
    const QString tags = CleanTagText(zsGetLineOnly(caption));
    // A comma would split the text into several tags; quoted, it stays one.
    if (tags.contains(QLatin1Char(',')))
        return QLatin1Char('"') + tags + QLatin1Char('"');
    return tags;
}
