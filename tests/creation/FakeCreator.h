#pragma once

#include "creation/CreatorFields.h"
#include "history/CHistory.h"

// Stands in for the creator window: fixed group, caption and tags, and two history lists.
class FakeCreator final : public CreatorFields {
public:
    QString GetGroup() const override { return QStringLiteral("blog.example"); }
    QString CaptionText() const override { return QStringLiteral("Caption"); }
    QString TagsText() const override { return QStringLiteral("tags"); }
    CHistory& History() override { return captions; }
    CHistory& TagsHistory() override { return tagLists; }

    CHistory captions;
    CHistory tagLists;
};
