#include "pictures/wide_text.h"

void AppendUtf8(std::string& out, const char16_t* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18);
            out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
}

uint32_t NextCodePoint(const unsigned char*& at)
{
    const unsigned char lead = *at;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    const int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
    uint32_t c = extra == 3 ? lead & 0x07 : extra == 2 ? lead & 0x0F : lead & 0x1F;
    for (int i = 1; i <= extra; ++i) {
        if ((at[i] & 0xC0) != 0x80) {
            c = ~0u;
            break;
        }
        c = c << 6 | (at[i] & 0x3F);
    }
    // Overlong forms and values past the last code point are stray bytes.
    static const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (extra == 0 || c == ~0u || c < least[extra] || c > 0x10FFFF) {
        ++at;
        return kStrayByte + lead;
    }
    at += 1 + extra;
    return c;
}

std::u16string Utf16Of(const char* text)
{
    std::u16string out;
    const auto* at = reinterpret_cast<const unsigned char*>(text);
    while (*at) {
        uint32_t c = NextCodePoint(at);
        if (c >= kStrayByte) c = 0xFFFD;
        if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

size_t Utf16Length(const char* text, size_t bytes)
{
    size_t units = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::u16string PlatformPath(const char* path)
{
    std::u16string wide = Utf16Of(path);
    // The classic limit less room for an 8.3 name, as the platform counts for folders.
    if (wide.size() < 248) return wide;
    if (wide.size() >= 3 && wide[1] == u':' && wide[2] == u'\\') return u"\\\\?\\" + wide;
    if (wide.size() >= 3 && wide[0] == u'\\' && wide[1] == u'\\' && wide[2] != u'?' && wide[2] != u'.')
        return u"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}
