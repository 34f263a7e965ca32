// The string table, menu 128 and About dialog 100 of Tarvenix as data compiled into the program.
#include "res/resource.h"

#include <cstring>

namespace {

struct CResString {
  unsigned int uId;
  const char* pszText;
};

const CResString g_resStrings[] = {
    {IDP_OLE_INIT_FAILED, "OLE の初期化に失敗しました。OLE ライブラリのバージョンが正しいことを確認してください。"},
    {IDR_MAINFRAME, "Tarvenix"},
    {IDS_MESSAGE_BASE + 0, "終了しますか?"},
    {AFX_IDS_APP_TITLE, "Tarvenix"},
};

const CResMenuItem g_resFileMenu[] = {{"アプリケーションの終了(&X)", ID_APP_EXIT}, {nullptr, 0}};
const CResMenuItem g_resHelpMenu[] = {{"バージョン情報 Tarvenix(&A)...", ID_APP_ABOUT}, {nullptr, 0}};

}  // namespace

const CResMenuPopup g_resMainMenu[] = {
    {"ファイル(&F)", g_resFileMenu}, {"ヘルプ(&H)", g_resHelpMenu}, {nullptr, nullptr}};

const char* const g_pszAboutTitle = "バージョン情報 Tarvenix";
const char* const g_pszAboutText = "Tarvenix, Version 1.0";

int iLoadResString(unsigned int uId, char* pBuffer, int iBufferMax) {
  if (pBuffer == nullptr || iBufferMax <= 0) return 0;
  for (const CResString& entry : g_resStrings) {
    if (entry.uId != uId) continue;
    size_t uLength = std::strlen(entry.pszText);
    if (uLength > static_cast<size_t>(iBufferMax - 1)) uLength = static_cast<size_t>(iBufferMax - 1);
    std::memcpy(pBuffer, entry.pszText, uLength);
    pBuffer[uLength] = '\0';
    return static_cast<int>(uLength);
  }
  pBuffer[0] = '\0';
  return 0;
}
