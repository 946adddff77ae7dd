#include "creation/frmEditGroups.h"

#include "components/SupportLibrary.h"

#include <QComboBox>

QString GroupsToText(const QComboBox* list) {
    QString text;
    for (int i = 0; i < list->count(); ++i)
        text += zsTrimEx(list->itemText(i)) + QStringLiteral("\r\n");
    return zsTrimCRLF(text);
}

void FillGroupList(const QString& text, QComboBox* list) {
    list->clear();
    for (const QString& piece : text.split(QStringLiteral("\r\n"))) {
        const QString line = zsTrimEx(piece);
        if (!line.isEmpty())
            list->addItem(line);
    }
    if (list->count() > 0)
        list->setCurrentIndex(0);
}

frmEditGroups::frmEditGroups(QWidget* parent) : FormBase(Kind::Dialog, parent) {
    setupUi(this);
    LoadFrame();
    m_groupsHook.SetTextBox(txtGroups);
    m_groupsHook.InitSelectAllHook();
    connect(cmdOk, &QPushButton::clicked, this, [this] {
        Ok = true;
        hide();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(cmdGet, &QPushButton::clicked, this, &frmEditGroups::GetGroups);
}

void frmEditGroups::PlaceAboveGetButton(QWidget* dialog, const QPoint& getButtonTopLeft) {
    dialog->move(getButtonTopLeft.x(), getButtonTopLeft.y() - dialog->frameGeometry().height());
}

void frmEditGroups::GetGroups() {
    OpenFetchDialog(cmdGet->mapToGlobal(QPoint(0, 0)));
    txtGroups->setFocus();
}
