#include "components/modPasswordCryptor.h"

#include <QtTest>

class tst_modPasswordCryptor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void layoutIsReversedComplement();
    void randomDigitsCarryNothing();
    void invalidFormsRestoreToEmpty_data();
    void invalidFormsRestoreToEmpty();
    void unrepresentableIsNotStored();
};

void tst_modPasswordCryptor::roundTrip_data() {
    QTest::addColumn<QString>("password");
    QTest::newRow("empty") << "";
    QTest::newRow("ascii") << "s3cr3t!";
    QTest::newRow("latin1") << QStringLiteral("p\u00e4ss\u00ff\u00a0");
    QTest::newRow("control") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
}

void tst_modPasswordCryptor::roundTrip() {
    QFETCH(QString, password);
    const QString scrambled = EncryptPassword(password);
    QCOMPARE(scrambled.size(), password.size() * 4);
    QCOMPARE(DecryptPassword(scrambled), password);
    QCOMPARE(DecryptPassword(scrambled.toLower()), password);
}

void tst_modPasswordCryptor::layoutIsReversedComplement() {
    const QString scrambled = EncryptPassword(QStringLiteral("AB"));
    // Last character first: 255 - 'B' = 0xBD, then 255 - 'A' = 0xBE.
    QCOMPARE(scrambled.mid(0, 2), QStringLiteral("BD"));
    QCOMPARE(scrambled.mid(4, 2), QStringLiteral("BE"));
}

void tst_modPasswordCryptor::randomDigitsCarryNothing() {
    QCOMPARE(DecryptPassword(QStringLiteral("BD00BE00")), QStringLiteral("AB"));
    QCOMPARE(DecryptPassword(QStringLiteral("BDffBEzz")), QStringLiteral("AB"));
    QSet<QString> seen;
    for (int i = 0; i < 20; ++i)
        seen.insert(EncryptPassword(QStringLiteral("same password")));
    QVERIFY(seen.size() > 1);
}

void tst_modPasswordCryptor::invalidFormsRestoreToEmpty_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("one digit too many") << "BD00B";
    QTest::newRow("one digit too few") << "BD0";
    QTest::newRow("non-hex pair") << "BD00XY00";
    QTest::newRow("sign") << "+F00";
    QTest::newRow("blank") << " F00";
    QTest::newRow("non-ascii digits") << QStringLiteral("\u0661\u066200");
}

void tst_modPasswordCryptor::invalidFormsRestoreToEmpty() {
    QFETCH(QString, text);
    QCOMPARE(DecryptPassword(text), QString());
}

void tst_modPasswordCryptor::unrepresentableIsNotStored() {
    QCOMPARE(EncryptPassword(QStringLiteral("pass\u20ac")), QString());
    QCOMPARE(EncryptPassword(QStringLiteral("\U0001F600")), QString());
}

QTEST_GUILESS_MAIN(tst_modPasswordCryptor)
#include "tst_modPasswordCryptor.moc"
