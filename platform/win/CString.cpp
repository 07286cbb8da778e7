#include "platform/win/CString.h"

#include <algorithm>
#include <cwctype>
#include <ostream>

#include "platform/res/Resources.h"
#include "platform/win/Kernel.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace {

constexpr const wchar_t* kWhitespace = L" \t\r\n\v\f";

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

CString::CString(const char* utf8) : s_(utf8 ? orv::Utf8ToWide(utf8) : std::wstring()) {}
CString::CString(const std::string& utf8) : s_(orv::Utf8ToWide(utf8)) {}

std::string CString::ToUtf8() const { return orv::WideToUtf8(s_); }

LPTSTR CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) s_.resize(std::size_t(minLength));
    return s_.data();
}

LPTSTR CString::GetBufferSetLength(int length) {
    s_.resize(std::size_t(std::max(0, length)));
    return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        const auto nul = s_.find(L'\0');
        if (nul != std::wstring::npos) s_.resize(nul);
    } else {
        s_.resize(std::min(std::size_t(newLength), s_.size()));
    }
}

CString CString::Left(int count) const { return CString(s_.substr(0, std::size_t(Clamp(count, 0, GetLength())))); }

CString CString::Right(int count) const {
    const int n = Clamp(count, 0, GetLength());
    return CString(s_.substr(s_.size() - std::size_t(n)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(s_.substr(std::size_t(first), std::size_t(count)));
}

CString CString::SpanIncluding(LPCTSTR charSet) const {
    const auto end = s_.find_first_not_of(charSet ? charSet : L"");
    return CString(s_.substr(0, end));
}

CString CString::SpanExcluding(LPCTSTR charSet) const {
    const auto end = s_.find_first_of(charSet ? charSet : L"");
    return CString(s_.substr(0, end));
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    const auto pos = s_.find(ch, std::size_t(start));
    return pos == std::wstring::npos ? -1 : int(pos);
}

int CString::Find(LPCTSTR sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    const auto pos = s_.find(sub, std::size_t(start));
    return pos == std::wstring::npos ? -1 : int(pos);
}

int CString::ReverseFind(wchar_t ch) const {
    const auto pos = s_.rfind(ch);
    return pos == std::wstring::npos ? -1 : int(pos);
}

int CString::FindOneOf(LPCTSTR charSet) const {
    const auto pos = s_.find_first_of(charSet ? charSet : L"");
    return pos == std::wstring::npos ? -1 : int(pos);
}

int CString::Replace(wchar_t oldCh, wchar_t newCh) {
    int count = 0;
    for (auto& c : s_) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCTSTR oldText, LPCTSTR newText) {
    if (!oldText || !*oldText) return 0;
    const std::wstring from(oldText);
    const std::wstring to(newText ? newText : L"");
    int count = 0;
    std::wstring out;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = s_.find(from, pos);
        if (hit == std::wstring::npos) break;
        out.append(s_, pos, hit - pos);
        out += to;
        pos = hit + from.size();
        ++count;
    }
    out.append(s_, pos, std::wstring::npos);
    s_ = std::move(out);
    return count;
}

int CString::Remove(wchar_t ch) {
    const auto before = s_.size();
    std::erase(s_, ch);
    return int(before - s_.size());
}

int CString::Insert(int index, wchar_t ch) {
    s_.insert(std::size_t(Clamp(index, 0, GetLength())), 1, ch);
    return GetLength();
}

int CString::Insert(int index, LPCTSTR text) {
    if (text) s_.insert(std::size_t(Clamp(index, 0, GetLength())), text);
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0) s_.erase(std::size_t(index), std::size_t(count));
    return GetLength();
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(LPCTSTR chars) { return TrimRight(chars).TrimLeft(chars); }
CString& CString::TrimLeft() { return TrimLeft(kWhitespace); }
CString& CString::TrimRight() { return TrimRight(kWhitespace); }

CString& CString::TrimLeft(wchar_t ch) {
    const wchar_t set[2] = {ch, 0};
    return TrimLeft(set);
}

CString& CString::TrimRight(wchar_t ch) {
    const wchar_t set[2] = {ch, 0};
    return TrimRight(set);
}

CString& CString::TrimLeft(LPCTSTR chars) {
    const auto first = s_.find_first_not_of(chars ? chars : L"");
    s_.erase(0, first == std::wstring::npos ? s_.size() : first);
    return *this;
}

CString& CString::TrimRight(LPCTSTR chars) {
    const auto last = s_.find_last_not_of(chars ? chars : L"");
    s_.resize(last == std::wstring::npos ? 0 : last + 1);
    return *this;
}

CString& CString::MakeUpper() {
    for (auto& c : s_) c = wchar_t(std::towupper(wint_t(c)));
    return *this;
}

CString& CString::MakeLower() {
    for (auto& c : s_) c = wchar_t(std::towlower(wint_t(c)));
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(s_.begin(), s_.end());
    return *this;
}

int CString::Compare(LPCTSTR other) const {
    const int c = s_.compare(other ? other : L"");
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCTSTR other) const {
    const wchar_t* a = s_.c_str();
    const wchar_t* b = other ? other : L"";
    for (;; ++a, ++b) {
        const auto ca = std::towlower(wint_t(*a));
        const auto cb = std::towlower(wint_t(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

void CString::Format(LPCTSTR format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR format, va_list args) { s_ = orv::FormatPrintfV(format, args); }

void CString::AppendFormat(LPCTSTR format, ...) {
    va_list args;
    va_start(args, format);
    s_ += orv::FormatPrintfV(format, args);
    va_end(args);
}

void CString::FormatMessage(LPCTSTR format, ...) {
    va_list args;
    va_start(args, format);
    FormatMessageV(format, args);
    va_end(args);
}

void CString::FormatMessageV(LPCTSTR format, va_list args) { s_ = orv::FormatMessageInsertsV(format, args); }

// Null module: the current resource module, then the resource chain, as the framework searches.
BOOL CString::LoadString(UINT id) { return LoadString(nullptr, id); }

BOOL CString::LoadString(HINSTANCE module, UINT id) {
    std::wstring text;
    if (!orv::res::LoadStringResource(module, id, text) && !orv::win::detail::BuiltinString(id, text)) {
        s_.clear();
        return FALSE;
    }
    s_ = std::move(text);
    return TRUE;
}

void PrintTo(const CString& text, std::ostream* os) { *os << '"' << text.ToUtf8() << '"'; }
