#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

class XMLNode;

// Nodes an XPath query selected.
class XMLNodeList final {
public:
    int Count() const { return static_cast<int>(m_nodes.size()); }
    XMLNode Item(int index) const; // raises ComponentError out of range

private:
    friend class XMLNode;
    std::vector<std::shared_ptr<const pugi::xml_node>> m_nodes;
};

// An element of a parsed document; valid while its document lives.
class XMLNode final {
public:
    // The attribute's value; a missing attribute raises ComponentError.
    QString Attribute(const QString& name) const;
    // XPath query relative to this node; a bad expression raises ComponentError.
    XMLNodeList SelectNodes(const QString& path) const;
    QString NodeText() const;
    QString Name() const;

private:
    friend class XMLDocument;
    friend class XMLNodeList;
    explicit XMLNode(std::shared_ptr<const pugi::xml_node> node) : m_node(std::move(node)) {}
    std::shared_ptr<const pugi::xml_node> m_node;
};

// An XML document parsed with pugixml; queries are real XPath.
class XMLDocument final {
public:
    XMLDocument();
    ~XMLDocument();
    XMLDocument(const XMLDocument&) = delete;
    XMLDocument& operator=(const XMLDocument&) = delete;

    // The text is the document as received, UTF-8 bytes one character per byte.
    bool LoadXML(const QByteArray& text);
    XMLNode DocumentElement() const; // raises ComponentError when nothing is loaded

private:
    std::unique_ptr<pugi::xml_document> m_doc;
};
