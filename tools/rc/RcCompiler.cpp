#include "tools/rc/RcCompiler.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/res/ResourceFormat.h"
#include "platform/win/WinStyles.h"
#include "tools/rc/RcImages.h"
#include "tools/rc/RcPreprocessor.h"

namespace orv::rc {
namespace {

namespace fs = std::filesystem;
namespace format = orv::res::format;
using format::Writer;

std::string Upper(std::string s) {
    for (auto& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool IsKeyword(const Token& t, const char* word) {
    if (t.kind != Token::kIdent || t.text.size() != std::strlen(word)) return false;
    for (std::size_t i = 0; i < t.text.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(t.text[i])) != word[i]) return false;
    return true;
}

std::string Describe(const Token& t) {
    switch (t.kind) {
        case Token::kEnd: return "end of file";
        case Token::kString: return "string \"" + t.text.substr(0, 40) + "\"";
        default: return "'" + t.text + "'";
    }
}

struct Entry {
    std::uint32_t type;
    std::string key;
    std::uint32_t language;
    std::vector<unsigned char> payload;
    const std::string* file;
    int line;
};

struct ControlKind {
    const char* keyword;
    const char* className;
    DWORD defaultStyle;
    enum Shape { kText, kNoText, kIcon, kControl } shape;
};

// The implied styles of each control statement, as the framework's resource compiler applies them
// (WS_CHILD | WS_VISIBLE come on top of each).
const ControlKind kControls[] = {
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, ControlKind::kText},
    {"RTEXT", "Static", SS_RIGHT | WS_GROUP, ControlKind::kText},
    {"CTEXT", "Static", SS_CENTER | WS_GROUP, ControlKind::kText},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, ControlKind::kText},
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, ControlKind::kText},
    {"PUSHBOX", "Button", BS_PUSHBOX | WS_TABSTOP, ControlKind::kText},
    {"CHECKBOX", "Button", BS_CHECKBOX | WS_TABSTOP, ControlKind::kText},
    {"AUTOCHECKBOX", "Button", BS_AUTOCHECKBOX | WS_TABSTOP, ControlKind::kText},
    {"STATE3", "Button", BS_3STATE | WS_TABSTOP, ControlKind::kText},
    {"AUTO3STATE", "Button", BS_AUTO3STATE | WS_TABSTOP, ControlKind::kText},
    {"RADIOBUTTON", "Button", BS_RADIOBUTTON, ControlKind::kText},
    {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON, ControlKind::kText},
    {"GROUPBOX", "Button", BS_GROUPBOX, ControlKind::kText},
    {"EDITTEXT", "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, ControlKind::kNoText},
    {"COMBOBOX", "ComboBox", CBS_SIMPLE | WS_TABSTOP, ControlKind::kNoText},
    {"LISTBOX", "ListBox", LBS_NOTIFY | WS_BORDER, ControlKind::kNoText},
    {"SCROLLBAR", "ScrollBar", 0 /* SBS_HORZ */, ControlKind::kNoText},
    {"ICON", "Static", SS_ICON, ControlKind::kIcon},
    {"CONTROL", "", 0, ControlKind::kControl},
};

// The predefined window classes, by the names and keywords scripts use for them.
std::string CanonicalClass(const std::string& name) {
    static const char* known[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    for (const char* k : known)
        if (Upper(name) == Upper(k)) return k;
    return name;
}

const char* kMemoryFlags[] = {"PRELOAD", "LOADONCALL", "MOVEABLE", "DISCARDABLE", "PURE", "IMPURE", "FIXED", "SHARED", "NONSHARED"};

class Parser {
public:
    Parser(std::vector<Token> tokens, Preprocessor& pp) : t_(std::move(tokens)), pp_(pp) {}

    std::vector<Entry> Run() {
        while (Peek().kind != Token::kEnd) Statement();
        return std::move(entries_);
    }

private:
    const Token& Peek(std::size_t ahead = 0) const {
        std::size_t i = std::min(pos_ + ahead, t_.size() - 1);
        return t_[i];
    }
    const Token& Next() {
        const Token& t = t_[pos_];
        if (pos_ + 1 < t_.size()) ++pos_;
        return t;
    }
    [[noreturn]] void Fail(const Token& at, const std::string& message) { throw RcError(*at.file, at.line, message); }
    bool IsPunct(const char* p) const { return Peek().kind == Token::kPunct && Peek().text == p; }
    bool EatPunct(const char* p) {
        if (!IsPunct(p)) return false;
        Next();
        return true;
    }
    void ExpectPunct(const char* p, const char* what) {
        if (!EatPunct(p)) Fail(Peek(), std::string("expected '") + p + "' " + what + ", found " + Describe(Peek()));
    }
    bool AtBegin() const { return IsKeyword(Peek(), "BEGIN") || IsPunct("{"); }
    bool AtEnd() const { return IsKeyword(Peek(), "END") || IsPunct("}"); }
    void ExpectBegin(const std::string& what) {
        if (!AtBegin()) Fail(Peek(), "expected BEGIN or '{' " + what + ", found " + Describe(Peek()));
        Next();
    }
    void SkipMemoryFlags() {
        for (;;) {
            bool any = false;
            for (const char* f : kMemoryFlags)
                if (IsKeyword(Peek(), f)) {
                    Next();
                    any = true;
                }
            if (!any) return;
        }
    }

    // Arithmetic wraps (as 64-bit two's complement) instead of overflowing.
    static std::int64_t Wrap(std::uint64_t v) { return std::int64_t(v); }

    // Numeric expressions: | & + - * / ~ unary minus and parentheses over numbers and names.
    struct DepthGuard {
        Parser& p;
        DepthGuard(Parser& parser, const Token& at) : p(parser) {
            if (++p.depth_ > kMaxNesting) p.Fail(at, "expression nested too deeply");
        }
        ~DepthGuard() { --p.depth_; }
    };
    static constexpr int kMaxNesting = 200;

    std::int64_t Primary() {
        const Token& t = Peek();
        DepthGuard guard(*this, t);
        if (EatPunct("(")) {
            std::int64_t v = Expr();
            ExpectPunct(")", "to close '('");
            return v;
        }
        if (EatPunct("-")) return Wrap(0 - std::uint64_t(Primary()));
        if (EatPunct("+")) return Primary();
        if (EatPunct("~")) return std::int64_t(~std::uint32_t(Primary()));
        if (t.kind == Token::kNumber) {
            Next();
            return t.value;
        }
        if (t.kind == Token::kIdent) {
            std::int64_t v;
            if (LookupBuiltin(t.text, v)) {
                Next();
                return v;
            }
            if (IsKeyword(t, "NOT")) Fail(t, "NOT is allowed only in style expressions");
            Fail(t, "undefined identifier '" + t.text + "'");
        }
        Fail(t, "expected a number, found " + Describe(t));
    }
    std::int64_t Term() {
        std::int64_t v = Primary();
        for (;;) {
            const Token& op = Peek();
            if (EatPunct("*")) {
                v = Wrap(std::uint64_t(v) * std::uint64_t(Primary()));
            } else if (EatPunct("/")) {
                std::int64_t d = Primary();
                if (d == 0) Fail(op, "division by zero");
                v = (v == INT64_MIN && d == -1) ? v : v / d;
            } else {
                return v;
            }
        }
    }
    std::int64_t Sum() {
        std::int64_t v = Term();
        for (;;) {
            if (EatPunct("+")) v = Wrap(std::uint64_t(v) + std::uint64_t(Term()));
            else if (EatPunct("-")) v = Wrap(std::uint64_t(v) - std::uint64_t(Term()));
            else return v;
        }
    }
    std::int64_t AndExpr() {
        std::int64_t v = Sum();
        while (EatPunct("&")) v &= Sum();
        return v;
    }
    std::int64_t Expr() {
        std::int64_t v = AndExpr();
        while (EatPunct("|")) v |= AndExpr();
        return v;
    }
    // A style expression over `base`: "A | B" adds, "NOT C" removes, left to right.
    DWORD Style(DWORD base) {
        DWORD v = base;
        for (;;) {
            if (IsKeyword(Peek(), "NOT")) {
                Next();
                v &= ~DWORD(Primary());
            } else {
                v |= DWORD(AndExpr());
            }
            if (!EatPunct("|")) return v;
        }
    }
    std::int32_t Int(const char* what) {
        const Token& at = Peek();
        std::int64_t v = Expr();
        if (v < INT32_MIN || v > INT32_MAX) Fail(at, std::string(what) + " " + std::to_string(v) + " is out of range");
        return std::int32_t(v);
    }
    std::int32_t Coordinate(const char* what) {
        const Token& at = Peek();
        std::int64_t v = Expr();
        if (v < -32768 || v > 32767) Fail(at, std::string(what) + " " + std::to_string(v) + " is out of range (-32768 to 32767)");
        return std::int32_t(v);
    }
    std::uint32_t Word(const char* what) {
        const Token& at = Peek();
        std::int64_t v = Expr();
        if (v < 0 || v > 65535) Fail(at, std::string(what) + " " + std::to_string(v) + " is out of range (0 to 65535)");
        return std::uint32_t(v);
    }
    std::string String(const std::string& what) {
        const Token& t = Peek();
        if (t.kind != Token::kString) Fail(t, "expected " + what + " in quotes, found " + Describe(t));
        Next();
        std::string s = t.text;
        while (Peek().kind == Token::kString) s += Next().text;  // adjacent literals join
        return s;
    }
    bool IsNameToken(const Token& t) const {
        std::int64_t v;
        return t.kind == Token::kIdent && !LookupBuiltin(t.text, v);
    }
    // A resource name: a number ("#123") or a name (upper case).
    std::string ResourceKey(const std::string& what) {
        const Token& t = Peek();
        if (IsNameToken(t)) {
            Next();
            return Upper(t.text);
        }
        if (t.kind == Token::kString) {
            Next();
            return Upper(t.text);
        }
        return "#" + std::to_string(Word(what.c_str()));
    }

    void Add(std::uint32_t type, const std::string& key, std::vector<unsigned char> payload, const Token& at,
             const char* what) {
        for (const Entry& e : entries_) {
            if (e.type == type && e.key == key && e.language == language_) {
                Fail(at, std::string("duplicate ") + what + " " + (key[0] == '#' ? key.substr(1) : key) +
                             " (first defined at " + *e.file + ":" + std::to_string(e.line) + ")");
            }
        }
        entries_.push_back({type, key, language_, std::move(payload), at.file, at.line});
    }

    void Statement() {
        const Token& first = Peek();
        if (IsKeyword(first, "LANGUAGE")) {
            Next();
            language_ = Language();
            return;
        }
        if (IsKeyword(first, "STRINGTABLE")) {
            Next();
            StringTable(first);
            return;
        }
        if (first.kind == Token::kPunct || first.kind == Token::kString)
            Fail(first, "expected a resource statement, found " + Describe(first));
        std::string key = ResourceKey("resource id");
        const Token& type = Peek();
        if (type.kind != Token::kIdent) Fail(type, "expected a resource type after the resource name, found " + Describe(type));
        Next();
        if (IsKeyword(type, "DIALOGEX") || IsKeyword(type, "DIALOG")) {
            Dialog(key, first, IsKeyword(type, "DIALOGEX"));
        } else if (IsKeyword(type, "ICON")) {
            Icon(key, first);
        } else if (IsKeyword(type, "BITMAP")) {
            Bitmap(key, first);
        } else if (IsKeyword(type, "VERSIONINFO")) {
            VersionInfo(key, first);
        } else if (IsKeyword(type, "TEXTINCLUDE") || IsKeyword(type, "AFX_DIALOG_LAYOUT") ||
                   IsKeyword(type, "DESIGNINFO") || IsKeyword(type, "GUIDELINES")) {
            SkipBlock();  // editor bookkeeping that has no run-time meaning
        } else {
            Fail(type, "unknown or unsupported resource type '" + type.text + "'");
        }
    }

    std::uint32_t Language() {
        std::uint32_t primary = Word("language");
        ExpectPunct(",", "between language and sublanguage");
        std::uint32_t sub = Word("sublanguage");
        if (primary > 0x3FF || sub > 0x3F) Fail(Peek(), "language id out of range");
        return (sub << 10) | primary;
    }

    void SkipBlock() {
        SkipMemoryFlags();
        while (!AtBegin()) {
            if (Peek().kind == Token::kEnd) Fail(Peek(), "expected BEGIN, found end of file");
            Next();
        }
        Next();
        int depth = 1;
        while (depth > 0) {
            const Token& t = Peek();
            if (t.kind == Token::kEnd) Fail(t, "missing END (block not closed at end of file)");
            if (AtBegin()) ++depth;
            if (AtEnd()) --depth;
            Next();
        }
    }

    void OptionalStatements() {
        for (;;) {
            if (IsKeyword(Peek(), "LANGUAGE")) {
                Next();
                language_ = Language();
            } else if (IsKeyword(Peek(), "CHARACTERISTICS") || IsKeyword(Peek(), "VERSION")) {
                Next();
                Expr();
            } else {
                return;
            }
        }
    }

    void StringTable(const Token& start) {
        SkipMemoryFlags();
        std::uint32_t saved = language_;
        OptionalStatements();
        ExpectBegin("to open the string table");
        while (!AtEnd()) {
            const Token& at = Peek();
            if (at.kind == Token::kEnd) Fail(at, "missing END of the string table that begins at line " + std::to_string(start.line));
            std::uint32_t id = Word("string id");
            EatPunct(",");
            std::string text = String("the text of string " + std::to_string(id));
            Writer w;
            w.Text(text);
            Add(format::kString, "#" + std::to_string(id), std::move(w.bytes()), at, "string id");
        }
        Next();
        language_ = saved;
    }

    void Dialog(const std::string& key, const Token& at, bool extended) {
        SkipMemoryFlags();
        std::uint32_t saved = language_;
        std::int32_t x = Coordinate("x"), y, cx, cy;
        ExpectPunct(",", "after the dialog's x");
        y = Coordinate("y");
        ExpectPunct(",", "after the dialog's y");
        cx = Coordinate("width");
        ExpectPunct(",", "after the dialog's width");
        cy = Coordinate("height");
        DWORD helpId = 0;
        if (EatPunct(",")) {
            if (!extended) Fail(Peek(), "a help id is allowed only in DIALOGEX");
            helpId = DWORD(Expr());
        }
        bool gotStyle = false;
        DWORD style = WS_POPUP | WS_BORDER | WS_SYSMENU, exStyle = 0;
        std::string caption, className, menu, fontName;
        std::int32_t pointSize = 0, weight = 400, italic = 0, charset = 1;
        bool gotFont = false;
        while (!AtBegin()) {
            const Token& s = Peek();
            if (s.kind == Token::kEnd) Fail(s, "expected BEGIN or '{' to open the dialog's controls, found end of file");
            if (IsKeyword(s, "STYLE")) {
                Next();
                style = Style(0);
                gotStyle = true;
            } else if (IsKeyword(s, "EXSTYLE")) {
                Next();
                exStyle = Style(0);
            } else if (IsKeyword(s, "CAPTION")) {
                Next();
                caption = String("the caption");
            } else if (IsKeyword(s, "CLASS")) {
                Next();
                if (Peek().kind == Token::kString) className = String("the class");
                else className = ResourceKey("class id");
            } else if (IsKeyword(s, "MENU")) {
                Next();
                menu = ResourceKey("menu id");
            } else if (IsKeyword(s, "FONT")) {
                Next();
                gotFont = true;
                pointSize = Int("point size");
                ExpectPunct(",", "after the font's point size");
                fontName = String("the font name");
                if (EatPunct(",")) {
                    weight = Int("font weight");
                    if (EatPunct(",")) {
                        italic = Int("font italic flag");
                        if (EatPunct(",")) charset = Int("font character set");
                    }
                }
                if (!extended && weight != 400) Fail(s, "font weight is allowed only in DIALOGEX");
            } else if (IsKeyword(s, "LANGUAGE")) {
                Next();
                language_ = Language();
            } else if (IsKeyword(s, "CHARACTERISTICS") || IsKeyword(s, "VERSION")) {
                Next();
                Expr();
            } else {
                Fail(s, "unknown dialog statement " + Describe(s) + " (expected STYLE, EXSTYLE, CAPTION, FONT, CLASS, MENU or BEGIN)");
            }
        }
        (void)gotStyle;
        if (!caption.empty()) style |= WS_CAPTION;
        if (gotFont) style |= DS_SETFONT;
        const Token& begin = Next();
        Writer items;
        std::uint32_t count = 0;
        while (!AtEnd()) {
            if (Peek().kind == Token::kEnd)
                Fail(Peek(), "missing END of the dialog controls that begin at line " + std::to_string(begin.line));
            Control(items);
            ++count;
        }
        Next();
        Writer w;
        w.U32(extended ? 1 : 0);
        w.U32(style);
        w.U32(exStyle);
        w.U32(helpId);
        w.I32(x);
        w.I32(y);
        w.I32(cx);
        w.I32(cy);
        w.Text(caption);
        w.Text(className);
        w.Text(menu);
        w.Text(fontName);
        w.I32(pointSize);
        w.I32(weight);
        w.U32(italic ? 1 : 0);
        w.U32(std::uint32_t(charset));
        w.U32(count);
        w.Bytes(items.bytes());
        Add(format::kDialog, key, std::move(w.bytes()), at, "dialog");
        language_ = saved;
    }

    // Text of a CONTROL or ICON statement: a string, or a resource reference ("#123" or a name).
    std::string ControlText() {
        const Token& t = Peek();
        if (t.kind == Token::kString) return String("the control text");
        if (IsNameToken(t)) {
            Next();
            return t.text;
        }
        return "#" + std::to_string(Word("resource id"));
    }

    void Control(Writer& w) {
        const Token& kw = Next();
        const ControlKind* kind = nullptr;
        for (const ControlKind& k : kControls)
            if (IsKeyword(kw, k.keyword)) kind = &k;
        if (!kind) Fail(kw, "unknown control statement " + Describe(kw));
        std::string text, className = kind->className;
        if (kind->shape == ControlKind::kText) {
            text = String(std::string("the text of ") + kind->keyword);
            ExpectPunct(",", (std::string("after the text of ") + kind->keyword).c_str());
        } else if (kind->shape == ControlKind::kIcon || kind->shape == ControlKind::kControl) {
            text = ControlText();
            ExpectPunct(",", (std::string("after the text of ") + kind->keyword).c_str());
        }
        const Token& idAt = Peek();
        std::int64_t id = Expr();
        if (id < -1 || id > 0xFFFFFFFFll) Fail(idAt, "control id " + std::to_string(id) + " is out of range");
        ExpectPunct(",", "after the control id");
        DWORD style = WS_CHILD | WS_VISIBLE | kind->defaultStyle, exStyle = 0, helpId = 0;
        if (kind->shape == ControlKind::kControl) {
            const Token& c = Peek();
            if (c.kind == Token::kString) {
                className = CanonicalClass(String("the class name"));
            } else if (c.kind == Token::kIdent) {
                Next();
                className = CanonicalClass(c.text);
            } else {
                Fail(c, "expected a window class name, found " + Describe(c));
            }
            if (className.empty()) Fail(c, "empty window class name");
            ExpectPunct(",", "after the class name");
            style = Style(WS_CHILD | WS_VISIBLE);
            ExpectPunct(",", "after the control style");
        }
        std::int32_t x = Coordinate("x");
        ExpectPunct(",", "after the control's x");
        std::int32_t y = Coordinate("y");
        std::int32_t cx = 0, cy = 0;
        bool more = true;
        if (kind->shape == ControlKind::kIcon) {
            more = EatPunct(",");
            if (more) {
                cx = Coordinate("width");
                ExpectPunct(",", "after the control's width");
                cy = Coordinate("height");
            }
        } else {
            ExpectPunct(",", "after the control's y");
            cx = Coordinate("width");
            ExpectPunct(",", "after the control's width");
            cy = Coordinate("height");
        }
        if (more && EatPunct(",")) {
            if (kind->shape != ControlKind::kControl) {
                style = Style(style);
                if (EatPunct(",")) exStyle = Style(0);
            } else {
                exStyle = Style(0);
            }
            if (EatPunct(",")) helpId = DWORD(Expr());
        }
        w.Text(className);
        w.Text(text);
        w.U32(std::uint32_t(id));
        w.U32(style);
        w.U32(exStyle);
        w.U32(helpId);
        w.I32(x);
        w.I32(y);
        w.I32(cx);
        w.I32(cy);
    }

    std::vector<unsigned char> ReadImageFile(const Token& at, const std::string& name, const char* what) {
        std::string path = pp_.Resolve(name, *at.file, true);
        if (path.empty()) Fail(at, std::string("cannot open ") + what + " file '" + name + "'");
        std::ifstream in(path, std::ios::binary);
        std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) Fail(at, std::string("cannot read ") + what + " file '" + name + "'");
        files_.push_back(path);
        return data;
    }

    static void WriteImage(Writer& w, const DecodedImage& image) {
        w.U32(std::uint32_t(image.width));
        w.U32(std::uint32_t(image.height));
        w.U32(std::uint32_t(image.bitCount));
        for (std::uint32_t p : image.pixels) w.U32(p);
    }

    void Icon(const std::string& key, const Token& at) {
        SkipMemoryFlags();
        const Token& f = Peek();
        std::string name = String("the icon file name");
        std::vector<unsigned char> data = ReadImageFile(f, name, "icon");
        std::vector<DecodedImage> images;
        std::string why;
        if (!DecodeIcoFile(data, images, why)) Fail(f, "icon file '" + name + "': " + why);
        Writer w;
        w.U32(std::uint32_t(images.size()));
        for (const auto& image : images) WriteImage(w, image);
        Add(format::kIconGroup, key, std::move(w.bytes()), at, "icon");
    }

    void Bitmap(const std::string& key, const Token& at) {
        SkipMemoryFlags();
        const Token& f = Peek();
        std::string name = String("the bitmap file name");
        std::vector<unsigned char> data = ReadImageFile(f, name, "bitmap");
        DecodedImage image;
        std::string why;
        if (!DecodeBmpFile(data, image, why)) Fail(f, "bitmap file '" + name + "': " + why);
        Writer w;
        WriteImage(w, image);
        Add(format::kBitmap, key, std::move(w.bytes()), at, "bitmap");
    }

    void VersionParts(DWORD& ms, DWORD& ls) {
        DWORD parts[4] = {0, 0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            parts[i] = Word("version part");
            if (!EatPunct(",")) break;
            if (i == 3) Fail(Peek(), "a version has at most 4 parts");
        }
        ms = (parts[0] << 16) | parts[1];
        ls = (parts[2] << 16) | parts[3];
    }

    struct VersionValue {
        std::string name;
        bool isText = false;
        std::string text;
        std::vector<std::uint32_t> numbers;
    };

    // VALUE "name", items...: strings join; numbers are 16-bit words.
    VersionValue Value() {
        VersionValue v;
        v.name = String("the value name");
        while (EatPunct(",")) {
            if (Peek().kind == Token::kString) {
                v.isText = true;
                v.text += String("the value");
            } else {
                v.numbers.push_back(Word("version value"));
            }
        }
        return v;
    }

    void VersionInfo(const std::string& key, const Token& at) {
        DWORD fixed[9] = {0, 0, 0, 0, 0x3F, 0, 0x40004, 0, 0};
        while (!AtBegin()) {
            const Token& s = Peek();
            if (s.kind == Token::kEnd) Fail(s, "expected BEGIN or '{' to open the version info, found end of file");
            Next();
            if (IsKeyword(s, "FILEVERSION")) VersionParts(fixed[0], fixed[1]);
            else if (IsKeyword(s, "PRODUCTVERSION")) VersionParts(fixed[2], fixed[3]);
            else if (IsKeyword(s, "FILEFLAGSMASK")) fixed[4] = DWORD(Expr());
            else if (IsKeyword(s, "FILEFLAGS")) fixed[5] = DWORD(Expr());
            else if (IsKeyword(s, "FILEOS")) fixed[6] = DWORD(Expr());
            else if (IsKeyword(s, "FILETYPE")) fixed[7] = DWORD(Expr());
            else if (IsKeyword(s, "FILESUBTYPE")) fixed[8] = DWORD(Expr());
            else Fail(s, "unknown version info statement " + Describe(s));
        }
        Next();
        struct Block {
            std::string key;
            std::vector<std::pair<std::string, std::string>> values;
        };
        std::vector<Block> blocks;
        std::vector<std::uint32_t> translations;
        while (!AtEnd()) {
            const Token& b = Peek();
            if (b.kind == Token::kEnd) Fail(b, "missing END of the version info");
            if (!IsKeyword(b, "BLOCK")) Fail(b, "expected BLOCK in the version info, found " + Describe(b));
            Next();
            std::string name = String("the block name");
            ExpectBegin("to open block \"" + name + "\"");
            if (Upper(name) == "STRINGFILEINFO") {
                while (!AtEnd()) {
                    const Token& inner = Peek();
                    if (!IsKeyword(inner, "BLOCK")) Fail(inner, "expected BLOCK in StringFileInfo, found " + Describe(inner));
                    Next();
                    Block block;
                    block.key = String("the language block name");
                    ExpectBegin("to open block \"" + block.key + "\"");
                    while (!AtEnd()) {
                        const Token& v = Peek();
                        if (!IsKeyword(v, "VALUE")) Fail(v, "expected VALUE in a string block, found " + Describe(v));
                        Next();
                        VersionValue value = Value();
                        if (!value.numbers.empty()) Fail(v, "version string \"" + value.name + "\" must be text");
                        block.values.emplace_back(value.name, value.text);
                    }
                    Next();
                    blocks.push_back(std::move(block));
                }
            } else if (Upper(name) == "VARFILEINFO") {
                while (!AtEnd()) {
                    const Token& v = Peek();
                    if (!IsKeyword(v, "VALUE")) Fail(v, "expected VALUE in VarFileInfo, found " + Describe(v));
                    Next();
                    VersionValue value = Value();
                    if (Upper(value.name) != "TRANSLATION") Fail(v, "unknown VarFileInfo value \"" + value.name + "\"");
                    if (value.isText || value.numbers.size() % 2 != 0)
                        Fail(v, "Translation expects pairs of language and code page numbers");
                    translations.insert(translations.end(), value.numbers.begin(), value.numbers.end());
                }
            } else {
                Fail(b, "unknown version block \"" + name + "\" (expected StringFileInfo or VarFileInfo)");
            }
            Next();
        }
        Next();
        Writer w;
        for (DWORD f : fixed) w.U32(f);
        w.U32(std::uint32_t(blocks.size()));
        for (const auto& block : blocks) {
            w.Text(block.key);
            w.U32(std::uint32_t(block.values.size()));
            for (const auto& [n, v] : block.values) {
                w.Text(n);
                w.Text(v);
            }
        }
        w.U32(std::uint32_t(translations.size() / 2));
        for (std::uint32_t t : translations) w.U32(t);
        Add(format::kVersion, key, std::move(w.bytes()), at, "version info");
    }

    std::vector<Token> t_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    Preprocessor& pp_;
    std::vector<Entry> entries_;
    std::uint32_t language_ = 0x0409;

public:
    std::vector<std::string> files_;
};

std::vector<unsigned char> Serialize(const std::vector<Entry>& entries) {
    Writer w;
    for (char c : format::kMagic) w.U8(std::uint8_t(c));
    w.U32(0);  // total size
    w.U32(std::uint32_t(entries.size()));
    w.U32(0);  // checksum
    w.U32(format::kFormatVersion);
    for (const Entry& e : entries) {
        w.U32(e.type);
        w.Text(e.key);
        w.U32(e.language);
        w.U32(std::uint32_t(e.payload.size()));
        w.Bytes(e.payload);
    }
    std::size_t end = w.Size();
    while (w.Size() % 8) w.U8(0);
    w.PatchU32(8, std::uint32_t(w.Size()));
    w.PatchU32(16, format::Checksum(w.bytes().data() + format::kHeaderSize, end - format::kHeaderSize));
    return std::move(w.bytes());
}

CompileResult Compile(const std::string& path, const std::string* text, const CompileOptions& options) {
    CompileResult result;
    Preprocessor pp(options.includeDirs);
    try {
        std::vector<Token> tokens = pp.Run(path, text);
        Parser parser(std::move(tokens), pp);
        std::vector<Entry> entries = parser.Run();
        result.blob = Serialize(entries);
        result.dependencies = pp.Files();
        for (const auto& f : parser.files_)
            if (std::find(result.dependencies.begin(), result.dependencies.end(), f) == result.dependencies.end())
                result.dependencies.push_back(f);
        result.ok = true;
    } catch (const RcError& e) {
        result.error = {e.file, e.line, e.what()};
    } catch (const std::exception& e) {
        result.error = {path, 0, std::string("internal error: ") + e.what()};
    }
    return result;
}

std::string EscapeDep(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

// Writes through a temporary file and a rename, so that a failure leaves no partial output.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& err) {
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            err = path + ": cannot write output file\n";
            return false;
        }
        out << content;
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(tmp, ec);
            err = path + ": cannot write output file\n";
            return false;
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        fs::remove(tmp, ec);
        err = path + ": cannot write output file\n";
        return false;
    }
    return true;
}

