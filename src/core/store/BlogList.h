#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A blog as the groups list names it: a title for people and the name the service knows it
// by. The groups text holds one "title | name" line per blog, joined by CR LF; a line
// without a bar is a name alone.
struct Blog {
    QString Title;
    QString Name;
};
using BlogList = QList<Blog>;

// The lines of a groups text, trimmed, empty ones left out, as the group list shows them.
QStringList GroupLines(const QString& text);
// The blog of one line: the name after its last bar, trimmed, and the title before it.
Blog BlogFromLine(const QString& line);
// The groups text of a blog list: one "title | name" line per blog.
QString GroupsText(const BlogList& blogs);
