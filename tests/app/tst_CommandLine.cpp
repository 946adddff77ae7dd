#include "TestSupport.h"
#include "app/ProgramVersion.h"

#include <QProcess>
#include <QtTest>

// The real program's answers to its arguments, given before any display is opened.
class tst_CommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answers_data();
    void answers();
    void helpListsTheOptions();
};

void tst_CommandLine::answers_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("errLines");
    const QString version = QStringLiteral("marivane ") + ProgramVersion() + QLatin1Char('\n');
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0 << version << 0;
    QTest::newRow("unknown") << QStringList{QStringLiteral("--send-all")} << 2 << QString() << 1;
    QTest::newRow("unknown after a known one")
        << QStringList{QStringLiteral("-x"), QStringLiteral("--version")} << 2 << QString() << 1;
    QTest::newRow("--quiet without --send")
        << QStringList{QStringLiteral("--quiet")} << 2 << QString() << 1;
    QTest::newRow("a bare word") << QStringList{QStringLiteral("picture.jpg")} << 2 << QString()
                                 << 1;
}

void tst_CommandLine::answers() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(int, errLines);
    QProcess program;
    // No display: these answers must not need one.
    program.setProcessEnvironment(WithoutDisplay());
    program.start(QStringLiteral(MARIVANE_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), out);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(err.count(QLatin1Char('\n')), errLines);
    if (errLines > 0)
        QVERIFY2(err.startsWith(QStringLiteral("marivane: ")) && err.contains(arguments.first()),
                 qPrintable(err));
}

void tst_CommandLine::helpListsTheOptions() {
    QProcess program;
    program.setProcessEnvironment(WithoutDisplay());
    program.start(QStringLiteral(MARIVANE_PROGRAM), {QStringLiteral("--help")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    const QString usage = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(usage.startsWith(QStringLiteral("Usage: marivane [--help | --version | --send "
                                             "[--quiet] [--resend-unanswered]]\n")),
             qPrintable(usage));
    for (const char* option :
         {"  --send ", "  --quiet ", "  --resend-unanswered ", "Exit status of --send: 0 "})
        QVERIFY2(usage.contains(QLatin1String(option)), option);
    QVERIFY(program.readAllStandardError().isEmpty());
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
