#pragma once
// Formatting helpers with the framework's semantics.
//
// Printf style: in a wide format "%s" and "%c" take wide text (as the framework's wide printf
// does), "%hs"/"%S" take narrow UTF-8 text. Length modifiers follow the framework's 64-bit data
// model: "l" is 32 bits (LONG), "ll" and "I64" are 64 bits, "z" and "I" pointer-sized.
//
// FormatMessage style: "%1" to "%99" insert arguments, each optionally followed by a printf
// conversion between exclamation marks ("%2!ld!"; the default is "!s!"). "%%" gives "%",
// "%n" a line break, "%0" ends the text, "% ", "%.", "%!" give the character itself.

#include <cstdarg>
#include <span>
#include <string>
#include <string_view>

namespace orv {

std::wstring FormatPrintf(const wchar_t* format, ...);
std::wstring FormatPrintfV(const wchar_t* format, va_list args);

// Arguments are read from the list in insert-number order, each with the type its
// conversion names; an insert used twice reads its argument once.
std::wstring FormatMessageInserts(const wchar_t* format, ...);
std::wstring FormatMessageInsertsV(const wchar_t* format, va_list args);

// The same with every insert given as text (the conversion of each insert is ignored but
// for "!s!"-style width and precision).
std::wstring FormatMessageStrings(std::wstring_view format, std::span<const std::wstring> inserts);

}  // namespace orv
