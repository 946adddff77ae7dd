#include "components/HTTPFormFields.h"

#include <QtTest>

// The wire form of a request body: the classic upload's fields must keep their form
// byte for byte, beside the parts with their own content type.
class tst_HTTPFormFields : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wireForm() {
        HTTPFormFields fields;
        fields.AddField(QStringLiteral("email"), QStringLiteral("j\u00e9@x"));
        fields.AddField(QStringLiteral("data"), QByteArray("\x00\xff", 2));
        fields.AddPart(QStringLiteral("json"), "{}", "application/json");
        fields.AddPart(QStringLiteral("picture"), "PNG", "image/png",
                       QStringLiteral("picture.png"));
        const QByteArray type = fields.ContentType();
        QVERIFY(type.startsWith("multipart/form-data; boundary=----MarivaneFormBoundary"));
        const QByteArray delimiter = "--" + type.mid(type.indexOf('=') + 1);
        const QByteArray expected =
            delimiter + "\r\nContent-Disposition: form-data; name=\"email\"\r\n\r\nj\xe9@x\r\n" +
            delimiter +
            "\r\nContent-Disposition: form-data; name=\"data\"; filename=\"data\"\r\n"
            "Content-Type: application/octet-stream\r\n\r\n" +
            QByteArray("\x00\xff", 2) + "\r\n" + delimiter +
            "\r\nContent-Disposition: form-data; name=\"json\"\r\n"
            "Content-Type: application/json\r\n\r\n{}\r\n" +
            delimiter +
            "\r\nContent-Disposition: form-data; name=\"picture\"; filename=\"picture.png\"\r\n"
            "Content-Type: image/png\r\n\r\nPNG\r\n" +
            delimiter + "--\r\n";
        QCOMPARE(fields.Body().Chunks.join(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_HTTPFormFields)
#include "tst_HTTPFormFields.moc"
