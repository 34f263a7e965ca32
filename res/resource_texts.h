// Every text of Tarvenix's resources, written once. res/resource.cpp compiles them into the
// program as data; the Windows build generates its resource script from this file
// (res/make_rc.cmake), which reads the entries KIND(arguments) of TX_RES_TEXTS below. Texts
// hold no double quote and no backslash.
#pragma once

#include "res/resource_ids.h"

// TX_RES_TEXTS(STRING, POPUP, MENUITEM, ABOUT, VERSION) applies each macro to its entries:
//   STRING(number, text)                 the string table
//   POPUP(text), MENUITEM(text, command) menu 128: a popup, then its entries ("&": mnemonic)
//   ABOUT(title, text, button)           About dialog 100
//   VERSION(product, version, maker, file name)  the version information
#define TX_RES_TEXTS(STRING, POPUP, MENUITEM, ABOUT, VERSION)                                      \
  STRING(IDP_OLE_INIT_FAILED,                                                                      \
         "OLE の初期化に失敗しました。OLE ライブラリのバージョンが正しいことを確認してください。") \
  STRING(IDR_MAINFRAME, "Tarvenix")                                                                \
  STRING(IDS_MESSAGE_BASE, "終了しますか?")                                                        \
  STRING(AFX_IDS_APP_TITLE, "Tarvenix")                                                            \
  POPUP("ファイル(&F)")                                                                            \
  MENUITEM("アプリケーションの終了(&X)", ID_APP_EXIT)                                              \
  POPUP("ヘルプ(&H)")                                                                              \
  MENUITEM("バージョン情報 Tarvenix(&A)...", ID_APP_ABOUT)                                         \
  ABOUT("バージョン情報 Tarvenix", "Tarvenix, Version 1.0", "OK")                                  \
  VERSION("Tarvenix", "1.0", "Quendar", "Tarvenix.exe")