bool IsIdentifier(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

}  // namespace

std::string Diagnostic::ToString() const {
    if (line <= 0) return file + ": " + message;
    return file + ":" + std::to_string(line) + ": " + message;
}

CompileResult CompileFile(const std::string& path, const CompileOptions& options) { return Compile(path, nullptr, options); }

CompileResult CompileText(const std::string& name, const std::string& text, const CompileOptions& options) {
    return Compile(name, &text, options);
}

std::string GenerateSource(const std::vector<unsigned char>& blob, OutputKind kind, const std::string& moduleName) {
    std::ostringstream s;
    s << "// Generated by orvrc from the resource script of module \"" << moduleName << "\". Do not edit.\n";
    s << "#include <cstddef>\n\n";
    std::ostringstream bytes;
    for (std::size_t i = 0; i < blob.size(); ++i) {
        if (i % 24 == 0) bytes << "\n   ";
        bytes << ' ' << unsigned(blob[i]) << ',';
    }
    const char* attrs = "__attribute__((section(\"orv_resources\"), used, aligned(8)))";
    if (kind == OutputKind::kSatellite) {
        s << "// A satellite carries resources only: no code of ours runs when it is loaded.\n";
        s << "extern \"C\" {\n";
        s << "extern __attribute__((visibility(\"default\"))) const unsigned char " << format::kEntrySymbol << "["
          << blob.size() << "];\n";
        s << attrs << " const unsigned char " << format::kEntrySymbol << "[" << blob.size() << "] = {" << bytes.str()
          << "\n};\n}\n";
    } else {
        std::string tag = IsIdentifier(moduleName) ? moduleName : std::string("module");
        s << "extern \"C\" void orv_res_register_linked(const void* anchor, const unsigned char* data, std::size_t size);\n";
        s << "extern \"C\" void orv_res_unregister_linked(const unsigned char* data);\n\n";
        s << "namespace {\n\n";
        s << attrs << " const unsigned char kResources_" << tag << "[" << blob.size() << "] = {" << bytes.str()
          << "\n};\n\n";
        s << "// Registers the resources with the module they are linked into, while it is loaded.\n";
        s << "struct Registration_" << tag << " {\n";
        s << "    Registration_" << tag << "() { orv_res_register_linked(kResources_" << tag << ", kResources_" << tag
          << ", sizeof kResources_" << tag << "); }\n";
        s << "    ~Registration_" << tag << "() { orv_res_unregister_linked(kResources_" << tag << "); }\n";
        s << "} registration_" << tag << ";\n\n";
        s << "}  // namespace\n";
    }
    return s.str();
}

