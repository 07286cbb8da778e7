#include "dialogs/convection/MyXMLNode.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>

struct MyXMLNodeData : std::enable_shared_from_this<MyXMLNodeData> {
    bool isText = false;  // the text flag
    bool isDocument = false;
    CString name;   // empty for documents, text nodes and attribute holders
    CString value;  // text nodes
    std::shared_ptr<MyXMLNodeData> attributes;  // holder whose children are the attributes
    std::weak_ptr<MyXMLNodeData> parent;
    std::shared_ptr<MyXMLNodeData> firstChild;
    std::shared_ptr<MyXMLNodeData> nextSibling;
    MyXMLNodeData* lastChild = nullptr;
    std::weak_ptr<MyXMLNodeData> owner;  // the document
    CString loadError;                   // documents: why the last Load failed

    // Releases the subtree without recursion, so that long sibling chains or deep trees
    // cannot overflow the stack.
    ~MyXMLNodeData() {
        std::vector<std::shared_ptr<MyXMLNodeData>> pending;
        auto take = [&pending](MyXMLNodeData& n) {
            if (n.firstChild) pending.push_back(std::move(n.firstChild));
            if (n.nextSibling) pending.push_back(std::move(n.nextSibling));
            if (n.attributes) pending.push_back(std::move(n.attributes));
            n.lastChild = nullptr;
        };
        take(*this);
        while (!pending.empty()) {
            std::shared_ptr<MyXMLNodeData> n = std::move(pending.back());
            pending.pop_back();
            if (n.use_count() == 1) take(*n);
        }
    }
};

namespace {

using Data = MyXMLNodeData;
using DataPtr = std::shared_ptr<MyXMLNodeData>;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

bool IsValidName(std::wstring_view name) {
    if (name.empty()) return false;
    for (const wchar_t c : name)
        if (c < 0x20 || IsSpace(c) || std::wcschr(L"<>/='\"&", c)) return false;
    return true;
}

DataPtr NewNode(const DataPtr& owner, bool isText, const CString& name, const CString& value) {
    auto n = std::make_shared<Data>();
    n->isText = isText;
    n->name = name;
    n->value = value;
    n->owner = owner;
    return n;
}

void Link(const DataPtr& parent, const DataPtr& child) {
    child->parent = parent;
    child->nextSibling.reset();
    if (!parent->firstChild)
        parent->firstChild = child;
    else
        parent->lastChild->nextSibling = child;
    parent->lastChild = child.get();
}

void Unlink(Data& parent, const DataPtr& child) {
    Data* prev = nullptr;
    for (Data* n = parent.firstChild.get(); n; prev = n, n = n->nextSibling.get()) {
        if (n != child.get()) continue;
        DataPtr next = std::move(child->nextSibling);
        if (prev)
            prev->nextSibling = std::move(next);
        else
            parent.firstChild = std::move(next);
        if (parent.lastChild == child.get()) parent.lastChild = prev;
        child->parent.reset();
        return;
    }
}

DataPtr Holder(const DataPtr& element) {
    if (!element->attributes) {
        element->attributes = NewNode(element->owner.lock(), false, CString(), CString());
        element->attributes->parent = element;
    }
    return element->attributes;
}

std::wstring TextOf(const Data& node) {
    if (node.isText) return node.value.str();
    std::wstring out;
    std::vector<const Data*> stack;
    for (const Data* c = node.firstChild.get(); c; c = c->nextSibling.get()) stack.push_back(c);
    std::reverse(stack.begin(), stack.end());
    while (!stack.empty()) {
        const Data* n = stack.back();
        stack.pop_back();
        if (n->isText) {
            out += n->value.str();
            continue;
        }
        const std::size_t mark = stack.size();
        for (const Data* c = n->firstChild.get(); c; c = c->nextSibling.get()) stack.push_back(c);
        std::reverse(stack.begin() + std::ptrdiff_t(mark), stack.end());
    }
    return out;
}

void AppendReference(std::wstring& out, wchar_t c) { out += L"&#" + std::to_wstring(unsigned(c)) + L';'; }

// Text is written so that the reader gives it back unchanged: markup characters become
// entities, and white space at either end (which the reader trims) and control characters
// (which would break the one-line layout) become character references.
void EscapeText(std::wstring_view v, std::wstring& out) {
    std::size_t first = 0, last = v.size();
    while (first < last && IsSpace(v[first])) ++first;
    while (last > first && IsSpace(v[last - 1])) --last;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const wchar_t c = v[i];
        if (i < first || i >= last || (c < 0x20 && c != L'\t')) {
            AppendReference(out, c);
            continue;
        }
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        default: out += c;
        }
    }
}

