#pragma once

#include "TestSupport.h"
#include "app/ToolbarCompanion.h"
#include "creation/frmCreator.h"
#include "creation/frmEditGroups.h"
#include "history/frmHistory.h"
#include "service/frmLinks.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

struct WindowSeen {
    QString name;
    qint32 handle = 0;
};

// Opens the creator, then from it the links window, the groups editor and the history
// pick dialog, one after the other, and closes each as a user would (Esc or Cancel).
// Returns each window's companion handle in the order opened (the creator first).
inline QList<WindowSeen> OpenAndCloseEveryWindow() {
    QList<WindowSeen> seen;
    auto creator = std::make_unique<frmCreator>();
    seen.append({QStringLiteral("frmCreator"), ToolBarHandle(creator.get())});
    creator->show();
    if (!QTest::qWaitForWindowExposed(creator.get()))
        return {};

    auto closeModal = [&seen](const QString& name) {
        QTimer::singleShot(0, [&seen, name] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window)
                return;
            seen.append({name, ToolBarHandle(window)});
            QTest::keyClick(window, Qt::Key_Escape);
        });
    };
    closeModal(QStringLiteral("frmLinks"));
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdLinks"), Qt::LeftButton);
    closeModal(QStringLiteral("frmEditGroups"));
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdEditGroups"), Qt::LeftButton);
    creator->History().Add(QStringLiteral("a caption"));
    closeModal(QStringLiteral("frmHistory"));
    QTest::mouseClick(Control<QPushButton>(*creator, "cmdHistory"), Qt::LeftButton);

    auto* txtCaption = Control<QPlainTextEdit>(*creator, "txtCaption");
    txtCaption->setFocus();
    QTest::keyClick(txtCaption, Qt::Key_Escape);
    if (creator->isVisible() || !creator->Unloaded())
        return {};
    return seen;
}
