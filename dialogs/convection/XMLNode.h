#pragma once
// The small XML document model used for the coefficient library list: elements with
// attributes, text, a strict subset of XML for parsing, slash paths for selection.
//
// Operations answer whether they succeeded; nodes and lists come back as new objects owned
// by the caller (handles to the shared tree: a handle keeps its node alive, not its tree).

#include <memory>

#include "platform/win/CString.h"

class XMLNodeCollection;
class XMLNamedNodeMap;

class XMLNode {
public:
    virtual ~XMLNode() = default;

    // Appends child as the last child of this node, moving it from any former parent. Fails
    // for text nodes, for a child that is a document or an ancestor of this node, and for
    // a second element or any text directly under a document.
    virtual bool AppendChild(XMLNode& child) = 0;
    // The attributes of an element (fails for documents and text nodes).
    virtual bool GetAttributes(std::unique_ptr<XMLNamedNodeMap>* attributes) = 0;
    // The element name; fails for nodes without one (documents, text nodes).
    virtual bool GetNodeName(CString* name) const = 0;
    // The value of a text node; fails for other nodes.
    virtual bool GetNodeValue(CString* value) const = 0;
    // The values of all text nodes below this node, in document order, joined.
    virtual bool GetText(CString* text) const = 0;
    // The node and its subtree as text; a document ends with "\r\n".
    virtual bool Serialize(CString* xml) const = 0;
    // Parses text into this document, replacing what it held; on failure the document is
    // empty. Fails on nodes other than documents.
    virtual bool Load(const CString& text) = 0;
    // Nodes on a slash path ("/root/child", "child/*"); a leading "/" starts at the
    // document. Names match without regard to case; "*" takes every child and ends the path.
    virtual bool SelectNodes(const CString& path, std::unique_ptr<XMLNodeCollection>* nodes) const = 0;
    // The first node of SelectNodes; fails when there is none.
    virtual bool SelectSingleNode(const CString& path, std::unique_ptr<XMLNode>* node) const = 0;
    // Sets the value of a text node; fails for other nodes.
    virtual bool SetNodeValue(const CString& value) = 0;

    // A new element of this node's document, not yet attached. Fails for names that are
    // empty or hold white space or any of < > / = & ' ".
    virtual bool CreateElement(const CString& name, std::unique_ptr<XMLNode>* element) = 0;
    virtual bool CreateTextNode(const CString& value, std::unique_ptr<XMLNode>* text) = 0;
    // The document the node belongs to (a document is its own).
    virtual bool GetOwnerDocument(std::unique_ptr<XMLNode>* document) const = 0;
    virtual bool GetParentNode(std::unique_ptr<XMLNode>* parent) const = 0;
    virtual bool GetFirstChild(std::unique_ptr<XMLNode>* child) const = 0;
    virtual bool GetNextSibling(std::unique_ptr<XMLNode>* sibling) const = 0;
    virtual bool GetChildNodes(std::unique_ptr<XMLNodeCollection>* children) const = 0;
    virtual bool IsTextNode() const = 0;
    // Detaches a child of this node (it lives on while a handle holds it).
    virtual bool RemoveChild(XMLNode& child) = 0;
};

class XMLNodeCollection {
public:
    virtual ~XMLNodeCollection() = default;
    virtual long GetLength() const = 0;
    // The next node of the list; fails at the end.
    virtual bool NextNode(std::unique_ptr<XMLNode>* node) = 0;
};

// The attributes of an element. Each attribute is a node whose name is the attribute name
// and whose text is its value.
class XMLNamedNodeMap {
public:
    virtual ~XMLNamedNodeMap() = default;
    virtual long GetItemCount() const = 0;
    // The attribute of that name, compared without regard to case.
    virtual bool GetNamedItem(const CString& name, std::unique_ptr<XMLNode>* item) const = 0;
    // Adds an attribute node (an element of the same document), replacing one of the same
    // name.
    virtual bool AddItem(XMLNode& item) = 0;
};
