#include "platform/registry/RegistryFile.h"

#include <cstdio>
#include <cstring>

#include "platform/registry/Registry.h"
#include "platform/win/Utf8.h"

namespace orv::registry {

namespace {

wchar_t FoldChar(wchar_t c) {
    const unsigned u = unsigned(c);
    if (u >= 'a' && u <= 'z') return wchar_t(u - 32);
    if (u < 0x80) return c;
    if ((u >= 0xE0 && u <= 0xFE && u != 0xF7)) return wchar_t(u - 32);
    if (u == 0xFF) return wchar_t(0x178);
    if (u >= 0x100 && u <= 0x17F) {
        // Latin Extended-A pairs upper/lower as even/odd, shifted by one in two ranges.
        const bool shifted = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
        if (u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) return c;
        if (shifted) return (u % 2 == 0) ? wchar_t(u - 1) : c;
        return (u % 2 == 1) ? wchar_t(u - 1) : c;
    }
    if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return wchar_t(u - 32);
    if (u >= 0x430 && u <= 0x44F) return wchar_t(u - 32);
    if (u >= 0x450 && u <= 0x45F) return wchar_t(u - 80);
    return c;
}

std::string Hex2(unsigned v) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", v & 0xFF);
    return buf;
}

std::string EscapePath(std::wstring_view path) {
    std::string out;
    for (wchar_t c : path) {
        if (c == L'%' || c == L'[' || c == L']' || unsigned(c) < 0x20 || c == 0x7F) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", unsigned(c));
            out += buf;
        } else {
            out += WideToUtf8(std::wstring_view(&c, 1));
        }
    }
    return out;
}

std::string Quote(std::wstring_view text) {
    std::string out = "\"";
    for (wchar_t c : text) {
        switch (c) {
            case L'\\': out += "\\\\"; break;
            case L'"': out += "\\\""; break;
            case L'\n': out += "\\n"; break;
            case L'\r': out += "\\r"; break;
            case L'\t': out += "\\t"; break;
            default:
                if (unsigned(c) < 0x20 || c == 0x7F) {
                    out += "\\x" + Hex2(unsigned(c));
                } else {
                    out += WideToUtf8(std::wstring_view(&c, 1));
                }
        }
    }
    return out + "\"";
}

// Whether the data is exactly one text and its NUL terminator, representable in UTF-8.
bool IsPlainText(const std::vector<BYTE>& data, std::wstring& text) {
    if (data.size() < sizeof(wchar_t) || data.size() % sizeof(wchar_t) != 0) return false;
    const std::size_t n = data.size() / sizeof(wchar_t);
    text.resize(n - 1);
    if (n > 1) std::memcpy(text.data(), data.data(), (n - 1) * sizeof(wchar_t));
    wchar_t last = 0;
    std::memcpy(&last, data.data() + (n - 1) * sizeof(wchar_t), sizeof(wchar_t));
    if (last != 0) return false;
    for (wchar_t c : text) {
        const unsigned u = unsigned(c);
        if (u == 0 || (u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF) return false;
    }
    return true;
}

std::string HexBytes(const std::vector<BYTE>& data) {
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i) out += ',';
        out += Hex2(data[i]);
    }
    return out;
}

void WriteKey(const RegKeyNode& key, const std::wstring& path, bool isRoot, std::string& out) {
    if (key.isVolatile) return;
    out += "\n[" + EscapePath(path) + "]\n";
    for (const auto& v : key.values) {
        out += v.name.empty() ? std::string("@") : Quote(v.name);
        out += '=';
        std::wstring text;
        if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && IsPlainText(v.data, text)) {
            if (v.type == REG_EXPAND_SZ) out += "expand:";
            out += Quote(text);
        } else if (v.type == REG_DWORD && v.data.size() == 4) {
            DWORD d = 0;
            std::memcpy(&d, v.data.data(), 4);
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x", unsigned(d));
            out += buf;
        } else if (v.type == REG_QWORD && v.data.size() == 8) {
            ULONGLONG q = 0;
            std::memcpy(&q, v.data.data(), 8);
            char buf[32];
            std::snprintf(buf, sizeof buf, "qword:%016llx", (unsigned long long)q);
            out += buf;
        } else if (v.type == REG_BINARY) {
            out += "hex:" + HexBytes(v.data);
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", unsigned(v.type));
            out += buf + HexBytes(v.data);
        }
        out += '\n';
    }
    for (const auto& [folded, child] : key.subkeys) {
        WriteKey(*child, isRoot ? child->name : path + L"\\" + child->name, false, out);
    }
}

// A line-oriented reader with positions for messages.
class Parser {
public:
    Parser(std::string_view text, RegKeyNode& root, std::wstring& error) : text_(text), root_(root), error_(error) {}

