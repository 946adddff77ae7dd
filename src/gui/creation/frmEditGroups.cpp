#include "creation/frmEditGroups.h"
#include "ui_frmEditGroups.h"

#include "app/ToolbarMark.h"
#include "components/SupportLibrary.h"
#include "service/frmGetGroupsList.h"
#include "store/BlogList.h"
#include "widgets/WindowSupport.h"

#include <QComboBox>
#include <QEvent>
#include <QTimer>

QString GroupsToText(const QComboBox* list) {
    QString text;
    for (int i = 0; i < list->count(); ++i)
        text += TrimBlanks(list->itemText(i)) + QStringLiteral("\r\n");
    return zsTrimCRLF(text);
}

void FillGroupList(const QString& text, QComboBox* list) {
    list->clear();
    list->addItems(GroupLines(text));
    if (list->count() > 0)
        list->setCurrentIndex(0);
}

frmEditGroups::frmEditGroups(QWidget* parent)
    : FormBase(Kind::Dialog, parent), ui(std::make_unique<Ui::frmEditGroups>()) {
    ui->setupUi(this);
    LoadFrame();
    MarkOnToolbar(this);
    m_groupsHook.SetTextBox(ui->txtGroups);
    m_groupsHook.InitSelectAllHook();
    connect(ui->cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->cmdGet, &QPushButton::clicked, this, &frmEditGroups::GetGroups);
}

frmEditGroups::~frmEditGroups() = default;

QString frmEditGroups::GroupsText() const {
    return GetBoxText(ui->txtGroups);
}

void frmEditGroups::SetGroupsText(const QString& text) {
    SetBoxText(ui->txtGroups, text);
}

namespace {

void MoveAbove(QWidget* dialog, const QPoint& getButtonTopLeft) {
    dialog->move(getButtonTopLeft.x(), getButtonTopLeft.y() - dialog->frameGeometry().height());
}

// Only a window on the screen knows its frame: the window manager adds the title bar when it
// shows the window. So the dialog is moved again once it has first been painted.
class MoveAboveWhenShown final : public QObject {
public:
    MoveAboveWhenShown(QWidget* dialog, const QPoint& getButtonTopLeft)
        : QObject(dialog), m_dialog(dialog), m_getButtonTopLeft(getButtonTopLeft) {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_dialog && event->type() == QEvent::Paint) {
            m_dialog->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                MoveAbove(m_dialog, m_getButtonTopLeft);
                deleteLater();
            });
        }
        return false;
    }

private:
    QWidget* m_dialog;
    QPoint m_getButtonTopLeft;
};

} // namespace

void frmEditGroups::PlaceAboveGetButton(QWidget* dialog, const QPoint& getButtonTopLeft) {
    MoveAbove(dialog, getButtonTopLeft);
    if (!dialog->isVisible())
        new MoveAboveWhenShown(dialog, getButtonTopLeft);
}

void frmEditGroups::GetGroups() {
    OpenFetchDialog(ui->cmdGet->mapToGlobal(QPoint(0, 0)));
    ui->txtGroups->setFocus();
}

// "Get": the tumblelog fetch dialog just above the button.
void frmEditGroups::OpenFetchDialog(const QPoint& getButtonTopLeft) {
    frmGetGroupsList fetch(ui->txtGroups, this);
    PlaceAboveGetButton(&fetch, getButtonTopLeft);
    fetch.exec();
}
