#include "TestSupport.h"
#include "app/PasteFileName.h"
#include "app/ProgramVersion.h"
#include "widgets/FormFunctions.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

class tst_modMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pasteFileName_data();
    void pasteFileName();
    void aboutBoxShowsVersion();

private:
    TestHome m_home;
};

void tst_modMain::pasteFileName_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");
    QTest::newRow("existing file with blanks") << "  \t%1/pic.jpg \r\n" << true;
    QTest::newRow("missing file") << "%1/none.jpg" << false;
    QTest::newRow("a folder") << "%1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("ordinary text") << "just words" << false;
}

void tst_modMain::pasteFileName() {
    QFETCH(QString, text);
    QFETCH(bool, taken);
    const QString picture = m_home.Path() + QStringLiteral("/pic.jpg");
    WriteFile(picture, "jpeg");
    if (text.contains(QLatin1String("%1")))
        text = text.arg(m_home.Path());
    QLineEdit box;
    box.setText(QStringLiteral("before"));
    box.setCursorPosition(2);
    QCOMPARE(PasteFileName(text, &box), taken);
    if (taken) {
        QCOMPARE(text, picture); // trimmed in place
        QCOMPARE(box.text(), picture);
        QCOMPARE(box.cursorPosition(), picture.size());
        QVERIFY(!box.hasSelectedText());
    } else {
        QCOMPARE(box.text(), QStringLiteral("before"));
        QCOMPARE(box.cursorPosition(), 2);
    }
}

void tst_modMain::aboutBoxShowsVersion() {
    QWidget window;
    QStringList texts;
    QTimer::singleShot(0, &window, [&texts] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (const QLabel* label : box->findChildren<QLabel*>())
            texts << label->text();
        box->accept();
    });
    FormFunctions::AboutBox(&window, QString(), QStringLiteral("credit"));
    QVERIFY2(texts.join(QLatin1Char('|')).contains(QStringLiteral("Version ") + ProgramVersion()),
             qPrintable(texts.join(QLatin1Char('|'))));
}

QTEST_MAIN(tst_modMain)
#include "tst_modMain.moc"
