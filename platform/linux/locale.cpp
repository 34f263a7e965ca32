// Linux locale: "japanese" if an alias exists, else a Japanese UTF-8 locale, else unchanged.
#include "platform/locale.h"

#include <clocale>

namespace platform {

void vSelectJapaneseLocale(int iCategory) {
  static const char* const names[] = {"japanese", "ja_JP.UTF-8", "ja_JP.utf8"};
  for (const char* name : names) {
    if (setlocale(iCategory, name) != nullptr) return;
  }
}

}  // namespace platform