int RunCompiler(const std::vector<std::string>& args, std::string& err) {
    CompileOptions options;
    std::string input, output, depfile, name;
    bool satellite = false;
    auto usage = [&]() {
        err += "usage: orvrc [-I DIR]... [--satellite] [--name NAME] [--depfile FILE] -o OUT.cpp IN.rc\n";
        return 2;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        if (a == "-I") {
            std::string dir;
            if (!value(dir)) return usage();
            options.includeDirs.push_back(dir);
        } else if (a.rfind("-I", 0) == 0) {
            options.includeDirs.push_back(a.substr(2));
        } else if (a == "-o") {
            if (!value(output)) return usage();
        } else if (a == "--depfile") {
            if (!value(depfile)) return usage();
        } else if (a == "--name") {
            if (!value(name)) return usage();
        } else if (a == "--satellite") {
            satellite = true;
        } else if (!a.empty() && a[0] == '-') {
            err += "orvrc: unknown option '" + a + "'\n";
            return usage();
        } else {
            if (!input.empty()) return usage();
            input = a;
        }
    }
    if (input.empty() || output.empty()) return usage();
    if (name.empty()) name = fs::path(input).stem().string();
    CompileResult result = CompileFile(input, options);
    std::error_code ec;
    if (!result.ok) {
        err += result.error.ToString() + "\n";
        fs::remove(output, ec);  // never leave an output of an older script behind a failed build
        return 1;
    }
    std::string source = GenerateSource(result.blob, satellite ? OutputKind::kSatellite : OutputKind::kLinked, name);
    if (!WriteFileAtomically(output, source, err)) return 1;
    if (!depfile.empty()) {
        std::string deps = EscapeDep(output) + ":";
        for (const auto& d : result.dependencies) deps += " \\\n  " + EscapeDep(fs::absolute(d).lexically_normal().string());
        deps += "\n";
        if (!WriteFileAtomically(depfile, deps, err)) return 1;
    }
    return 0;
}

}  // namespace orv::rc
