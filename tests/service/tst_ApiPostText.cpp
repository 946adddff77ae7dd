#include "service/NpfText.h"
#include "service/PublishTime.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QByteArray Compact(const QJsonArray& blocks) {
    return QJsonDocument(blocks).toJson(QJsonDocument::Compact);
}

qsizetype CodePoints(const QString& text) {
    return text.toUcs4().size();
}

QString Joined(const QJsonArray& blocks) {
    QString text;
    for (const QJsonValue& block : blocks)
        text += block["text"].toString();
    return text;
}

} // namespace

class tst_ApiPostText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textBlocks_data();
    void textBlocks();
    void longLineCutAfterBlank();
    void longLineWithoutBlanks();
    void linksBeyondLimit();
    void tags_data();
    void tags();
    void publishTime_data();
    void publishTime();
};

void tst_ApiPostText::textBlocks_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("json");
    QTest::newRow("lines") << "one\r\ntwo\n\nthree\rfour\r\n \t\n"
                           << R"([{"type":"text","text":"one"},{"type":"text","text":"two"},
            {"type":"text","text":"three"},{"type":"text","text":"four"}])";
    QTest::newRow("blanks kept") << "  a  b "
                                 << R"([{"type":"text","text":"  a  b "}])";
    QTest::newRow("nested") << "<b>bold <I class=x>both</i></B> <em>it</em>"
                            << R"([{"type":"text","text":"bold both it","formatting":[
            {"start":0,"end":9,"type":"bold"},{"start":5,"end":9,"type":"italic"},
            {"start":10,"end":12,"type":"italic"}]}])";
    QTest::newRow("same type combined")
        << "<b>a<strong>b</b>c</strong><b>d</b>"
        << R"([{"type":"text","text":"abcd","formatting":[{"start":0,"end":4,"type":"bold"}]}])";
    QTest::newRow("stray close, unclosed open") << "</b>a<i>b\nc"
                                                << R"([{"type":"text","text":"ab","formatting":[
            {"start":1,"end":2,"type":"italic"}]},
            {"type":"text","text":"c","formatting":[{"start":0,"end":1,"type":"italic"}]}])";
    QTest::newRow("links") << "see <a href=\"https://a.example/?x=1&amp;y=2\">here</a>, "
                              "<A title='t>' HREF='http://b.example'>b</A> "
                              "<a href=http://c.example/>c</a> <a name=n>d</a>"
                           << R"([{"type":"text","text":"see here, b c d","formatting":[
            {"start":4,"end":8,"type":"link","url":"https://a.example/?x=1&y=2"},
            {"start":10,"end":11,"type":"link","url":"http://b.example"},
            {"start":12,"end":13,"type":"link","url":"http://c.example/"}]}])";
    QTest::newRow("bold across line break") << "<b>one\r\ntwo</b> three"
                                            << R"([
            {"type":"text","text":"one","formatting":[{"start":0,"end":3,"type":"bold"}]},
            {"type":"text","text":"two three","formatting":[{"start":0,"end":3,"type":"bold"}]}])";
    QTest::newRow("italic across br") << "<i>a<br>b<BR/>c</i>d<br />e"
                                      << R"([
            {"type":"text","text":"a","formatting":[{"start":0,"end":1,"type":"italic"}]},
            {"type":"text","text":"b","formatting":[{"start":0,"end":1,"type":"italic"}]},
            {"type":"text","text":"cd","formatting":[{"start":0,"end":1,"type":"italic"}]},
            {"type":"text","text":"e"}])";
    QTest::newRow("paragraphs") << "<p>first</p><P class=\"x\">second</p>\n<p></p>third"
                                << R"([{"type":"text","text":"first"},
            {"type":"text","text":"second"},{"type":"text","text":"third"}])";
    QTest::newRow("unknown tags") << "<span style=\"a:b\">a</span><div class=x>b</div>"
                                     "<img src=\"p.png\" /><u>c</u>"
                                  << R"([{"type":"text","text":"abc"}])";
    QTest::newRow("comment") << "a<!-- <b>no</b>\nline -->b\n<!-- -->"
                             << R"([{"type":"text","text":"ab"}])";
    QTest::newRow("angles as text")
        << "a < b <3 </ 1 <2> x <b no end"
        << R"([{"type":"text","text":"a < b <3 </ 1 <2> x <b no end"}])";
    QTest::newRow("entities")
        << "&lt;b&gt;&amp;&quot;&apos;&#39;&nbsp;&#65;&#x1F600;&#0;&#xD800;&#1114112;&foo; & &amp"
        << R"([{"type":"text","text":"<b>&\"''\u00a0A😀&#0;&#xD800;&#1114112;&foo; & &amp"}])";
    QTest::newRow("nbsp-only line") << "a\n&nbsp; \nb"
                                    << R"([{"type":"text","text":"a"},{"type":"text","text":"b"}])";
    QTest::newRow("emoji before bold")
        << "😀 <b>hi</b>"
        << R"([{"type":"text","text":"😀 hi","formatting":[{"start":2,"end":4,"type":"bold"}]}])";
}

void tst_ApiPostText::textBlocks() {
    QFETCH(QString, caption);
    QFETCH(QString, json);
    const QJsonDocument expected = QJsonDocument::fromJson(json.toUtf8());
    QVERIFY(expected.isArray());
    QCOMPARE(Compact(NpfTextBlocks(caption)), Compact(expected.array()));
}

