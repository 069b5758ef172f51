// The order of the catalogue. A path whose every character the ANSI code page can spell
// sorts by the bytes of that spelling, A-Z folded to a-z, the shorter path first. A
// character the code page cannot spell sorts after every byte, such characters by their
// code point; paths that still tie (they differ in letter case only) go by code point.
#pragma once
#include <cstdint>

// How the ANSI code page spells one character.
class AnsiSpelling {
public:
    virtual ~AnsiSpelling() = default;
    // The character's bytes into out; 0 when the code page has no exact spelling for it.
    virtual int Spell(uint32_t codePoint, unsigned char (&out)[4]) = 0;
};

// The spelling ComparePaths uses; null: Latin-1 (code points up to 255 as one byte).
void SetPathSpelling(AnsiSpelling* spelling);

// Negative, 0 or positive for two WTF-8 paths; 0 only for equal paths.
int ComparePaths(const char* a, const char* b);
