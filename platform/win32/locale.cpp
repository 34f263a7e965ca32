// Win32 locale: the C runtime knows the locale named "japanese" (code page 932).
#include "platform/locale.h"

#include <clocale>

namespace platform {

void vSelectJapaneseLocale(int iCategory) { setlocale(iCategory, "japanese"); }

}  // namespace platform