    bool Run() {
        bool sawHeader = false;
        RegKeyNode* current = nullptr;
        std::size_t pos = 0;
        while (pos <= text_.size()) {
            std::size_t end = text_.find('\n', pos);
            if (end == std::string_view::npos) end = text_.size();
            std::string_view raw = text_.substr(pos, end - pos);
            if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
            ++line_;
            line8_ = raw;
            col_ = 0;
            SkipSpaces();
            if (col_ < line8_.size() && line8_[col_] != ';') {
                if (!sawHeader) {
                    if (Rest() != "ORV-REGISTRY 1") return Fail("expected the header \"ORV-REGISTRY 1\"");
                    sawHeader = true;
                } else if (line8_[col_] == '[') {
                    current = Section();
                    if (!current) return false;
                } else {
                    if (!current) return Fail("expected a key section \"[...]\" before the first value");
                    if (!ValueLine(*current)) return false;
                }
            }
            if (end == text_.size()) break;
            pos = end + 1;
        }
        if (!sawHeader) return Fail("expected the header \"ORV-REGISTRY 1\"");
        return true;
    }

private:
    std::string_view Rest() const {
        std::string_view r = line8_.substr(col_);
        while (!r.empty() && (r.back() == ' ' || r.back() == '\t')) r.remove_suffix(1);
        return r;
    }
    void SkipSpaces() {
        while (col_ < line8_.size() && (line8_[col_] == ' ' || line8_[col_] == '\t')) ++col_;
    }
    bool Fail(const std::string& what) {
        error_ = L"line " + std::to_wstring(line_) + L": " + Utf8ToWide(what);
        return false;
    }
    static int Hex(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    RegKeyNode* Section() {
        std::string_view r = Rest();
        if (r.size() < 2 || r.back() != ']') {
            Fail("expected ']' at the end of the key section");
            return nullptr;
        }
        std::string_view inner = r.substr(1, r.size() - 2);
        std::string decoded;
        for (std::size_t i = 0; i < inner.size(); ++i) {
            if (inner[i] == '%') {
                if (i + 2 >= inner.size() || Hex(inner[i + 1]) < 0 || Hex(inner[i + 2]) < 0) {
                    Fail("expected two hexadecimal digits after '%' in the key path");
                    return nullptr;
                }
                decoded += char(Hex(inner[i + 1]) * 16 + Hex(inner[i + 2]));
                i += 2;
            } else if (inner[i] == '[' || inner[i] == ']') {
                Fail(std::string("unexpected '") + inner[i] + "' in the key path");
                return nullptr;
            } else {
                decoded += inner[i];
            }
        }
        const std::wstring path = Utf8ToWide(decoded);
        RegKeyNode* key = &root_;
        if (path.empty()) return key;
        std::size_t start = 0;
        while (true) {
            const std::size_t sep = path.find(L'\\', start);
            const std::wstring_view part = std::wstring_view(path).substr(start, sep == std::wstring::npos ? std::wstring::npos : sep - start);
            if (part.empty()) {
                Fail("empty key name in the key path");
                return nullptr;
            }
            key = &key->AddChild(part, false);
            if (sep == std::wstring::npos) break;
            start = sep + 1;
        }
        return key;
    }

    bool QuotedText(std::wstring& out) {
        if (col_ >= line8_.size() || line8_[col_] != '"') return Fail("expected '\"'");
        ++col_;
        std::string bytes;
        while (true) {
            if (col_ >= line8_.size()) return Fail("expected '\"' at the end of the text");
            const char c = line8_[col_++];
            if (c == '"') break;
            if (c != '\\') {
                bytes += c;
                continue;
            }
            if (col_ >= line8_.size()) return Fail("expected an escape character after '\\'");
            const char e = line8_[col_++];
            switch (e) {
                case '\\': bytes += '\\'; break;
                case '"': bytes += '"'; break;
                case 'n': bytes += '\n'; break;
                case 'r': bytes += '\r'; break;
                case 't': bytes += '\t'; break;
                case 'x': {
                    if (col_ + 1 >= line8_.size() || Hex(line8_[col_]) < 0 || Hex(line8_[col_ + 1]) < 0)
                        return Fail("expected two hexadecimal digits after \"\\x\"");
                    bytes += char(Hex(line8_[col_]) * 16 + Hex(line8_[col_ + 1]));
                    col_ += 2;
                    break;
                }
                default:
                    --col_;
                    return Fail(std::string("unknown escape \"\\") + e + "\"");
            }
        }
        out = Utf8ToWide(bytes);
        return true;
    }

    bool Number(int digits, ULONGLONG& out) {
        out = 0;
        int n = 0;
        while (col_ < line8_.size() && Hex(line8_[col_]) >= 0) {
            out = (out << 4) | ULONGLONG(Hex(line8_[col_]));
            ++col_;
            if (++n > digits) return Fail("too many hexadecimal digits");
        }
        if (n == 0) return Fail("expected a hexadecimal number");
        return true;
    }

    bool Bytes(std::vector<BYTE>& out) {
        SkipSpaces();
        if (col_ >= line8_.size()) return true;
        while (true) {
            SkipSpaces();
            if (col_ + 1 >= line8_.size() || Hex(line8_[col_]) < 0 || Hex(line8_[col_ + 1]) < 0)
                return Fail("expected a byte as two hexadecimal digits");
            out.push_back(BYTE(Hex(line8_[col_]) * 16 + Hex(line8_[col_ + 1])));
            col_ += 2;
            SkipSpaces();
            if (col_ >= line8_.size()) return true;
            if (line8_[col_] != ',') return Fail("expected ','");
            ++col_;
        }
    }

    bool Prefix(std::string_view word) {
        if (line8_.substr(col_, word.size()) == word) {
            col_ += word.size();
            return true;
        }
        return false;
    }

    bool ValueLine(RegKeyNode& key) {
        RegValue v;
        if (line8_[col_] == '@') {
            ++col_;
        } else if (!QuotedText(v.name)) {
            return false;
        }
        SkipSpaces();
        if (col_ >= line8_.size() || line8_[col_] != '=') return Fail("expected '='");
        ++col_;
        SkipSpaces();
        if (col_ < line8_.size() && line8_[col_] == '"') {
            std::wstring text;
            if (!QuotedText(text)) return false;
            v.type = REG_SZ;
            v.data = TextValueData(text);
        } else if (Prefix("expand:")) {
            std::wstring text;
            if (!QuotedText(text)) return false;
            v.type = REG_EXPAND_SZ;
            v.data = TextValueData(text);
        } else if (Prefix("dword:")) {
            ULONGLONG n = 0;
            if (!Number(8, n)) return false;
            const DWORD d = DWORD(n);
            v.type = REG_DWORD;
            v.data.resize(4);
            std::memcpy(v.data.data(), &d, 4);
        } else if (Prefix("qword:")) {
            ULONGLONG n = 0;
            if (!Number(16, n)) return false;
            v.type = REG_QWORD;
            v.data.resize(8);
            std::memcpy(v.data.data(), &n, 8);
        } else if (Prefix("hex:")) {
            v.type = REG_BINARY;
            if (!Bytes(v.data)) return false;
        } else if (Prefix("hex(")) {
            ULONGLONG t = 0;
            if (!Number(8, t)) return false;
            if (!Prefix("):")) return Fail("expected \"):\"");
            v.type = DWORD(t);
            if (!Bytes(v.data)) return false;
        } else {
            return Fail("expected a value: \"text\", expand:, dword:, qword:, hex: or hex(type):");
        }
        SkipSpaces();
        if (col_ < line8_.size()) return Fail("unexpected text after the value");
        if (RegValue* existing = key.Value(v.name)) {
            *existing = std::move(v);
        } else {
            key.values.push_back(std::move(v));
        }
        return true;
    }

    std::string_view text_;
    RegKeyNode& root_;
    std::wstring& error_;
    std::size_t line_ = 0;
    std::string_view line8_;
    std::size_t col_ = 0;
};

}  // namespace