void tst_ApiPostText::longLineCutAfterBlank() {
    // Words of 7 letters and a blank: a blank run ends exactly at the limit.
    const QString line = QStringLiteral("abcdefg ").repeated(625);
    QCOMPARE(line.size(), 5000);
    const QJsonArray blocks = NpfTextBlocks(line);
    QCOMPARE(blocks.size(), 2);
    QCOMPARE(Joined(blocks), line);
    QCOMPARE(blocks[0]["text"].toString().size(), kNpfTextBlockLimit);

    // Shift by one: the last fitting cut is one word earlier.
    const QString shifted = QLatin1Char('x') + line.chopped(1);
    const QJsonArray shiftedBlocks =
        NpfTextBlocks(QStringLiteral("<b>") + shifted + QStringLiteral("</b>"));
    QCOMPARE(shiftedBlocks.size(), 2);
    QCOMPARE(Joined(shiftedBlocks), shifted);
    const QString first = shiftedBlocks[0]["text"].toString();
    QCOMPARE(first.size(), kNpfTextBlockLimit - 7);
    QVERIFY(first.endsWith(QLatin1Char(' ')));
    for (const QJsonValue& block : shiftedBlocks) {
        const QString text = block["text"].toString();
        QVERIFY(CodePoints(text) <= kNpfTextBlockLimit);
        QCOMPARE(block["formatting"].toArray(),
                 (QJsonArray{QJsonObject{{"start", 0}, {"end", text.size()}, {"type", "bold"}}}));
    }
}

void tst_ApiPostText::longLineWithoutBlanks() {
    const QString emoji = QStringLiteral("😀");
    // The 4096th code point is the first emoji: the cut follows it, not the 4096th UTF-16 unit.
    const QString line =
        QString(4095, QLatin1Char('x')) + emoji + emoji + QString(903, QLatin1Char('y'));
    const QJsonArray blocks = NpfTextBlocks(QStringLiteral("<i>") + line);
    QCOMPARE(blocks.size(), 2);
    QCOMPARE(Joined(blocks), line);
    const QString first = blocks[0]["text"].toString();
    QCOMPARE(CodePoints(first), kNpfTextBlockLimit);
    QVERIFY(first.endsWith(emoji));
    QVERIFY(blocks[1]["text"].toString().startsWith(emoji));
    QCOMPARE(blocks[1]["formatting"].toArray(),
             (QJsonArray{QJsonObject{{"start", 0}, {"end", 904}, {"type", "italic"}}}));
}

void tst_ApiPostText::linksBeyondLimit() {
    const QJsonArray blocks = NpfTextBlocks(QStringLiteral("<a href=u>x</a>\n").repeated(101));
    QCOMPARE(blocks.size(), 101);
    QVERIFY(blocks[99].toObject().contains("formatting"));
    QCOMPARE(blocks[100].toObject(), (QJsonObject{{"type", "text"}, {"text", "x"}}));
}

void tst_ApiPostText::tags_data() {
    QTest::addColumn<QString>("tags");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quoted comma") << "sea, \"Hello, world\", sun"
                                  << "sea,Hello world,sun";
    QTest::newRow("blanks and empties") << " a b ,, \"\" ,c , "
                                        << "a b,c";
    QTest::newRow("quoted blanks collapse") << "\" Hello ,  world \""
                                            << "Hello world";
    QTest::newRow("unbalanced quote") << "\"a, b"
                                      << "\"a,b";
    QTest::newRow("quote pairs left to right") << "\"a\", \"b, c"
                                               << "a,\"b,c";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_ApiPostText::tags() {
    QFETCH(QString, tags);
    QFETCH(QString, expected);
    QCOMPARE(NpfTags(tags), expected);
}

void tst_ApiPostText::publishTime_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent"); // empty: refused
    QTest::newRow("with offset") << "2030-05-01T10:00:00+02:00"
                                 << "2030-05-01T10:00:00+02:00";
    QTest::newRow("utc, minutes only") << "2030-05-01T10:00Z"
                                       << "2030-05-01T10:00:00+00:00";
    QTest::newRow("blank, seconds, compact offset") << "2030-05-01 10:00:30 -0530"
                                                    << "2030-05-01T10:00:30-05:30";
    QTest::newRow("fraction dropped") << "2030-05-01T10:00:00.250Z"
                                      << "2030-05-01T10:00:00+00:00";
    QTest::newRow("empty") << "  "
                           << "";
    QTest::newRow("no time") << "2030-05-01"
                             << "";
    QTest::newRow("no such day") << "2030-02-30 10:00"
                                 << "";
    QTest::newRow("no such offset") << "2030-05-01 10:00+25:00"
                                    << "";
    QTest::newRow("passed") << "2001-05-01 10:00Z"
                            << "";
}

void tst_ApiPostText::publishTime() {
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    const PublishTime time = ReadPublishTime(typed);
    QCOMPARE(time.Rfc3339, sent);
    QCOMPARE(time.Problem.isEmpty(), !sent.isEmpty());
    // Whatever was wrong, the message names the forms that are read.
    if (!sent.isEmpty())
        return;
    QVERIFY2(time.Problem.contains(QStringLiteral("2030-05-01 10:00")), qPrintable(time.Problem));
}

QTEST_GUILESS_MAIN(tst_ApiPostText)
#include "tst_ApiPostText.moc"
