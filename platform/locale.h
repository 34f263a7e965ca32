// Selection of the Japanese locale for the C library.
#pragma once

namespace platform {

// Sets the C locale of the given category (LC_ALL, LC_CTYPE, ...) to the Japanese locale:
// "japanese" where the C library knows it, else a Japanese UTF-8 locale, else the current locale.
// Never fails.
void vSelectJapaneseLocale(int iCategory);

}  // namespace platform
