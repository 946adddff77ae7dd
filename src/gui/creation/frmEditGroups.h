#pragma once

#include "app/FormBase.h"
#include "app/SelectAllHook.h"

#include <memory>

class QComboBox;

namespace Ui {
class frmEditGroups;
}

// The group list edited as text, one group per line: Ok accepts the text; Cancel, Esc and the
// close box reject it.
class frmEditGroups final : public FormBase {
    Q_OBJECT
public:
    explicit frmEditGroups(QWidget* parent = nullptr);
    ~frmEditGroups() override;

    QString GroupsText() const;
    void SetGroupsText(const QString& text);

    // Moves a dialog so that it stands just above the "Get" button, left-aligned with it, its
    // whole outer height (title bar included) counted; a dialog not yet shown is moved again
    // once it is.
    static void PlaceAboveGetButton(QWidget* dialog, const QPoint& getButtonTopLeft);

private:
    void GetGroups();
    // Shows the tumblelog fetch dialog, which may replace the text.
    void OpenFetchDialog(const QPoint& getButtonTopLeft);

    std::unique_ptr<Ui::frmEditGroups> ui;
    SelectAllHook m_groupsHook;
};

// The list's entries, trimmed, one per line (CR LF between them).
QString GroupsToText(const QComboBox* list);
// Refills the list with the text's non-blank lines, trimmed, in order; selects the first.
void FillGroupList(const QString& text, QComboBox* list);
