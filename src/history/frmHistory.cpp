#include "history/frmHistory.h"

#include "app/modCommon.h"

frmHistory::frmHistory(QWidget* parent) : FormBase(Kind::Dialog, parent) {
    setupUi(this);
    LoadFrame();
    setWindowTitle(windowTitle().replace(QStringLiteral("<App>"), MakeWindowTitle(QString())));
    connect(cmdOk, &QPushButton::clicked, this, [this] {
        Ok = true;
        hide();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(lstHistory, &QListWidget::itemDoubleClicked, cmdOk, &QPushButton::click);
}
