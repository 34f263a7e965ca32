// Resource numbers of Tarvenix and the texts of its string table, menu 128 and About dialog 100.
#pragma once

// String table.
#define IDP_OLE_INIT_FAILED 100
#define IDR_MAINFRAME 128
#define IDS_MESSAGE_BASE 50000
#define AFX_IDS_APP_TITLE 57344

// Dialogs and menu commands.
#define IDD_ABOUTBOX 100
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Copies the string-table text with the number into pBuffer as LoadStringA does: at most
// iBufferMax - 1 bytes and a terminating 0; returns the bytes copied, 0 when the number has no
// text (or the buffer is null or too small to hold anything).
int iLoadResString(unsigned int uId, char* pBuffer, int iBufferMax);

// Menu 128: popups in order, each with its entries; a popup ends with an entry whose text is
// null. "&" marks the mnemonic letter as in a Windows menu.
struct CResMenuItem {
  const char* pszText;
  unsigned int uCommand;
};
struct CResMenuPopup {
  const char* pszText;
  const CResMenuItem* pItems;
};
extern const CResMenuPopup g_resMainMenu[];  // ends with a popup whose text is null

// About dialog 100.
extern const char* const g_pszAboutTitle;
extern const char* const g_pszAboutText;
