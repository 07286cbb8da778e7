#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dialogs/convection/MyXMLNode.h"
#include "dialogs/convection/XMLUtil.h"

namespace fs = std::filesystem;

namespace {

// Wide text for failure messages.
std::string U(const CString& text) { return text.ToUtf8(); }

std::wstring Serialized(const XMLNode& node) {
    CString xml;
    EXPECT_TRUE(node.Serialize(&xml));
    return xml.str();
}

std::wstring TextOf(const XMLNode& node) {
    CString text;
    node.GetText(&text);
    return text.str();
}

fs::path TestFolder(const std::string& name) {
    const char* base = std::getenv("ORV_TEST_TMP");
    fs::path dir = fs::path(base ? base : fs::temp_directory_path().string()) / "xml" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// The list as the coefficient libraries write it.
std::unique_ptr<XMLNode> ListDocument(const CString& file, const CString& name, bool isDefault) {
    auto doc = XMLUtil::CreateDocument();
    auto root = XMLUtil::AppendElement(*doc, L"CCLibList");
    auto library = XMLUtil::AppendElement(*root, L"CCLibrary");
    EXPECT_TRUE(XMLUtil::AppendElement(*library, L"LibFile", file));
    auto libName = XMLUtil::AppendElement(*library, L"LibName", name);
    if (isDefault) {
        EXPECT_TRUE(XMLUtil::SetAttribute(*libName, L"default", L"true"));
    }
    return doc;
}

TEST(XMLDocument, WritesTheListOnOneLine) {
    auto doc = ListDocument(L"/home/u/My Libraries/pipes.cclib", L"Pipes", false);
    EXPECT_EQ(Serialized(*doc),
              L"<CCLibList><CCLibrary><LibFile>/home/u/My Libraries/pipes.cclib</LibFile><LibName>Pipes</LibName>"
              L"</CCLibrary></CCLibList>\r\n");
    auto withDefault = ListDocument(L"/opt/orv/OrvDefault.cclib", L"", true);
    EXPECT_EQ(Serialized(*withDefault),
              L"<CCLibList><CCLibrary><LibFile>/opt/orv/OrvDefault.cclib</LibFile><LibName default='true'></LibName>"
              L"</CCLibrary></CCLibList>\r\n");
}

// Names and paths with markup characters, quotes and edge white space come back unchanged
// both as element text and as attribute values.
TEST(XMLDocument, EscapedTextRoundTrips) {
    const wchar_t* const texts[] = {
        L"a<b", L"R&D libraries", L"it's \"quoted\"", L"</LibName>", L"&amp; stays literal", L"x > y",
        L" leading", L"trailing ", L"  ", L"\t", L"two\nlines\r\n", L"tab\tinside", L"\u65e5\u672c\u8a9e \U0001F600",
        L"&#65;", L"<![CDATA[x]]>", L"a]]>b", L"\x01\x1f",
    };
    for (const wchar_t* text : texts) {
        auto doc = ListDocument(text, text, false);
        std::unique_ptr<XMLNode> libName;
        ASSERT_TRUE(doc->SelectSingleNode(L"/CCLibList/CCLibrary/LibName", &libName));
        ASSERT_TRUE(XMLUtil::SetAttribute(*libName, L"note", text));
        const std::wstring xml = Serialized(*doc);
        EXPECT_EQ(xml.find(L'\n'), xml.size() - 1) << "one line: " << U(CString(text));

        auto back = MyXMLNode::CreateDocument();
        ASSERT_TRUE(back->Load(CString(xml))) << U(back->GetLoadError()) << " in " << U(CString(xml));
        std::unique_ptr<XMLNode> file, name;
        ASSERT_TRUE(back->SelectSingleNode(L"/ccliblist/cclibrary/libfile", &file));
        ASSERT_TRUE(back->SelectSingleNode(L"/cclibList/cclibrary/libname", &name));
        EXPECT_EQ(TextOf(*file), text);
        EXPECT_EQ(TextOf(*name), text);
        CString note;
        ASSERT_TRUE(XMLUtil::GetAttribute(*name, L"note", &note));
        EXPECT_EQ(note, text);
    }
}

TEST(XMLDocument, EscapesExactly) {
    auto doc = XMLUtil::CreateDocument();
    auto n = XMLUtil::AppendElement(*doc, L"n", L" a<b&c>d ");
    ASSERT_TRUE(XMLUtil::SetAttribute(*n, L"v", L"<&'\">"));
    EXPECT_EQ(Serialized(*doc), L"<n v='&lt;&amp;&apos;&quot;&gt;'>&#32;a&lt;b&amp;c&gt;d&#32;</n>\r\n");
}

TEST(XMLDocument, ReadsReferencesAndLeavesStrayAmpersands) {
    struct Case {
        const wchar_t* text;
        const wchar_t* value;
    } const cases[] = {
        {L"<a>&lt;&gt;&amp;&apos;&quot;</a>", L"<>&'\""},
        {L"<a>&#65;&#x42;&#X43;&#x1F600;</a>", L"AB&#X43;\U0001F600"},
        {L"<a>R&D</a>", L"R&D"},  // lists written before escaping read as before
        {L"<a>&unknown; &#0; &#xD800; &#x110000; &#; &#12a; &</a>", L"&unknown; &#0; &#xD800; &#x110000; &#; &#12a; &"},
        {L"<a>a&#32;</a>", L"a "},
    };
    for (const auto& c : cases) {
        auto doc = MyXMLNode::CreateDocument();
        ASSERT_TRUE(doc->Load(c.text)) << U(c.text);
        EXPECT_EQ(TextOf(*doc), c.value) << U(c.text);
    }
    auto doc = MyXMLNode::CreateDocument();
    ASSERT_TRUE(doc->Load(L"<a x='&lt;1&amp;2&gt;' y=&quot;/>"));
    std::unique_ptr<XMLNode> a;
    ASSERT_TRUE(doc->SelectSingleNode(L"a", &a));
    CString x, y;
    ASSERT_TRUE(XMLUtil::GetAttribute(*a, L"X", &x));  // attribute names match without regard to case
    ASSERT_TRUE(XMLUtil::GetAttribute(*a, L"y", &y));
    EXPECT_EQ(x, L"<1&2>");
    EXPECT_EQ(y, L"\"");
}

TEST(XMLDocument, NodeKindsAnswerOnlyWhatTheyHave) {
    auto doc = XMLUtil::CreateDocument();
    auto e = XMLUtil::AppendElement(*doc, L"e", L"value");
    std::unique_ptr<XMLNode> text;
    ASSERT_TRUE(e->GetFirstChild(&text));
    CString s;
    EXPECT_FALSE(doc->GetNodeName(&s));
    EXPECT_FALSE(text->GetNodeName(&s));
    EXPECT_TRUE(e->GetNodeName(&s));
    EXPECT_EQ(s, L"e");
    EXPECT_FALSE(e->GetNodeValue(&s));
    EXPECT_TRUE(text->GetNodeValue(&s));
    EXPECT_EQ(s, L"value");
    EXPECT_TRUE(text->IsTextNode());
    EXPECT_FALSE(e->IsTextNode());
    EXPECT_FALSE(e->SetNodeValue(L"x"));
    EXPECT_TRUE(text->SetNodeValue(L"changed"));
    EXPECT_EQ(TextOf(*doc), L"changed");
    std::unique_ptr<XMLNamedNodeMap> attributes;
    EXPECT_FALSE(doc->GetAttributes(&attributes));
    EXPECT_FALSE(text->GetAttributes(&attributes));
    ASSERT_TRUE(e->GetAttributes(&attributes));
    EXPECT_EQ(attributes->GetItemCount(), 0);
    std::unique_ptr<XMLNode> owner, parent;
    ASSERT_TRUE(text->GetOwnerDocument(&owner));
    EXPECT_TRUE(static_cast<MyXMLNode&>(*owner).IsSameNode(*doc));
    ASSERT_TRUE(text->GetParentNode(&parent));
    EXPECT_TRUE(static_cast<MyXMLNode&>(*parent).IsSameNode(*e));
    std::unique_ptr<XMLNode> bad;
    for (const wchar_t* name : {L"", L"a b", L"a/b", L"a<", L"a='", L"x&y"})
        EXPECT_FALSE(doc->CreateElement(name, &bad)) << U(CString(name));
}

TEST(XMLDocument, AppendKeepsTheTreeSound) {
    auto doc = XMLUtil::CreateDocument();
    auto root = XMLUtil::AppendElement(*doc, L"root");
    ASSERT_TRUE(root);
    EXPECT_FALSE(XMLUtil::AppendElement(*doc, L"second")) << "one root only";
    std::unique_ptr<XMLNode> text;
    ASSERT_TRUE(doc->CreateTextNode(L"loose", &text));
    EXPECT_FALSE(doc->AppendChild(*text)) << "no text beside the root";
    EXPECT_FALSE(text->AppendChild(*root)) << "text nodes have no children";
    auto a = XMLUtil::AppendElement(*root, L"a");
    auto b = XMLUtil::AppendElement(*a, L"b");
    EXPECT_FALSE(b->AppendChild(*a)) << "a node cannot go below itself";
    EXPECT_FALSE(a->AppendChild(*a));
    EXPECT_FALSE(root->AppendChild(*doc));
    // Appending an attached node moves it.
    ASSERT_TRUE(root->AppendChild(*b));
    EXPECT_EQ(Serialized(*doc), L"<root><a></a><b></b></root>\r\n");
    ASSERT_TRUE(root->RemoveChild(*a));
    EXPECT_FALSE(root->RemoveChild(*a));
    EXPECT_EQ(Serialized(*doc), L"<root><b></b></root>\r\n");
    ASSERT_TRUE(root->AppendChild(*a));
    EXPECT_EQ(Serialized(*doc), L"<root><b></b><a></a></root>\r\n");
    // A node of another document joins this one.
    auto other = MyXMLNode::CreateDocument();
    ASSERT_TRUE(other->Load(L"<x><y/></x>"));
    std::unique_ptr<XMLNode> x;
    ASSERT_TRUE(other->SelectSingleNode(L"x", &x));
    ASSERT_TRUE(a->AppendChild(*x));
    std::unique_ptr<XMLNode> y, owner;
    ASSERT_TRUE(x->SelectSingleNode(L"y", &y));
    ASSERT_TRUE(y->GetOwnerDocument(&owner));
    EXPECT_TRUE(static_cast<MyXMLNode&>(*owner).IsSameNode(*doc));
    EXPECT_EQ(Serialized(*other), L"\r\n");
}

TEST(XMLDocument, AttributesReplaceByName) {
    auto doc = XMLUtil::CreateDocument();
    auto e = XMLUtil::AppendElement(*doc, L"e");
    ASSERT_TRUE(XMLUtil::SetAttribute(*e, L"a", L"1"));
    ASSERT_TRUE(XMLUtil::SetAttribute(*e, L"b", L"2"));
    ASSERT_TRUE(XMLUtil::SetAttribute(*e, L"A", L"3"));
    ASSERT_TRUE(XMLUtil::SetAttribute(*e, L"c", L""));
    EXPECT_EQ(Serialized(*doc), L"<e A='3' b='2' c=''></e>\r\n");
    auto back = MyXMLNode::CreateDocument();
    ASSERT_TRUE(back->Load(CString(Serialized(*doc))));
    EXPECT_EQ(Serialized(*back), Serialized(*doc));
    std::unique_ptr<XMLNamedNodeMap> attributes;
    ASSERT_TRUE(e->GetAttributes(&attributes));
    EXPECT_EQ(attributes->GetItemCount(), 3);
    std::unique_ptr<XMLNode> item;
    EXPECT_FALSE(attributes->GetNamedItem(L"missing", &item));
    EXPECT_EQ(item, nullptr);
    EXPECT_FALSE(XMLUtil::SetAttribute(*e, L"bad name", L"x"));
}

// Trees far larger than a list file: building, writing and releasing them uses no recursion.
TEST(XMLDocument, LargeAndDeepTreesAreHandledWithoutRecursion) {
    auto doc = XMLUtil::CreateDocument();
    auto root = XMLUtil::AppendElement(*doc, L"r");
    for (int i = 0; i < 200000; ++i) XMLUtil::AppendElement(*root, L"i", L"x");
    std::unique_ptr<XMLNode> deep = XMLUtil::AppendElement(*root, L"d");
    for (int i = 0; i < 200000; ++i) deep = XMLUtil::AppendElement(*deep, L"d");
    deep.reset();
    CString xml;
    ASSERT_TRUE(doc->Serialize(&xml));
    EXPECT_EQ(xml.GetLength(), 3 + 200000 * 8 + 200001 * 7 + 4 + 2);
    EXPECT_EQ(TextOf(*doc).size(), 200000u);
    root.reset();
    doc.reset();
}

TEST(XMLFile, WritesAndReadsFiles) {
    const fs::path dir = TestFolder("files");
    auto doc = ListDocument(L"/x/a&b.cclib", L"A <special> \"library\"", false);
    CString error;
    ASSERT_TRUE(XMLUtil::WriteFile(*doc, dir / "CCLibList.xml", &error)) << U(error);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no temporary file left";
    auto back = XMLUtil::CreateDocument();
    ASSERT_TRUE(XMLUtil::ReadFile(*back, dir / "CCLibList.xml", &error)) << U(error);
    EXPECT_EQ(TextOf(*back), L"/x/a&b.cclibA <special> \"library\"");

    // A file with a byte order mark and CR LF line ends reads the same.
    {
        std::ofstream f(dir / "bom.xml", std::ios::binary);
        f << "\xEF\xBB\xBF<CCLibList>\r\n <CCLibrary><LibFile>/p/\xC3\xA4.cclib</LibFile><LibName>N</LibName></CCLibrary>\r\n</CCLibList>\r\n";
    }
    ASSERT_TRUE(XMLUtil::ReadFile(*back, dir / "bom.xml", &error)) << U(error);
    EXPECT_EQ(TextOf(*back), L"/p/\u00e4.cclibN");

    {
        std::ofstream f(dir / "bad.xml", std::ios::binary);
        f << "<CCLibList>\n<CCLibrary><LibFile>x</LibName>";
    }
    EXPECT_FALSE(XMLUtil::ReadFile(*back, dir / "bad.xml", &error));
    EXPECT_EQ(error, L"bad.xml: line 2, column 22: closing tag </LibName> does not match <libfile>");
    std::unique_ptr<XMLNode> child;
    EXPECT_FALSE(back->GetFirstChild(&child));
    EXPECT_FALSE(XMLUtil::ReadFile(*back, dir / "missing.xml", &error));
    EXPECT_EQ(error.Left(26), L"missing.xml: cannot read: ");
    EXPECT_FALSE(XMLUtil::WriteFile(*doc, dir / "no" / "CCLibList.xml", &error));
    EXPECT_EQ(error.Left(29), L"CCLibList.xml: cannot create:");
}

}  // namespace
