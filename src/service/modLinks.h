#pragma once

#include <QString>

// "Links.LST" in the data folder: one line per accepted post, ended by CR LF.
// A failure to append loses that one line and is not reported.
void AppendLink(const QString& link);
// The whole list without line breaks at its ends; empty when there is none.
QString ReadLinksList();
