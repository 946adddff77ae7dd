#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A request body kept as pieces; the pieces share the values' storage, so a large
// picture is never copied on its way to the socket.
struct HTTPFormBody {
    QList<QByteArray> Chunks;
};

// The fields of a form, sent as multipart/form-data in the order they were added.
class HTTPFormFields final {
public:
    // A text value goes out one byte per character (ISO-8859-1); callers convert
    // the fields that are to arrive as UTF-8 beforehand (zsUNICODEToUTF8).
    void AddField(const QString& name, const QString& value);
    // Bytes go out unchanged; the array is shared, not copied.
    void AddField(const QString& name, const QByteArray& value);
    // Bytes with their own content type, and a file name when one is given.
    void AddPart(const QString& name, const QByteArray& value, const QByteArray& contentType,
                 const QString& fileName = {});

    // The content type with its boundary (once FormText1).
    QByteArray ContentType() const;
    // The body (once FormText2).
    HTTPFormBody Body() const;

private:
    struct Field {
        QByteArray Name;
        QByteArray Value;
        QByteArray ContentType; // empty: a plain text field
        QByteArray FileName;
    };
    const QByteArray& Boundary() const;

    QList<Field> m_fields;
    mutable QByteArray m_boundary;
};
