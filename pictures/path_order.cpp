#include "pictures/path_order.h"

#include <cstring>

#include "pictures/wide_text.h"

namespace {

class Latin1 : public AnsiSpelling {
public:
    int Spell(uint32_t codePoint, unsigned char (&out)[4]) override
    {
        if (codePoint > 0xFF) return 0;
        out[0] = static_cast<unsigned char>(codePoint);
        return 1;
    }
};

Latin1 g_latin1;
AnsiSpelling* g_spelling = &g_latin1;

int Folded(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// The sort units of one path: each byte of the ANSI spelling, folded, or for a character
// without one, 0x100 + its code point; -1 at the end.
class SortUnits {
public:
    explicit SortUnits(const char* path) : at_(reinterpret_cast<const unsigned char*>(path)) {}

    // The next byte when it is plain ASCII (not the end), which every ANSI code page
    // spells as itself.
    bool AsciiNext() const { return next_ == count_ && *at_ != 0 && *at_ < 0x80; }
    int TakeAscii() { return Folded(*at_++); }

    int Next()
    {
        if (next_ < count_) return Folded(bytes_[next_++]);
        if (*at_ == 0) return -1;
        if (*at_ < 0x80) return Folded(*at_++);
        const uint32_t c = NextCodePoint(at_);
        count_ = c < kStrayByte ? g_spelling->Spell(c, bytes_) : 0;
        next_ = 0;
        if (count_ <= 0) {
            count_ = 0;
            return int(0x100 + c);
        }
        return Folded(bytes_[next_++]);
    }

private:
    const unsigned char* at_;
    unsigned char bytes_[4] = {};
    int count_ = 0;
    int next_ = 0;
};

}  // namespace

void SetPathSpelling(AnsiSpelling* spelling) { g_spelling = spelling ? spelling : &g_latin1; }

int ComparePaths(const char* a, const char* b)
{
    // Paths of one folder share most of their bytes, and equal characters sort alike: the
    // comparison starts at the character holding the first difference. An ASCII byte always
    // ends a character; a byte above it may be part of the character that differs.
    size_t same = 0;
    for (; a[same] == b[same]; ++same)
        if (a[same] == 0) return 0;
    while (same > 0 && static_cast<unsigned char>(a[same - 1]) >= 0x80) --same;
    a += same;
    b += same;
    SortUnits p(a), q(b);
    for (;;) {
        int x, y;
        if (p.AsciiNext() && q.AsciiNext()) {
            x = p.TakeAscii();
            y = q.TakeAscii();
        } else {
            x = p.Next();
            y = q.Next();
        }
        if (x != y) return x < y ? -1 : 1;
        if (x < 0) break;
    }
    const int exact = std::strcmp(a, b);
    return (exact > 0) - (exact < 0);
}