void EscapeAttribute(std::wstring_view v, std::wstring& out) {
    for (const wchar_t c : v) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'\'': out += L"&apos;"; break;
        case L'"': out += L"&quot;"; break;
        default:
            if (c < 0x20)
                AppendReference(out, c);
            else
                out += c;
        }
    }
}

// Entities and character references are decoded; an "&" that starts neither is kept as it
// is, so lists written before escaping existed read as they did.
std::wstring Decode(std::wstring_view s) {
    if (s.find(L'&') == std::wstring_view::npos) return std::wstring(s);
    std::wstring out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'&') {
            out += s[i];
            continue;
        }
        const std::size_t semi = s.find(L';', i + 1);
        if (semi != std::wstring_view::npos && semi - i <= 10) {
            const std::wstring_view name = s.substr(i + 1, semi - i - 1);
            char32_t c = 0;
            if (name == L"lt") c = L'<';
            else if (name == L"gt") c = L'>';
            else if (name == L"amp") c = L'&';
            else if (name == L"apos") c = L'\'';
            else if (name == L"quot") c = L'"';
            else if (name.size() >= 2 && name[0] == L'#') {
                const bool hex = name[1] == L'x';
                const std::wstring_view digits = name.substr(hex ? 2 : 1);
                char32_t v = 0;
                bool ok = !digits.empty();
                for (const wchar_t d : digits) {
                    int digit = -1;
                    if (d >= L'0' && d <= L'9') digit = d - L'0';
                    else if (hex && d >= L'a' && d <= L'f') digit = d - L'a' + 10;
                    else if (hex && d >= L'A' && d <= L'F') digit = d - L'A' + 10;
                    if (digit < 0 || v > 0x10FFFF) {
                        ok = false;
                        break;
                    }
                    v = v * (hex ? 16 : 10) + char32_t(digit);
                }
                if (ok && v > 0 && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) c = v;
            }
            if (c != 0) {
                out += wchar_t(c);
                i = semi;
                continue;
            }
        }
        out += L'&';
    }
    return out;
}

class Parser {
public:
    Parser(std::wstring_view text, const DataPtr& document) : text_(text), doc_(document) {}

