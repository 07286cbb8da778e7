#include "platform/win/TextFormat.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <algorithm>
#include <map>
#include <variant>
#include <vector>

#include "platform/win/Utf8.h"

namespace orv {
namespace {

struct Spec {
    std::string flags;
    int width = -1;        // -2: taken from the argument list
    int precision = -1;    // -2: taken from the argument list
    std::string length;    // "", "hh", "h", "l", "ll", "I64", "I32", "I", "z", "j", "t", "L"
    wchar_t conversion = 0;
};

// Parses a conversion after '%' at format[i]; returns false if it is not a conversion.
bool ParseSpec(std::wstring_view f, std::size_t& i, Spec& spec) {
    while (i < f.size() && std::wstring_view(L"-+ #0").find(f[i]) != std::wstring_view::npos) {
        spec.flags += char(f[i++]);
    }
    if (i < f.size() && f[i] == L'*') {
        spec.width = -2;
        ++i;
    } else if (i < f.size() && iswdigit(f[i])) {
        spec.width = 0;
        while (i < f.size() && iswdigit(f[i])) spec.width = spec.width * 10 + (f[i++] - L'0');
    }
    if (i < f.size() && f[i] == L'.') {
        ++i;
        if (i < f.size() && f[i] == L'*') {
            spec.precision = -2;
            ++i;
        } else {
            spec.precision = 0;
            while (i < f.size() && iswdigit(f[i])) spec.precision = spec.precision * 10 + (f[i++] - L'0');
        }
    }
    auto starts = [&](std::wstring_view s) { return f.substr(i, s.size()) == s; };
    for (std::wstring_view len : {L"I64", L"I32", L"hh", L"ll", L"h", L"l", L"I", L"z", L"j", L"t", L"L", L"w"}) {
        if (starts(len)) {
            spec.length = WideToUtf8(len);
            i += len.size();
            break;
        }
    }
    if (i >= f.size()) return false;
    spec.conversion = f[i++];
    return std::wstring_view(L"diouxXeEfFgGaAcCsSp").find(spec.conversion) != std::wstring_view::npos;
}

std::string NarrowSpec(const Spec& s, const char* length) {
    std::string out = "%" + s.flags;
    if (s.width >= 0) out += std::to_string(s.width);
    if (s.precision >= 0) out += "." + std::to_string(s.precision);
    out += length;
    out += char(s.conversion);
    return out;
}

template <typename T>
std::wstring Snprintf(const std::string& spec, T value) {
    char buf[512];
    int n = std::snprintf(buf, sizeof buf, spec.c_str(), value);
    if (n < 0) return L"";
    if (std::size_t(n) < sizeof buf) return Utf8ToWide(std::string_view(buf, n));
    std::string big(std::size_t(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), spec.c_str(), value);
    big.resize(std::size_t(n));
    return Utf8ToWide(big);
}

std::wstring PadText(std::wstring text, const Spec& s) {
    if (s.precision >= 0 && text.size() > std::size_t(s.precision)) text.resize(std::size_t(s.precision));
    if (s.width > 0 && text.size() < std::size_t(s.width)) {
        const std::size_t pad = std::size_t(s.width) - text.size();
        if (s.flags.find('-') != std::string::npos) {
            text.append(pad, L' ');
        } else {
            text.insert(0, pad, L' ');
        }
    }
    return text;
}

bool IsWide64(const Spec& s) { return s.length == "ll" || s.length == "I64" || s.length == "j"; }
bool IsPointerSized(const Spec& s) { return s.length == "z" || s.length == "I" || s.length == "t"; }
bool IsSigned(wchar_t c) { return c == L'd' || c == L'i'; }
bool IsInteger(wchar_t c) { return std::wstring_view(L"diouxX").find(c) != std::wstring_view::npos; }
bool IsFloat(wchar_t c) { return std::wstring_view(L"eEfFgGaA").find(c) != std::wstring_view::npos; }
bool IsNarrowText(const Spec& s) {
    // In a wide format: %s, %ls, %ws are wide; %hs and %S are narrow.
    if (s.length == "h") return true;
    if (s.length == "l" || s.length == "w") return false;
    return s.conversion == L'S' || s.conversion == L'C';
}

// One formatted conversion whose argument has already been fetched.
using Arg = std::variant<std::int64_t, std::uint64_t, double, long double, std::wstring, const void*>;

Arg FetchArg(const Spec& s, va_list& args) {
    const wchar_t c = s.conversion;
    if (IsInteger(c)) {
        if (IsSigned(c)) {
            if (IsWide64(s)) return std::int64_t(va_arg(args, long long));
            if (IsPointerSized(s)) return std::int64_t(va_arg(args, std::intptr_t));
            std::int64_t v = va_arg(args, int);
            if (s.length == "h") v = short(v);
            if (s.length == "hh") v = static_cast<signed char>(v);
            return v;
        }
        if (IsWide64(s)) return std::uint64_t(va_arg(args, unsigned long long));
        if (IsPointerSized(s)) return std::uint64_t(va_arg(args, std::uintptr_t));
        std::uint64_t v = va_arg(args, unsigned int);
        if (s.length == "h") v = static_cast<unsigned short>(v);
        if (s.length == "hh") v = static_cast<unsigned char>(v);
        return v;
    }
    if (IsFloat(c)) {
        if (s.length == "L") return va_arg(args, long double);
        return va_arg(args, double);
    }
    if (c == L'c' || c == L'C') {
        const int ch = va_arg(args, int);
        return std::wstring(1, IsNarrowText(s) ? wchar_t(static_cast<unsigned char>(ch)) : wchar_t(ch));
    }
    if (c == L's' || c == L'S') {
        if (IsNarrowText(s)) {
            const char* p = va_arg(args, const char*);
            return p ? Utf8ToWide(p) : std::wstring(L"(null)");
        }
        const wchar_t* p = va_arg(args, const wchar_t*);
        return p ? std::wstring(p) : std::wstring(L"(null)");
    }
    return static_cast<const void*>(va_arg(args, void*));
}

std::wstring FormatArg(const Spec& s, const Arg& arg) {
    const wchar_t c = s.conversion;
    if (const auto* v = std::get_if<std::int64_t>(&arg)) return Snprintf(NarrowSpec(s, "ll"), static_cast<long long>(*v));
    if (const auto* v = std::get_if<std::uint64_t>(&arg)) {
        return Snprintf(NarrowSpec(s, "ll"), static_cast<unsigned long long>(*v));
    }
    if (const auto* v = std::get_if<double>(&arg)) return Snprintf(NarrowSpec(s, ""), *v);
    if (const auto* v = std::get_if<long double>(&arg)) return Snprintf(NarrowSpec(s, "L"), *v);
    if (const auto* v = std::get_if<std::wstring>(&arg)) {
        Spec textSpec = s;
        if (c == L'c' || c == L'C') textSpec.precision = -1;
        return PadText(*v, textSpec);
    }
    return Snprintf(NarrowSpec(s, ""), std::get<const void*>(arg));
}

void ResolveStars(Spec& s, va_list& args) {
    if (s.width == -2) {
        s.width = va_arg(args, int);
        if (s.width < 0) {
            s.flags += '-';
            s.width = -s.width;
        }
    }
    if (s.precision == -2) {
        s.precision = va_arg(args, int);
        if (s.precision < 0) s.precision = -1;
    }
}

}  // namespace

std::wstring FormatPrintfV(const wchar_t* format, va_list args) {
    std::wstring out;
    if (!format) return out;
    const std::wstring_view f(format);
    va_list ap;
    va_copy(ap, args);
    for (std::size_t i = 0; i < f.size();) {
        if (f[i] != L'%') {
            out += f[i++];
            continue;
        }
        const std::size_t start = i++;
        if (i < f.size() && f[i] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        Spec spec;
        if (!ParseSpec(f, i, spec)) {
            out.append(f.substr(start, i - start));  // not a conversion: shown as written
            continue;
        }
        ResolveStars(spec, ap);
        out += FormatArg(spec, FetchArg(spec, ap));
    }
    va_end(ap);
    return out;
}

std::wstring FormatPrintf(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring out = FormatPrintfV(format, args);
    va_end(args);
    return out;
}

namespace {

struct Insert {
    int number = 0;           // 1..99; 0 for literal text
    Spec spec;                // conversion of the insert
    std::wstring literal;
    bool stop = false;        // "%0"
};

std::vector<Insert> ParseMessage(std::wstring_view f) {
    std::vector<Insert> parts;
    std::wstring text;
    auto flush = [&] {
        if (!text.empty()) parts.push_back(Insert{0, {}, std::move(text), false});
        text.clear();
    };
    for (std::size_t i = 0; i < f.size();) {
        if (f[i] != L'%' || i + 1 >= f.size()) {
            text += f[i++];
            continue;
        }
        const wchar_t next = f[i + 1];
        if (next == L'0') {
            flush();
            parts.push_back(Insert{0, {}, {}, true});
            return parts;
        }
        if (iswdigit(next)) {
            int number = next - L'0';
            i += 2;
            if (i < f.size() && iswdigit(f[i]) && number * 10 + (f[i] - L'0') <= 99) number = number * 10 + (f[i++] - L'0');
            Spec spec;
            spec.conversion = L's';
            if (i < f.size() && f[i] == L'!') {
                const std::size_t close = f.find(L'!', i + 1);
                if (close != std::wstring_view::npos) {
                    std::size_t j = i + 1;
                    Spec parsed;
                    const std::wstring_view inner = f.substr(0, close);
                    if (ParseSpec(inner, j, parsed) && j == close) spec = parsed;
                    i = close + 1;
                }
            }
            flush();
            parts.push_back(Insert{number, spec, {}, false});
            continue;
        }
        i += 2;
        switch (next) {
            case L'n': text += L"\r\n"; break;
            case L'r': text += L'\r'; break;
            case L't': text += L'\t'; break;
            default: text += next; break;  // %% % . ! and any other character: itself
        }
    }
    flush();
    return parts;
}

}  // namespace

std::wstring FormatMessageInsertsV(const wchar_t* format, va_list args) {
    if (!format) return {};
    const std::vector<Insert> parts = ParseMessage(format);
    std::map<int, Spec> specs;
    int highest = 0;
    for (const Insert& p : parts) {
        if (p.number > 0) {
            specs.try_emplace(p.number, p.spec);
            highest = std::max(highest, p.number);
        }
    }
    va_list ap;
    va_copy(ap, args);
    std::map<int, Arg> values;
    std::map<int, Spec> resolved;
    for (int n = 1; n <= highest; ++n) {
        Spec s;
        s.conversion = L's';
        if (auto it = specs.find(n); it != specs.end()) s = it->second;
        ResolveStars(s, ap);
        resolved[n] = s;
        values.emplace(n, FetchArg(s, ap));
    }
    va_end(ap);
    std::wstring out;
    for (const Insert& p : parts) {
        if (p.stop) break;
        if (p.number == 0) {
            out += p.literal;
        } else {
            out += FormatArg(resolved[p.number], values[p.number]);
        }
    }
    return out;
}

std::wstring FormatMessageInserts(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring out = FormatMessageInsertsV(format, args);
    va_end(args);
    return out;
}

std::wstring FormatMessageStrings(std::wstring_view format, std::span<const std::wstring> inserts) {
    std::wstring out;
    for (const Insert& p : ParseMessage(format)) {
        if (p.stop) break;
        if (p.number == 0) {
            out += p.literal;
        } else if (std::size_t(p.number) <= inserts.size()) {
            Spec s = p.spec;
            if (s.conversion != L's' && s.conversion != L'S') s = Spec{};
            if (s.width == -2) s.width = -1;
            if (s.precision == -2) s.precision = -1;
            out += PadText(inserts[std::size_t(p.number) - 1], s);
        }
    }
    return out;
}

}  // namespace orv
