// Resource numbers of Tarvenix and the texts of its string table, menu 128 and About dialog 100.
#pragma once

#include "res/resource_ids.h"

// Copies the string-table text with the number into pBuffer as LoadStringA does: at most
// iBufferMax - 1 bytes and a terminating 0; returns the bytes copied, 0 when the number has no
// text (or the buffer is null or too small to hold anything).
int iLoadResString(unsigned int uId, char* pBuffer, int iBufferMax);

// Menu 128 in order: an entry with command 0 opens a popup, the entries after it belong to that
// popup; the list ends with an entry whose text is null. "&" marks the mnemonic letter as in a
// Windows menu.
struct CResMenuItem {
  const char* pszText;
  unsigned int uCommand;
};
extern const CResMenuItem g_resMainMenu[];

// About dialog 100.
extern const char* const g_pszAboutTitle;
extern const char* const g_pszAboutText;
