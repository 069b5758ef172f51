// How a file name from the wide file search is checked once turned into ANSI text.
#pragma once

enum class NameCheck {
    // WC_NO_BEST_FIT_CHARS and the used-default report: the platform says when a
    // character had no exact equivalent.
    PlatformFlags,
    // The code page refuses both: convert back and compare instead.
    RoundTrip,
};

// The check for ANSI code page `codePage`. The platform refuses the flags, failing the
// whole conversion, on UTF-8 and UTF-7, GB18030, the ISO-2022 and ISCII pages and Symbol.
NameCheck NameCheckFor(unsigned codePage);
