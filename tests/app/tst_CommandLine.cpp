#include "app/ProgramVersion.h"

#include <QProcess>
#include <QtTest>

// The real program's answers to its arguments, given before any display is opened.
class tst_CommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answers_data();
    void answers();
};

void tst_CommandLine::answers_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("errLines");
    const QString version = QStringLiteral("marivane ") + ProgramVersion() + QLatin1Char('\n');
    const QString usage = QStringLiteral(
        "Usage: marivane [--help | --version]\n"
        "Opens the window that prepares picture posts; --version prints the version.\n");
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0 << version << 0;
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << usage << 0;
    QTest::newRow("unknown") << QStringList{QStringLiteral("--send-all")} << 2 << QString() << 1;
    QTest::newRow("unknown after a known one")
        << QStringList{QStringLiteral("-x"), QStringLiteral("--version")} << 2 << QString() << 1;
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
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
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

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
