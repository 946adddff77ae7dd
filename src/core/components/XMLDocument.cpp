#include "components/XMLDocument.h"

#include "components/ComponentError.h"

#include <pugixml.hpp>

namespace {

[[noreturn]] void XmlFail(const QString& what) {
    throw ComponentError(ErrorNumber::Xml, what);
}

} // namespace

XMLNode XMLNodeList::Item(int index) const {
    if (index < 0 || index >= Count())
        throw ComponentError(ErrorNumber::IndexRange, QStringLiteral("Node index out of range."));
    return XMLNode(m_nodes[static_cast<size_t>(index)]);
}

QString XMLNode::Attribute(const QString& name) const {
    const pugi::xml_attribute attribute = m_node->attribute(name.toUtf8().constData());
    if (!attribute)
        XmlFail(QStringLiteral("Attribute \"") + name + QStringLiteral("\" is missing."));
    // Values stay as the service's bytes, one character per byte; callers decode what they show.
    return QString::fromLatin1(attribute.value());
}

XMLNodeList XMLNode::SelectNodes(const QString& path) const {
    XMLNodeList list;
    try {
        const pugi::xpath_node_set found = m_node->select_nodes(path.toUtf8().constData());
        for (const pugi::xpath_node& hit : found) {
            if (hit.node())
                list.m_nodes.push_back(std::make_shared<const pugi::xml_node>(hit.node()));
        }
    } catch (const pugi::xpath_exception& e) {
        XmlFail(QString::fromUtf8(e.what()));
    }
    return list;
}

QString XMLNode::NodeText() const {
    return QString::fromLatin1(m_node->child_value());
}
QString XMLNode::Name() const {
    return QString::fromLatin1(m_node->name());
}

XMLDocument::XMLDocument() : m_doc(std::make_unique<pugi::xml_document>()) {}
XMLDocument::~XMLDocument() = default;

bool XMLDocument::LoadXML(const QByteArray& text) {
    const pugi::xml_parse_result result =
        m_doc->load_buffer(text.constData(), static_cast<size_t>(text.size()), pugi::parse_default,
                           pugi::encoding_utf8);
    return static_cast<bool>(result) && m_doc->document_element();
}

XMLNode XMLDocument::DocumentElement() const {
    const pugi::xml_node root = m_doc->document_element();
    if (!root)
        XmlFail(QStringLiteral("The document is empty."));
    return XMLNode(std::make_shared<const pugi::xml_node>(root));
}
