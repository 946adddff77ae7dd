#include "app/ToolbarMark.h"

#include "app/ToolbarCompanion.h"

#include <QDialog>

namespace {

class ToolbarMark final : public QObject {
public:
    explicit ToolbarMark(QDialog* window) : QObject(window), m_handle(ToolBarMarkForm(window)) {
        connect(window, &QDialog::finished, this, &ToolbarMark::Unmark);
    }
    ~ToolbarMark() override { Unmark(); }

private:
    void Unmark() {
        if (!m_marked)
            return;
        m_marked = false;
        // By the handle it was marked with, as the window's id may have changed since.
        ToolBarUnMarkHandle(m_handle);
    }

    qint32 m_handle;
    bool m_marked = true;
};

} // namespace

void MarkOnToolbar(QDialog* window) {
    new ToolbarMark(window);
}
