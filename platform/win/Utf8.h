#pragma once
// The one place where wide window text and UTF-8 record/file text are converted.

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// Invalid input never fails: ill-formed UTF-8 sequences and lone surrogates become U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// The longest prefix of utf8 that is at most maxBytes long and does not end inside a
// multi-byte character. Used wherever text is cut to a fixed-size record field.
std::size_t Utf8PrefixLength(std::string_view utf8, std::size_t maxBytes);

}  // namespace orv
