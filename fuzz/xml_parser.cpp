// Fuzz target for the XML list parser: random text must never crash, hang or recurse
// without bound, a refusal always says why, and whatever parses writes back to text that
// parses to the same document.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "dialogs/convection/MyXMLNode.h"
#include "platform/win/Utf8.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Walks a selection, reading what a list reader would read.
void Visit(const XMLNode& doc, const wchar_t* path) {
    std::unique_ptr<XMLNodeCollection> nodes;
    Check(doc.SelectNodes(path, &nodes));
    std::unique_ptr<XMLNode> node;
    long seen = 0;
    while (nodes->NextNode(&node)) {
        ++seen;
        CString text, name;
        Check(node->GetText(&text));
        if (node->GetNodeName(&name)) {
            std::unique_ptr<XMLNamedNodeMap> attributes;
            Check(node->GetAttributes(&attributes));
            std::unique_ptr<XMLNode> item;
            attributes->GetNamedItem(L"default", &item);
        }
    }
    Check(seen == nodes->GetLength());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CString text(orv::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size)));
    auto doc = MyXMLNode::CreateDocument();
    if (!doc->Load(text)) {
        Check(!doc->GetLoadError().IsEmpty());
        std::unique_ptr<XMLNode> child;
        Check(!doc->GetFirstChild(&child));
        return 0;
    }
    Visit(*doc, L"/*");
    Visit(*doc, L"/*/*");
    Visit(*doc, L"/CCLibList/*");

    CString first, second;
    Check(doc->Serialize(&first));
    auto again = MyXMLNode::CreateDocument();
    Check(again->Load(first));
    Check(again->Serialize(&second));
    Check(first == second);
    return 0;
}
