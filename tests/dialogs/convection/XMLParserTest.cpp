#include <gtest/gtest.h>

#include <string>

#include "dialogs/convection/MyXMLNode.h"
#include "dialogs/convection/XMLUtil.h"

namespace {

// Wide text for failure messages.
std::string U(const CString& text) { return text.ToUtf8(); }

std::wstring Serialized(const XMLNode& node) {
    CString xml;
    EXPECT_TRUE(node.Serialize(&xml));
    return xml.str();
}

std::wstring NameOf(const XMLNode& node) {
    CString name;
    node.GetNodeName(&name);
    return name.str();
}

std::wstring TextOf(const XMLNode& node) {
    CString text;
    node.GetText(&text);
    return text.str();
}

const wchar_t* const kListFile =
    L"<CCLibList><CCLibrary><LibFile>/data/lib.cclib</LibFile>"
    L"<LibName default='true'>Orven Default Library</LibName></CCLibrary></CCLibList>\r\n";

TEST(XMLParser, ReadsTheLibraryList) {
    auto doc = MyXMLNode::CreateDocument();
    ASSERT_TRUE(doc->Load(kListFile)) << U(doc->GetLoadError());
    std::unique_ptr<XMLNodeCollection> libraries;
    ASSERT_TRUE(doc->SelectNodes(L"/CCLibList/*", &libraries));
    ASSERT_EQ(libraries->GetLength(), 1);
    std::unique_ptr<XMLNode> library;
    ASSERT_TRUE(libraries->NextNode(&library));
    EXPECT_EQ(NameOf(*library), L"cclibrary");  // element names come back in lower case
    EXPECT_FALSE(libraries->NextNode(&library));
    EXPECT_EQ(library, nullptr);

    ASSERT_TRUE(doc->SelectNodes(L"/CCLibList/*", &libraries));
    ASSERT_TRUE(libraries->NextNode(&library));
    auto file = XMLUtil::SelectChild(*library, L"LibFile");
    auto name = XMLUtil::SelectChild(*library, L"libname");
    ASSERT_TRUE(file && name);
    EXPECT_EQ(TextOf(*file), L"/data/lib.cclib");
    EXPECT_EQ(TextOf(*name), L"Orven Default Library");
    CString isDefault;
    ASSERT_TRUE(XMLUtil::GetAttribute(*name, L"default", &isDefault));
    EXPECT_EQ(isDefault, L"true");
    EXPECT_FALSE(XMLUtil::GetAttribute(*file, L"default", &isDefault));
    // Read, then written again: the same text apart from the letter case of the names.
    EXPECT_EQ(Serialized(*doc),
              L"<ccliblist><cclibrary><libfile>/data/lib.cclib</libfile><libname default='true'>Orven Default "
              L"Library</libname></cclibrary></ccliblist>\r\n");
}

struct Accepted {
    const char* what;
    const wchar_t* text;
    const wchar_t* serialized;  // what the document writes back
};

TEST(XMLParser, AcceptsTheSubset) {
    const Accepted cases[] = {
        {"closing tag in other case", L"<Root><Item>x</ITEM></root>", L"<root><item>x</item></root>\r\n"},
        {"white space around text", L"<a>   two words \t\r\n </a>", L"<a>two words</a>\r\n"},
        {"white space between elements", L"\r\n <a>\n  <b/>\n  <c></c>\n</a>\n\n", L"<a><b></b><c></c></a>\r\n"},
        {"empty root", L"<a/>", L"<a></a>\r\n"},
        {"attribute quoting", L"<a x=1 y=\"2\" z='3' w = '4'/>", L"<a x='1' y='2' z='3' w='4'></a>\r\n"},
        {"attribute names keep case", L"<A Default='true'/>", L"<a Default='true'></a>\r\n"},
        {"quote of the other kind", L"<a x=\"it's\" y='say \"hi\"'/>", L"<a x='it&apos;s' y='say &quot;hi&quot;'></a>\r\n"},
        {"'>' inside a quoted value", L"<a x='1>2'>t</a>", L"<a x='1&gt;2'>t</a>\r\n"},
        {"empty quoted value", L"<a x=''/>", L"<a x=''></a>\r\n"},
        {"space in closing tag", L"<a>t</a  >", L"<a>t</a>\r\n"},
        {"byte order mark", L"\uFEFF<a/>", L"<a></a>\r\n"},
        {"mixed content", L"<a>one<b>two</b>three</a>", L"<a>one<b>two</b>three</a>\r\n"},
        {"non-ASCII", L"<N\u00e4me>\u65e5\u672c</n\u00e4ME>", L"<n\u00e4me>\u65e5\u672c</n\u00e4me>\r\n"},
    };
    for (const Accepted& c : cases) {
        auto doc = MyXMLNode::CreateDocument();
        ASSERT_TRUE(doc->Load(c.text)) << c.what << ": " << U(doc->GetLoadError());
        EXPECT_EQ(Serialized(*doc), c.serialized) << c.what;
        EXPECT_TRUE(doc->GetLoadError().IsEmpty());
    }
}

struct Refused {
    const wchar_t* text;
    const wchar_t* message;
};

TEST(XMLParser, RefusesWithThePosition) {
    const Refused cases[] = {
        {L"", L"line 1, column 1: no root element"},
        {L"  \r\n ", L"line 2, column 2: no root element"},
        {L"<a>", L"line 1, column 4: unexpected end of text: <a> is not closed"},
        {L"<a><b></b>", L"line 1, column 11: unexpected end of text: <a> is not closed"},
        {L"<a></b>", L"line 1, column 4: closing tag </b> does not match <a>"},
        {L"<a/><b/>", L"line 1, column 5: second top-level element <b>; a document has one root"},
        {L"<a></a>\n<a></a>", L"line 2, column 1: second top-level element <a>; a document has one root"},
        {L"text", L"line 1, column 1: text outside the root element"},
        {L"<a/>tail", L"line 1, column 5: text outside the root element"},
        {L"<a>\n  <b x></b></a>", L"line 2, column 6: attribute 'x' has no '='"},
        {L"<a x=></a>", L"line 1, column 6: attribute 'x' has no value"},
        {L"<a x=   />", L"line 1, column 9: attribute 'x' has no value"},
        {L"<a =1/>", L"line 1, column 4: attribute without a name before '='"},
        {L"<a x y='1'/>", L"line 1, column 4: invalid attribute name 'x y'"},
        {L"<a x='1></a>", L"line 1, column 6: unmatched quote in an attribute value"},
        {L"<a", L"line 1, column 1: missing '>' after '<'"},
        {L"<a>text</a", L"line 1, column 8: missing '>' after '<'"},
        {L"<a <b>", L"line 1, column 4: '<' inside a tag (missing '>'?)"},
        {L"</a>", L"line 1, column 1: closing tag </a> without an open element"},
        {L"<>", L"line 1, column 1: expected an element name after '<'"},
        {L"< a/>", L"line 1, column 1: expected an element name after '<'"},
        {L"<a&b/>", L"line 1, column 1: invalid element name 'a&b'"},
        {L"<?xml version='1.0'?><a/>", L"line 1, column 1: comments, declarations and CDATA sections are not supported"},
        {L"<a><!-- note --></a>", L"line 1, column 4: comments, declarations and CDATA sections are not supported"},
        {L"<a>\n\n  <b/>\n  text\n</c>", L"line 5, column 1: closing tag </c> does not match <a>"},
    };
    for (const Refused& c : cases) {
        auto doc = MyXMLNode::CreateDocument();
        EXPECT_FALSE(doc->Load(c.text)) << U(c.text);
        EXPECT_EQ(doc->GetLoadError(), c.message) << U(c.text);
        std::unique_ptr<XMLNode> child;
        EXPECT_FALSE(doc->GetFirstChild(&child)) << "a failed load leaves the document empty: " << U(c.text);
    }
}

TEST(XMLParser, RefusesNulCharacters) {
    auto doc = MyXMLNode::CreateDocument();
    EXPECT_FALSE(doc->Load(CString(std::wstring(L"<a>x\0y</a>", 11))));
    EXPECT_EQ(doc->GetLoadError(), L"line 1, column 5: NUL character in the text");
}

TEST(XMLParser, LimitsTheNestingDepth) {
    auto nested = [](int depth) {
        std::wstring text;
        for (int i = 0; i < depth; ++i) text += L"<e>";
        for (int i = 0; i < depth; ++i) text += L"</e>";
        return text;
    };
    auto doc = MyXMLNode::CreateDocument();
    EXPECT_TRUE(doc->Load(CString(nested(kMaxXMLDepth))));
    EXPECT_FALSE(doc->Load(CString(nested(kMaxXMLDepth + 1))));
    EXPECT_EQ(doc->GetLoadError(), L"line 1, column " + std::to_wstring(3 * kMaxXMLDepth + 1) + L": elements nested deeper than " +
                                       std::to_wstring(kMaxXMLDepth) + L" levels");
    EXPECT_FALSE(doc->Load(CString(nested(1000000))));
}

TEST(XMLParser, LoadReplacesTheDocumentAndOnlyWorksOnDocuments) {
    auto doc = MyXMLNode::CreateDocument();
    ASSERT_TRUE(doc->Load(L"<first><x/></first>"));
    std::unique_ptr<XMLNode> first;
    ASSERT_TRUE(doc->SelectSingleNode(L"/first", &first));
    ASSERT_TRUE(doc->Load(L"<second/>"));
    EXPECT_EQ(Serialized(*doc), L"<second></second>\r\n");
    EXPECT_EQ(Serialized(*first), L"<first><x></x></first>");  // a handle keeps its node
    std::unique_ptr<XMLNode> parent;
    EXPECT_FALSE(first->GetParentNode(&parent));
    EXPECT_FALSE(first->Load(L"<a/>"));
}

TEST(XMLSelect, FollowsSlashPaths) {
    auto doc = MyXMLNode::CreateDocument();
    ASSERT_TRUE(doc->Load(L"<r><a n='1'><b>one</b></a><a n='2'><b>two</b><c/></a>text<d/></r>"));
    struct Case {
        const wchar_t* path;
        long count;
        const wchar_t* firstText;
    } const cases[] = {
        {L"/r/*", 4, L"one"},        // every child, text nodes included
        {L"/R/A/B", 1, L"one"},      // the first of equal names, any letter case
        {L"r/a/b", 1, L"one"},       // from the document, without the slash
        {L"/r/a/*", 1, L"one"},
        {L"/r/*/ignored", 4, L"one"},  // "*" ends the path
        {L"/r/x", 0, nullptr},
        {L"/r/a/b/c", 0, nullptr},
        {L"//r//a//", 1, L"one"},      // empty segments are skipped
        {L"", 0, nullptr},
        {L"/", 0, nullptr},
    };
    for (const auto& c : cases) {
        std::unique_ptr<XMLNodeCollection> nodes;
        ASSERT_TRUE(doc->SelectNodes(c.path, &nodes));
        EXPECT_EQ(nodes->GetLength(), c.count) << U(c.path);
        std::unique_ptr<XMLNode> first;
        EXPECT_EQ(doc->SelectSingleNode(c.path, &first), c.count > 0) << U(c.path);
        if (c.firstText) {
            EXPECT_EQ(TextOf(*first), c.firstText) << U(c.path);
        }
    }
    // A leading slash starts at the document from anywhere in it; a relative path at the node.
    std::unique_ptr<XMLNode> b, again;
    ASSERT_TRUE(doc->SelectSingleNode(L"/r/a/b", &b));
    EXPECT_TRUE(b->SelectSingleNode(L"/r/d", &again));
    EXPECT_FALSE(b->SelectSingleNode(L"r", &again));
    std::unique_ptr<XMLNode> r;
    ASSERT_TRUE(doc->SelectSingleNode(L"r", &r));
    EXPECT_FALSE(r->SelectSingleNode(L"a/c", &again)) << "a/c looks in the first <a> only, which has no <c>";
}

}  // namespace
