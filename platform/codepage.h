// The one Windows-1252 codec of the program. Text is UTF-8 everywhere inside;
// bytes are Windows-1252 only in list files, INI and configuration files and
// the results file, and cross this boundary here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Every byte decodes. The five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) decode to the code points of the same number, as
// Windows' MultiByteToWideChar does.
std::string Cp1252ToUtf8(std::string_view bytes);

// A character outside the code page becomes "?". Malformed UTF-8 sequences
// become "?" too, one per byte.
std::string Utf8ToCp1252(std::string_view text);

// UTF-16 <-> UTF-8, for the wide-character platform functions and the
// library's BSTRs. Unpaired surrogates become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// wchar_t text (UTF-16 on Windows, UTF-32 elsewhere) <-> UTF-8, for the
// 7-Zip library's strings; what cannot be a character becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// The one UTF-8 decoder: the character at text[pos] (pos < text.size()),
// advancing pos past it; nullopt, pos unchanged, when the sequence is
// malformed, overlong, a surrogate or beyond U+10FFFF.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos);
// The one UTF-16 encoder: appends cp, as a surrogate pair above U+FFFF.
void AppendUtf16(std::u16string& out, char32_t cp);

}  // namespace platform