std::wstring FoldKeyName(std::wstring_view name) {
    std::wstring s(name);
    for (auto& c : s) c = FoldChar(c);
    return s;
}

RegKeyNode* RegKeyNode::Child(std::wstring_view childName) const {
    auto it = subkeys.find(FoldKeyName(childName));
    return it == subkeys.end() ? nullptr : it->second.get();
}

RegKeyNode& RegKeyNode::AddChild(std::wstring_view childName, bool makeVolatile) {
    auto& slot = subkeys[FoldKeyName(childName)];
    if (!slot) {
        slot = std::make_unique<RegKeyNode>();
        slot->name = std::wstring(childName);
        slot->isVolatile = makeVolatile;
    }
    return *slot;
}

RegValue* RegKeyNode::Value(std::wstring_view valueName) {
    const std::wstring folded = FoldKeyName(valueName);
    for (auto& v : values)
        if (FoldKeyName(v.name) == folded) return &v;
    return nullptr;
}

std::vector<BYTE> TextValueData(std::wstring_view text) {
    std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t), 0);
    if (!text.empty()) std::memcpy(data.data(), text.data(), text.size() * sizeof(wchar_t));
    return data;
}

bool ParseHive(std::string_view text, RegKeyNode& root, std::wstring& error) {
    root.values.clear();
    root.subkeys.clear();
    Parser parser(text, root, error);
    return parser.Run();
}

std::string WriteHive(const RegKeyNode& root) {
    std::string out = "ORV-REGISTRY 1\n";
    if (!root.values.empty()) {
        WriteKey(root, L"", true, out);
    } else {
        for (const auto& [folded, child] : root.subkeys) WriteKey(*child, child->name, false, out);
    }
    return out;
}

}  // namespace orv::registry
