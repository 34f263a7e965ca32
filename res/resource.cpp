// The string table, menu 128 and About dialog 100 of Tarvenix as data compiled into the program,
// from the one list of its texts (res/resource_texts.h).
#include "res/resource.h"

#include <iterator>

#include "platform/string_table.h"
#include "res/resource_texts.h"

// Each table takes one kind of entry of the list; the other kinds expand to nothing.
#define TX_RES_SKIP(...)
#define TX_RES_STRING_ENTRY(id, text) {id, text},
#define TX_RES_POPUP_ENTRY(text) {text, 0},
#define TX_RES_MENUITEM_ENTRY(text, command) {text, command},
#define TX_RES_ABOUT_ENTRY(title, text, button) {title, text},

namespace {

const platform::CStringResource g_resStrings[] = {
    TX_RES_TEXTS(TX_RES_STRING_ENTRY, TX_RES_SKIP, TX_RES_SKIP, TX_RES_SKIP, TX_RES_SKIP)};

struct CResAbout {
  const char* pszTitle;
  const char* pszText;
};
const CResAbout g_resAbout[] = {TX_RES_TEXTS(TX_RES_SKIP, TX_RES_SKIP, TX_RES_SKIP, TX_RES_ABOUT_ENTRY, TX_RES_SKIP)};

}  // namespace

const CResMenuItem g_resMainMenu[] = {
    TX_RES_TEXTS(TX_RES_SKIP, TX_RES_POPUP_ENTRY, TX_RES_MENUITEM_ENTRY, TX_RES_SKIP, TX_RES_SKIP){nullptr, 0}};

const char* const g_pszAboutTitle = g_resAbout[0].pszTitle;
const char* const g_pszAboutText = g_resAbout[0].pszText;

int iLoadResString(unsigned int uId, char* pBuffer, int iBufferMax) {
  return platform::iLoadString(uId, pBuffer, iBufferMax, g_resStrings, std::size(g_resStrings));
}