    bool Run() {
        if (!text_.empty() && text_[0] == 0xFEFF) pos_ = 1;  // byte order mark
        if (const std::size_t nul = text_.find(L'\0'); nul != std::wstring_view::npos)
            return Fail(nul, L"NUL character in the text");
        DataPtr current = doc_;
        int depth = 0;
        bool haveRoot = false;
        for (;;) {
            while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
            if (pos_ == text_.size()) {
                if (current != doc_) return Fail(pos_, L"unexpected end of text: <" + current->name.str() + L"> is not closed");
                if (!haveRoot) return Fail(pos_, L"no root element");
                return true;
            }
            if (text_[pos_] != L'<') {
                const std::size_t start = pos_;
                std::size_t end = text_.find(L'<', pos_);
                if (end == std::wstring_view::npos) end = text_.size();
                pos_ = end;
                if (current == doc_) return Fail(start, L"text outside the root element");
                while (end > start && IsSpace(text_[end - 1])) --end;
                Link(current, NewNode(doc_, true, CString(), CString(Decode(text_.substr(start, end - start)))));
                continue;
            }
            const std::size_t tagStart = pos_;
            if (pos_ + 1 < text_.size() && (text_[pos_ + 1] == L'!' || text_[pos_ + 1] == L'?'))
                return Fail(tagStart, L"comments, declarations and CDATA sections are not supported");
            std::size_t tagEnd = 0;
            if (!FindTagEnd(tagStart, &tagEnd)) return false;
            std::wstring_view inside = text_.substr(tagStart + 1, tagEnd - tagStart - 1);
            pos_ = tagEnd + 1;

            if (!inside.empty() && inside[0] == L'/') {
                std::wstring_view name = inside.substr(1);
                while (!name.empty() && IsSpace(name.back())) name.remove_suffix(1);
                if (current == doc_) return Fail(tagStart, L"closing tag </" + std::wstring(name) + L"> without an open element");
                if (current->name.CompareNoCase(std::wstring(name).c_str()) != 0)
                    return Fail(tagStart, L"closing tag </" + std::wstring(name) + L"> does not match <" + current->name.str() + L">");
                current = current->parent.lock();
                --depth;
                continue;
            }
            const bool empty = !inside.empty() && inside.back() == L'/';
            if (empty) inside.remove_suffix(1);
            std::size_t nameEnd = 0;
            while (nameEnd < inside.size() && !IsSpace(inside[nameEnd])) ++nameEnd;
            const std::wstring_view name = inside.substr(0, nameEnd);
            if (name.empty()) return Fail(tagStart, L"expected an element name after '<'");
            if (!IsValidName(name)) return Fail(tagStart, L"invalid element name '" + std::wstring(name) + L"'");
            if (current == doc_ && haveRoot)
                return Fail(tagStart, L"second top-level element <" + std::wstring(name) + L">; a document has one root");
            if (depth + 1 > kMaxXMLDepth)
                return Fail(tagStart, L"elements nested deeper than " + std::to_wstring(kMaxXMLDepth) + L" levels");
            CString lowerName{std::wstring(name)};
            lowerName.MakeLower();
            DataPtr element = NewNode(doc_, false, lowerName, CString());
            Link(current, element);
            if (current == doc_) haveRoot = true;
            if (!ParseAttributes(element, inside.substr(nameEnd), tagStart + 1 + nameEnd)) return false;
            if (!empty) {
                current = element;
                ++depth;
            }
        }
    }

