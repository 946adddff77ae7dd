#pragma once

#include "components/Failure.h"

#include <QString>

// "Links.LST" in the data folder: one line per accepted post, ended by CR LF.
// A failure to append loses that one line and is not reported.
void AppendLink(const QString& link);
// The link of a post the service accepted under the id it answered, which it gives back; empty,
// with nothing written, when the id is not one (an id is a number of at most 20 digits), so no
// made-up link ever reaches the list.
QString AppendPostLink(const QString& group, const QString& id);
// The whole list without line breaks at its ends; empty when there is none.
Outcome<QString> ReadLinksList();
