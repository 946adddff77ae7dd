#include "components/HTTPFormFields.h"

#include <QRandomGenerator>

namespace {

QByteArray QuotedName(const QByteArray& name) {
    QByteArray quoted = name;
    quoted.replace('\\', "\\\\").replace('"', "\\\"").replace('\r', "").replace('\n', "");
    return '"' + quoted + '"';
}

} // namespace

void HTTPFormFields::AddField(const QString& name, const QString& value) {
    m_fields.append({name.toLatin1(), value.toLatin1(), {}, {}});
    m_boundary.clear();
}

void HTTPFormFields::AddField(const QString& name, const QByteArray& value) {
    m_fields.append({name.toLatin1(), value, "application/octet-stream", name.toLatin1()});
    m_boundary.clear();
}

void HTTPFormFields::AddPart(const QString& name, const QByteArray& value,
                             const QByteArray& contentType, const QString& fileName) {
    m_fields.append({name.toLatin1(), value, contentType, fileName.toUtf8()});
    m_boundary.clear();
}

const QByteArray& HTTPFormFields::Boundary() const {
    // A boundary must not occur inside any value, or the service would cut the field short.
    while (m_boundary.isEmpty()) {
        QByteArray candidate = "----MarivaneFormBoundary";
        for (int i = 0; i < 4; ++i)
            candidate += QByteArray::number(QRandomGenerator::global()->generate(), 16);
        bool clash = false;
        for (const Field& field : m_fields)
            clash = clash || field.Value.contains(candidate);
        if (!clash)
            m_boundary = candidate;
    }
    return m_boundary;
}

QByteArray HTTPFormFields::ContentType() const {
    return "multipart/form-data; boundary=" + Boundary();
}

HTTPFormBody HTTPFormFields::Body() const {
    const QByteArray delimiter = "--" + Boundary();
    HTTPFormBody body;
    for (const Field& field : m_fields) {
        QByteArray head =
            delimiter + "\r\nContent-Disposition: form-data; name=" + QuotedName(field.Name);
        if (!field.FileName.isEmpty())
            head += "; filename=" + QuotedName(field.FileName);
        if (!field.ContentType.isEmpty())
            head += "\r\nContent-Type: " + field.ContentType;
        head += "\r\n\r\n";
        body.Chunks.append(head);
        body.Chunks.append(field.Value);
        body.Chunks.append(QByteArrayLiteral("\r\n"));
    }
    body.Chunks.append(delimiter + "--\r\n");
    return body;
}
