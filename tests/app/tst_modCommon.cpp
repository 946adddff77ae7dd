#include "app/modCommon.h"

#include <QtTest>

class tst_modCommon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void urls_data();
    void urls();
    void rejectedPathLeavesBothDiagnosticLines();
    void serverText();
    void windowTitle();
};

void tst_modCommon::urls_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isUrl");
    QTest::newRow("http") << "http://example.com/a.jpg" << true;
    QTest::newRow("https") << "https://example.com/a b.jpg" << true;
    QTest::newRow("scheme with plus") << "svn+ssh://host/x" << true;
    QTest::newRow("crlf after") << "http://example.com/a.jpg\r\n" << false;
    QTest::newRow("tab inside") << "http://exa\tmple.com" << false;
    QTest::newRow("nul inside") << QStringLiteral("http://a") + QChar(0) << false;
    QTest::newRow("file lower") << "file:///home/a.jpg" << false;
    QTest::newRow("file mixed") << "FiLe://host/a.jpg" << false;
    QTest::newRow("drive path") << "C:\\pictures\\a.jpg" << false;
    QTest::newRow("unix path") << "/home/a.jpg" << false;
    QTest::newRow("leading blank") << " http://example.com" << false;
    QTest::newRow("scheme only") << "http:" << false;
    QTest::newRow("digit first") << "1ttp://x" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("word") << "beach" << false;
}

void tst_modCommon::urls() {
    QFETCH(QString, text);
    QFETCH(bool, isUrl);
    QCOMPARE(IsPictureURL(text), isUrl);
}

static QStringList g_debugLines;

void tst_modCommon::rejectedPathLeavesBothDiagnosticLines() {
    QLoggingCategory::setFilterRules(QStringLiteral("marivane.diagnostics=true"));
    g_debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { g_debugLines << text; });
    IsPictureURL(QStringLiteral("C:\\a.jpg"));
    qInstallMessageHandler(previous);
    QCOMPARE(g_debugLines, QStringList({QStringLiteral("IsPictureURL() ==> \"C:\\a.jpg\""),
                                        QStringLiteral("IsPictureURL() ==> PathIsURLW == FALSE")}));
}

void tst_modCommon::serverText() {
    QCOMPARE(DecodeServerText(QString()), QString());
    QCOMPARE(DecodeServerText(QString::fromLatin1("Caf\xc3\xa9 closed")),
             QStringLiteral("Caf\u00e9 closed"));
    QCOMPARE(DecodeServerText(QStringLiteral("<html>\n<body>500</body>")), QString());
    QCOMPARE(DecodeServerText(QStringLiteral("one\rline")), QString());
}

void tst_modCommon::windowTitle() {
    QCOMPARE(MakeWindowTitle(QString()), QStringLiteral("Marivane"));
    QCOMPARE(MakeWindowTitle(QStringLiteral("Batch mode :: 12")),
             QStringLiteral("Marivane :: Batch mode :: 12"));
}

QTEST_GUILESS_MAIN(tst_modCommon)
#include "tst_modCommon.moc"
