#pragma once

#include <QObject>
#include <QPointer>

class QAbstractItemView;
class QWidget;

// Once called zntTBHooks. Ctrl+A selects the whole text of one watched text box, typing nothing and
// without a beep.
class SelectAllHook final : public QObject {
    Q_OBJECT
public:
    explicit SelectAllHook(QObject* parent = nullptr) : QObject(parent) {}
    ~SelectAllHook() override { SetTextBox(nullptr); }

    QWidget* TextBox() const { return m_tb; }
    void SetTextBox(QWidget* textBox);
    void InitSelectAllHook() { m_selectAllEnabled = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_tb;
    bool m_selectAllEnabled = false;
};

// Selects (or deselects) the items first..last of a multi-selection list in one step.
void ListBoxSelectRange(QAbstractItemView* list, bool select, int first, int last);
