#pragma once

#include <QString>

class CHistory;

// What the batch windows read from the creator window while they make posts:
// the chosen group, the caption and tags as they stand, and the two history lists.
class CreatorFields {
public:
    virtual ~CreatorFields() = default;
    virtual QString GetGroup() const = 0;
    virtual QString CaptionText() const = 0; // with CR LF line breaks
    virtual QString TagsText() const = 0;
    virtual CHistory& History() = 0;
    virtual CHistory& TagsHistory() = 0;
};
