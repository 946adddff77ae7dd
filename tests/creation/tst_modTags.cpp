#include "creation/modTags.h"

#include <QtTest>

class tst_modTags : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanTagText_data();
    void cleanTagText();
    void tagsFromCaption_data();
    void tagsFromCaption();
};

void tst_modTags::cleanTagText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cleaned");
    QTest::newRow("hash and quotes go") << "#a \"b\" ##"
                                        << "a b ";
    QTest::newRow("separators become dashes") << "a|b\\c/d"
                                              << "a-b-c-d";
    QTest::newRow("letter case and commas kept") << "Sun, Sea"
                                                 << "Sun, Sea";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_modTags::cleanTagText() {
    QFETCH(QString, text);
    QFETCH(QString, cleaned);
    QCOMPARE(CleanTagText(text), cleaned);
}

void tst_modTags::tagsFromCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tags");
    QTest::newRow("commas quote the whole text") << "Sun, sea/sand #beach \"best\"\r\nsecond line"
                                                 << "\"Sun, sea-sand beach best\"";
    QTest::newRow("no comma, no quotes") << "a|b\\c"
                                         << "a-b-c";
    QTest::newRow("only the first line") << "first\r\nsecond, third"
                                         << "first";
    QTest::newRow("lone line feed ends the line too") << "one\ntwo"
                                                      << "one";
    QTest::newRow("empty caption") << ""
                                   << "";
    QTest::newRow("empty first line") << "\r\nlater"
                                      << "";
}

void tst_modTags::tagsFromCaption() {
    QFETCH(QString, caption);
    QFETCH(QString, tags);
    QCOMPARE(TagsFromCaption(caption), tags);
}

QTEST_GUILESS_MAIN(tst_modTags)
#include "tst_modTags.moc"