    const std::wstring& Error() const { return error_; }

private:
    bool Fail(std::size_t pos, const std::wstring& message) {
        std::size_t line = 1, lineStart = 0;
        for (std::size_t i = 0; i < pos && i < text_.size(); ++i) {
            if (text_[i] == L'\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        error_ = L"line " + std::to_wstring(line) + L", column " + std::to_wstring(pos - lineStart + 1) + L": " + message;
        return false;
    }

    // The ">" that ends the tag at start; a ">" inside a quoted attribute value does not.
    bool FindTagEnd(std::size_t start, std::size_t* end) {
        for (std::size_t j = start + 1; j < text_.size(); ++j) {
            const wchar_t c = text_[j];
            if (c == L'>') {
                *end = j;
                return true;
            }
            if (c == L'<') return Fail(j, L"'<' inside a tag (missing '>'?)");
            if (c == L'=') {
                std::size_t k = j + 1;
                while (k < text_.size() && IsSpace(text_[k])) ++k;
                if (k < text_.size() && (text_[k] == L'\'' || text_[k] == L'"')) {
                    const std::size_t close = text_.find(text_[k], k + 1);
                    if (close == std::wstring_view::npos) return Fail(k, L"unmatched quote in an attribute value");
                    j = close;
                }
            }
        }
        return Fail(start, L"missing '>' after '<'");
    }

    // base: position of attrs[0] in the text, for messages.
    bool ParseAttributes(const DataPtr& element, std::wstring_view attrs, std::size_t base) {
        std::size_t i = 0;
        for (;;) {
            while (i < attrs.size() && IsSpace(attrs[i])) ++i;
            if (i == attrs.size()) return true;
            const std::size_t eq = attrs.find(L'=', i);
            if (eq == std::wstring_view::npos)
                return Fail(base + i, L"attribute '" + std::wstring(attrs.substr(i)) + L"' has no '='");
            std::size_t nameEnd = eq;
            while (nameEnd > i && IsSpace(attrs[nameEnd - 1])) --nameEnd;
            const std::wstring_view name = attrs.substr(i, nameEnd - i);
            if (name.empty()) return Fail(base + eq, L"attribute without a name before '='");
            if (!IsValidName(name)) return Fail(base + i, L"invalid attribute name '" + std::wstring(name) + L"'");
            i = eq + 1;
            while (i < attrs.size() && IsSpace(attrs[i])) ++i;
            if (i == attrs.size()) return Fail(base + i, L"attribute '" + std::wstring(name) + L"' has no value");
            std::wstring_view value;
            if (attrs[i] == L'\'' || attrs[i] == L'"') {
                const std::size_t close = attrs.find(attrs[i], i + 1);
                if (close == std::wstring_view::npos) return Fail(base + i, L"unmatched quote in attribute '" + std::wstring(name) + L"'");
                value = attrs.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                std::size_t end = i;
                while (end < attrs.size() && !IsSpace(attrs[end])) ++end;
                value = attrs.substr(i, end - i);
                i = end;
            }
            DataPtr attribute = NewNode(doc_, false, CString(std::wstring(name)), CString());
            if (!value.empty()) Link(attribute, NewNode(doc_, true, CString(), CString(Decode(value))));
            Link(Holder(element), attribute);
        }
    }

    std::wstring_view text_;
    DataPtr doc_;
    std::size_t pos_ = 0;
    std::wstring error_;
};

void SerializeTree(const Data& root, std::wstring& out) {
    struct Frame {
        const Data* node;
        bool closing;
    };
    std::vector<Frame> stack{{&root, false}};
    while (!stack.empty()) {
        const Frame f = stack.back();
        stack.pop_back();
        const Data& n = *f.node;
        if (f.closing) {
            if (n.isDocument)
                out += L"\r\n";
            else if (!n.name.IsEmpty())
                out += L"</" + n.name.str() + L'>';
            continue;
        }
        if (n.isText) {
            EscapeText(n.value.str(), out);
            continue;
        }
        if (!n.isDocument && !n.name.IsEmpty()) {
            out += L'<';
            out += n.name.str();
            if (n.attributes) {
                for (const Data* a = n.attributes->firstChild.get(); a; a = a->nextSibling.get()) {
                    out += L' ';
                    out += a->name.str();
                    out += L"='";
                    EscapeAttribute(TextOf(*a), out);
                    out += L'\'';
                }
            }
            out += L'>';
        }
        stack.push_back({&n, true});
        const std::size_t mark = stack.size();
        for (const Data* c = n.firstChild.get(); c; c = c->nextSibling.get()) stack.push_back({c, false});
        std::reverse(stack.begin() + std::ptrdiff_t(mark), stack.end());
    }
}

std::vector<DataPtr> Select(DataPtr current, std::wstring_view path) {
    std::vector<DataPtr> result;
    if (!path.empty() && path[0] == L'/') {
        while (DataPtr up = current->parent.lock()) current = up;
        path.remove_prefix(1);
    }
    std::vector<std::wstring> segments;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t slash = path.find(L'/', start);
        if (slash == std::wstring_view::npos) slash = path.size();
        if (slash > start) segments.emplace_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    for (std::size_t s = 0; s < segments.size(); ++s) {
        if (segments[s] == L"*") {
            for (Data* c = current->firstChild.get(); c; c = c->nextSibling.get()) result.push_back(c->shared_from_this());
            return result;
        }
        DataPtr found;
        for (Data* c = current->firstChild.get(); c && !found; c = c->nextSibling.get())
            if (!c->isText && !c->name.IsEmpty() && c->name.CompareNoCase(segments[s].c_str()) == 0) found = c->shared_from_this();
        if (!found) return result;
        if (s + 1 == segments.size())
            result.push_back(found);
        else
            current = found;
    }
    return result;
}

DataPtr DataOf(const XMLNode& node) {
    const auto* my = dynamic_cast<const MyXMLNode*>(&node);
    return my ? my->GetData() : nullptr;
}

void SetOwner(const DataPtr& top, const DataPtr& owner) {
    std::vector<Data*> stack{top.get()};
    while (!stack.empty()) {
        Data* n = stack.back();
        stack.pop_back();
        n->owner = owner;
        if (n->attributes) stack.push_back(n->attributes.get());
        for (Data* c = n->firstChild.get(); c; c = c->nextSibling.get()) stack.push_back(c);
    }
}

bool Wrap(const DataPtr& data, std::unique_ptr<XMLNode>* out) {
    if (!out) return false;
    if (!data) {
        out->reset();
        return false;
    }
    *out = std::make_unique<MyXMLNode>(data);
    return true;
}

}  // namespace

// ---- MyXMLNode

std::unique_ptr<MyXMLNode> MyXMLNode::CreateDocument() {
    auto data = std::make_shared<Data>();
    data->isDocument = true;
    return std::make_unique<MyXMLNode>(std::move(data));
}

MyXMLNode::MyXMLNode(std::shared_ptr<MyXMLNodeData> data) : data_(std::move(data)) {}

bool MyXMLNode::IsDocument() const { return data_->isDocument; }
bool MyXMLNode::IsTextNode() const { return data_->isText; }
CString MyXMLNode::GetLoadError() const { return data_->loadError; }
bool MyXMLNode::IsSameNode(const XMLNode& other) const { return DataOf(other) == data_; }

bool MyXMLNode::AppendChild(XMLNode& child) {
    const DataPtr c = DataOf(child);
    if (!c || data_->isText || c->isDocument) return false;
    // Only a node with children can be an ancestor of another.
    if (c == data_) return false;
    if (c->firstChild)
        for (DataPtr up = data_->parent.lock(); up; up = up->parent.lock())
            if (up == c) return false;
    if (data_->isDocument) {
        if (c->isText) return false;
        for (Data* n = data_->firstChild.get(); n; n = n->nextSibling.get())
            if (n != c.get()) return false;
    }
    if (DataPtr old = c->parent.lock()) {
        if (old->attributes == c) return false;
        Unlink(*old, c);
    }
    const DataPtr owner = data_->isDocument ? data_ : data_->owner.lock();
    if (c->owner.lock() != owner) SetOwner(c, owner);
    Link(data_, c);
    return true;
}

bool MyXMLNode::GetAttributes(std::unique_ptr<XMLNamedNodeMap>* attributes) {
    if (!attributes || data_->isText || data_->isDocument || data_->name.IsEmpty()) return false;
    *attributes = std::make_unique<MyXMLNamedNodeMap>(Holder(data_));
    return true;
}

bool MyXMLNode::GetNodeName(CString* name) const {
    if (!name || data_->isText || data_->name.IsEmpty()) return false;
    *name = data_->name;
    return true;
}

bool MyXMLNode::GetNodeValue(CString* value) const {
    if (!value || !data_->isText) return false;
    *value = data_->value;
    return true;
}

bool MyXMLNode::GetText(CString* text) const {
    if (!text) return false;
    *text = CString(TextOf(*data_));
    return true;
}

bool MyXMLNode::Serialize(CString* xml) const {
    if (!xml) return false;
    std::wstring out;
    SerializeTree(*data_, out);
    *xml = CString(std::move(out));
    return true;
}

bool MyXMLNode::Load(const CString& text) {
    if (!data_->isDocument) return false;
    auto clear = [this] {
        DataPtr first = std::move(data_->firstChild);
        data_->lastChild = nullptr;
        for (Data* n = first.get(); n; n = n->nextSibling.get()) n->parent.reset();
    };
    clear();
    Parser parser(text.str(), data_);
    if (!parser.Run()) {
        clear();
        data_->loadError = CString(parser.Error());
        return false;
    }
    data_->loadError.Empty();
    return true;
}

bool MyXMLNode::SelectNodes(const CString& path, std::unique_ptr<XMLNodeCollection>* nodes) const {
    if (!nodes) return false;
    *nodes = std::make_unique<MyXMLNodeCollection>(Select(data_, path.str()));
    return true;
}

bool MyXMLNode::SelectSingleNode(const CString& path, std::unique_ptr<XMLNode>* node) const {
    const std::vector<DataPtr> found = Select(data_, path.str());
    return Wrap(found.empty() ? nullptr : found.front(), node);
}

bool MyXMLNode::SetNodeValue(const CString& value) {
    if (!data_->isText) return false;
    data_->value = value;
    return true;
}

bool MyXMLNode::CreateElement(const CString& name, std::unique_ptr<XMLNode>* element) {
    if (!IsValidName(name.str())) {
        if (element) element->reset();
        return false;
    }
    return Wrap(NewNode(data_->isDocument ? data_ : data_->owner.lock(), false, name, CString()), element);
}

bool MyXMLNode::CreateTextNode(const CString& value, std::unique_ptr<XMLNode>* text) {
    return Wrap(NewNode(data_->isDocument ? data_ : data_->owner.lock(), true, CString(), value), text);
}

bool MyXMLNode::GetOwnerDocument(std::unique_ptr<XMLNode>* document) const {
    return Wrap(data_->isDocument ? data_ : data_->owner.lock(), document);
}

bool MyXMLNode::GetParentNode(std::unique_ptr<XMLNode>* parent) const { return Wrap(data_->parent.lock(), parent); }

bool MyXMLNode::GetFirstChild(std::unique_ptr<XMLNode>* child) const { return Wrap(data_->firstChild, child); }

bool MyXMLNode::GetNextSibling(std::unique_ptr<XMLNode>* sibling) const { return Wrap(data_->nextSibling, sibling); }

bool MyXMLNode::GetChildNodes(std::unique_ptr<XMLNodeCollection>* children) const {
    if (!children) return false;
    std::vector<DataPtr> list;
    for (Data* c = data_->firstChild.get(); c; c = c->nextSibling.get()) list.push_back(c->shared_from_this());
    *children = std::make_unique<MyXMLNodeCollection>(std::move(list));
    return true;
}

bool MyXMLNode::RemoveChild(XMLNode& child) {
    const DataPtr c = DataOf(child);
    if (!c || c->parent.lock() != data_ || data_->attributes == c) return false;
    Unlink(*data_, c);
    return true;
}

// ---- MyXMLNodeCollection

MyXMLNodeCollection::MyXMLNodeCollection(std::vector<std::shared_ptr<MyXMLNodeData>> nodes) : nodes_(std::move(nodes)) {}

long MyXMLNodeCollection::GetLength() const { return long(nodes_.size()); }

bool MyXMLNodeCollection::NextNode(std::unique_ptr<XMLNode>* node) {
    if (next_ >= nodes_.size()) return Wrap(nullptr, node);
    return Wrap(nodes_[next_++], node);
}

// ---- MyXMLNamedNodeMap

MyXMLNamedNodeMap::MyXMLNamedNodeMap(std::shared_ptr<MyXMLNodeData> holder) : holder_(std::move(holder)) {}

long MyXMLNamedNodeMap::GetItemCount() const {
    long count = 0;
    for (Data* a = holder_->firstChild.get(); a; a = a->nextSibling.get()) ++count;
    return count;
}

bool MyXMLNamedNodeMap::GetNamedItem(const CString& name, std::unique_ptr<XMLNode>* item) const {
    for (Data* a = holder_->firstChild.get(); a; a = a->nextSibling.get())
        if (a->name.CompareNoCase(name) == 0) return Wrap(a->shared_from_this(), item);
    return Wrap(nullptr, item);
}

bool MyXMLNamedNodeMap::AddItem(XMLNode& item) {
    const DataPtr a = DataOf(item);
    if (!a || a->isText || a->isDocument || a->name.IsEmpty()) return false;
    if (a->parent.lock() == holder_) return true;
    for (DataPtr up = holder_; up; up = up->parent.lock())
        if (up == a) return false;
    if (DataPtr old = a->parent.lock()) Unlink(*old, a);
    // Replace an attribute of the same name in its place.
    Data* prev = nullptr;
    for (Data* n = holder_->firstChild.get(); n; prev = n, n = n->nextSibling.get()) {
        if (n->name.CompareNoCase(a->name) != 0) continue;
        DataPtr old = n->shared_from_this();
        a->nextSibling = std::move(old->nextSibling);
        if (holder_->lastChild == n) holder_->lastChild = a.get();
        if (prev)
            prev->nextSibling = a;
        else
            holder_->firstChild = a;
        old->parent.reset();
        a->parent = holder_;
        return true;
    }
    Link(holder_, a);
    return true;
}
