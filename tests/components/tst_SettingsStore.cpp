#include "TestSupport.h"
#include "components/ComponentError.h"
#include "components/SettingsStore.h"

#include <QFileInfo>
#include <QtTest>

class tst_SettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTripAllKinds();
    void defaultsWhenMissing();
    void wrongValueRaises();
    void batchedSavesWaitForCommit();
    void fileIsPrivate();
    void randomBytesFileStillStarts();

private:
    TestHome m_home;
};

void tst_SettingsStore::roundTripAllKinds() {
    {
        SettingsStore store;
        store.SaveText(QStringLiteral("Last Caption"), QStringLiteral("line 1\r\nline, 2 \u00e9"));
        store.SaveLong(QStringLiteral("Group Index"), -1);
        store.SaveBool(QStringLiteral("Quick Mode"), true);
        store.SaveBytes(QStringLiteral("Window placement"), QByteArray("\x00\x01\xff", 3));
    }
    SettingsStore store;
    QCOMPARE(store.GetText(QStringLiteral("Last Caption")),
             QStringLiteral("line 1\r\nline, 2 \u00e9"));
    QCOMPARE(store.GetLong(QStringLiteral("Group Index"), 5), -1);
    QCOMPARE(store.GetBool(QStringLiteral("Quick Mode"), false), true);
    QCOMPARE(store.GetBytes(QStringLiteral("Window placement")), QByteArray("\x00\x01\xff", 3));
    QVERIFY(SettingsStore::FileName().startsWith(m_home.Path()));
}

void tst_SettingsStore::defaultsWhenMissing() {
    SettingsStore store;
    QCOMPARE(store.GetText(QStringLiteral("Nothing"), QStringLiteral("d")), QStringLiteral("d"));
    QCOMPARE(store.GetLong(QStringLiteral("Nothing"), 7), 7);
    QCOMPARE(store.GetBool(QStringLiteral("Nothing"), true), true);
    QVERIFY(store.GetBytes(QStringLiteral("Nothing")).isEmpty());
}

void tst_SettingsStore::wrongValueRaises() {
    SettingsStore store;
    store.SaveText(QStringLiteral("Bad"), QStringLiteral("not a number"));
    QVERIFY_THROWS_EXCEPTION(ComponentError, store.GetLong(QStringLiteral("Bad"), 0));
    QVERIFY_THROWS_EXCEPTION(ComponentError, store.GetBool(QStringLiteral("Bad"), false));
    QCOMPARE(store.GetText(QStringLiteral("Bad")), QStringLiteral("not a number"));
    // The lenient reads take the default instead.
    QCOMPARE(store.ReadLong(QStringLiteral("Bad"), 4), 4);
    QCOMPARE(store.ReadBool(QStringLiteral("Bad"), true), true);
}

void tst_SettingsStore::batchedSavesWaitForCommit() {
    // Named first: opening another store would write the staged values too.
    const QString file = SettingsStore::FileName();
    QFile::remove(file);
    {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        store.SaveText(QStringLiteral("E-Mail"), QStringLiteral("me@example.org"));
        store.SaveLong(QStringLiteral("Group Index"), 2);
        QVERIFY(!QFile::exists(file));
        store.Commit();
        QCOMPARE(SettingsStore().GetLong(QStringLiteral("Group Index"), 0), 2);
        // A store left without a Commit still keeps its last values.
        store.SaveLong(QStringLiteral("Group Index"), 3);
    }
    QCOMPARE(SettingsStore().GetLong(QStringLiteral("Group Index"), 0), 3);
}

void tst_SettingsStore::fileIsPrivate() {
    SettingsStore store;
    store.SaveText(QStringLiteral("Password"), QStringLiteral("AB12"));
    const QFileInfo file(SettingsStore::FileName());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    QVERIFY(!(file.permissions() & others));
    QVERIFY(!(QFileInfo(file.absolutePath()).permissions() & others));
}

void tst_SettingsStore::randomBytesFileStillStarts() {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919) % 251));
    WriteFile(SettingsStore::FileName(), junk);
    SettingsStore store;
    // Reading survives; a value may be lost or unreadable, but nothing crashes.
    try {
        store.GetLong(QStringLiteral("Group Index"), 0);
        store.GetText(QStringLiteral("Last Caption"));
    } catch (const ComponentError&) {
    }
    store.SaveText(QStringLiteral("Last Caption"), QStringLiteral("fresh"));
    QCOMPARE(SettingsStore().GetText(QStringLiteral("Last Caption")), QStringLiteral("fresh"));
}

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
