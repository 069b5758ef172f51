// How a file name from the wide file search is checked once turned into ANSI text.
#include "pictures/ansi_names.h"

NameCheck NameCheckFor(unsigned codePage)
{
    switch (codePage) {
    case 42:     // Symbol
    case 50220:  // ISO-2022 Japanese
    case 50221:
    case 50222:
    case 50225:  // ISO-2022 Korean
    case 50227:  // ISO-2022 Simplified Chinese
    case 50229:  // ISO-2022 Traditional Chinese
    case 54936:  // GB18030
    case 65000:  // UTF-7
    case 65001:  // UTF-8
        return NameCheck::RoundTrip;
    }
    if (codePage >= 57002 && codePage <= 57011) return NameCheck::RoundTrip;  // ISCII
    return NameCheck::PlatformFlags;
}
