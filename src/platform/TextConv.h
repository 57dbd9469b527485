#pragma once
// Conversions between UTF-16 (everything inside the program), UTF-8 (XML files)
// and the ANSI code page (936 on the console's Chinese Windows).
#include <string>
#include <string_view>

namespace qv {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
// The ANSI form without best-fit or default characters; false when some character has
// none (a file written with it would silently hold "?" instead).
bool WideToAnsiExact(std::wstring_view text, std::string& out);

// The text, or an empty one for none (a NULL column, no diagnostic).
inline const wchar_t* OrEmpty(const wchar_t* text) { return text ? text : L""; }

}  // namespace qv
