#include "store/BlogList.h"

#include "components/SupportLibrary.h"

QStringList GroupLines(const QString& text) {
    QStringList lines;
    for (const QString& piece : text.split(QStringLiteral("\r\n"))) {
        const QString line = TrimBlanks(piece);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

Blog BlogFromLine(const QString& line) {
    const qsizetype bar = line.lastIndexOf(QLatin1Char('|'));
    if (bar < 0)
        return {QString(), line};
    return {TrimBlanks(line.left(bar)), TrimBlanks(line.mid(bar + 1))};
}

QString GroupsText(const BlogList& blogs) {
    QStringList lines;
    for (const Blog& blog : blogs)
        lines.append(blog.Title + QStringLiteral(" | ") + blog.Name);
    return lines.join(QStringLiteral("\r\n"));
}
