#pragma once
// Implementation of the XML document model: MyXMLNode is a handle to shared node data.

#include <memory>
#include <vector>

#include "dialogs/convection/XMLNode.h"

struct MyXMLNodeData;

// Elements may nest at most this deep when parsed, so that hostile input cannot exhaust
// memory or the patience of later recursive users.
constexpr int kMaxXMLDepth = 256;

class MyXMLNode final : public XMLNode {
public:
    // A new, empty document.
    static std::unique_ptr<MyXMLNode> CreateDocument();
    explicit MyXMLNode(std::shared_ptr<MyXMLNodeData> data);

    bool AppendChild(XMLNode& child) override;
    bool GetAttributes(std::unique_ptr<XMLNamedNodeMap>* attributes) override;
    bool GetNodeName(CString* name) const override;
    bool GetNodeValue(CString* value) const override;
    bool GetText(CString* text) const override;
    bool Serialize(CString* xml) const override;
    bool Load(const CString& text) override;
    bool SelectNodes(const CString& path, std::unique_ptr<XMLNodeCollection>* nodes) const override;
    bool SelectSingleNode(const CString& path, std::unique_ptr<XMLNode>* node) const override;
    bool SetNodeValue(const CString& value) override;
    bool CreateElement(const CString& name, std::unique_ptr<XMLNode>* element) override;
    bool CreateTextNode(const CString& value, std::unique_ptr<XMLNode>* text) override;
    bool GetOwnerDocument(std::unique_ptr<XMLNode>* document) const override;
    bool GetParentNode(std::unique_ptr<XMLNode>* parent) const override;
    bool GetFirstChild(std::unique_ptr<XMLNode>* child) const override;
    bool GetNextSibling(std::unique_ptr<XMLNode>* sibling) const override;
    bool GetChildNodes(std::unique_ptr<XMLNodeCollection>* children) const override;
    bool IsTextNode() const override;
    bool RemoveChild(XMLNode& child) override;

    bool IsDocument() const;
    // Why the last Load of this document failed, with its position:
    // "line 3, column 17: closing tag </libname> does not match <libfile>". Empty after a
    // successful Load.
    CString GetLoadError() const;
    // Two handles are the same node.
    bool IsSameNode(const XMLNode& other) const;
    const std::shared_ptr<MyXMLNodeData>& GetData() const { return data_; }

private:
    std::shared_ptr<MyXMLNodeData> data_;
};

class MyXMLNodeCollection final : public XMLNodeCollection {
public:
    explicit MyXMLNodeCollection(std::vector<std::shared_ptr<MyXMLNodeData>> nodes);
    long GetLength() const override;
    bool NextNode(std::unique_ptr<XMLNode>* node) override;

private:
    std::vector<std::shared_ptr<MyXMLNodeData>> nodes_;
    std::size_t next_ = 0;
};

class MyXMLNamedNodeMap final : public XMLNamedNodeMap {
public:
    // holder: the node whose children are the element's attributes.
    explicit MyXMLNamedNodeMap(std::shared_ptr<MyXMLNodeData> holder);
    long GetItemCount() const override;
    bool GetNamedItem(const CString& name, std::unique_ptr<XMLNode>* item) const override;
    bool AddItem(XMLNode& item) override;

private:
    std::shared_ptr<MyXMLNodeData> holder_;
};
