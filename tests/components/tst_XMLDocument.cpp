#include "components/ComponentError.h"
#include "components/XMLDocument.h"

#include <QtTest>

class tst_XMLDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void xpathSelectsInDocumentOrder();
    void missingAttributeRaises();
    void brokenTextFails();
};

void tst_XMLDocument::xpathSelectsInDocumentOrder() {
    XMLDocument doc;
    QVERIFY(doc.LoadXML("<?xml version=\"1.0\"?><tumblr><user/><tumblelog title=\"A\"/>"
                        "<x><tumblelog title=\"nested\"/></x><tumblelog title=\"B\"/></tumblr>"));
    const XMLNodeList list = doc.DocumentElement().SelectNodes(QStringLiteral("/tumblr/tumblelog"));
    QCOMPARE(list.Count(), 2);
    QCOMPARE(list.Item(0).Attribute(QStringLiteral("title")), QStringLiteral("A"));
    QCOMPARE(list.Item(1).Attribute(QStringLiteral("title")), QStringLiteral("B"));
    QVERIFY_THROWS_EXCEPTION(ComponentError, list.Item(2));
    QCOMPARE(doc.DocumentElement().SelectNodes(QStringLiteral("//tumblelog")).Count(), 3);
    QVERIFY_THROWS_EXCEPTION(ComponentError,
                             doc.DocumentElement().SelectNodes(QStringLiteral("/[")));
}

void tst_XMLDocument::missingAttributeRaises() {
    XMLDocument doc;
    // Attribute values stay as the UTF-8 bytes received.
    QVERIFY(doc.LoadXML("<t a=\"\xc3\xa9\"/>"));
    QCOMPARE(doc.DocumentElement().Attribute(QStringLiteral("a")), QStringLiteral("\u00c3\u00a9"));
    QVERIFY_THROWS_EXCEPTION(ComponentError, doc.DocumentElement().Attribute(QStringLiteral("b")));
}

void tst_XMLDocument::brokenTextFails() {
    XMLDocument doc;
    QVERIFY(!doc.LoadXML("<tumblr><tumblelog></tumblr>"));
    QVERIFY(!doc.LoadXML(""));
    QVERIFY(!doc.LoadXML("Bad password"));
    QVERIFY_THROWS_EXCEPTION(ComponentError, doc.DocumentElement());
}

QTEST_GUILESS_MAIN(tst_XMLDocument)
#include "tst_XMLDocument.moc"
