// Paths between the platform's UTF-16 and the catalogue's 8-bit text. The catalogue keeps
// paths as generalised UTF-8 (WTF-8): UTF-8 in which an unpaired surrogate, which file
// names may hold, keeps its own three bytes, so every name converts back exactly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The platform's limit on a path, in UTF-16 units.
constexpr size_t kMaxPathUnits = 32767;

// Appends `length` UTF-16 units as WTF-8.
void AppendUtf8(std::string& out, const char16_t* text, size_t length);
// WTF-8 back to UTF-16; a stray byte becomes U+FFFD.
std::u16string Utf16Of(const char* text);
// The UTF-16 units of a WTF-8 text.
size_t Utf16Length(const char* text, size_t bytes);
// A byte that starts no well-formed sequence reads as this plus the byte: beyond every
// code point, so it never equals one.
constexpr uint32_t kStrayByte = 0x110000;
// The next code point of a non-empty WTF-8 text, moving `at` past it.
uint32_t NextCodePoint(const unsigned char*& at);

// A full path as the platform's wide file functions take it whatever its length: past the
// classic limit, a drive path gets the \\?\ prefix and a UNC path \\?\UNC\.
std::u16string PlatformPath(const char* path);
