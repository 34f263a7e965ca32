// The resources compiled into Tarvenix.exe, read from the built program as the system reads
// them: menu 128 as the program's data lists it, accelerators 128, About dialog 100 with the icon,
// the icon, the version information and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace {

class TarvenixResources : public ::testing::Test {
 protected:
  void SetUp() override {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    m_strExe = path;
    m_strExe = m_strExe.substr(0, m_strExe.find_last_of('\\') + 1) + "Tarvenix.exe";
    m_hExe = LoadLibraryExA(m_strExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(m_hExe, nullptr) << m_strExe;
  }
  void TearDown() override {
    if (m_hExe) FreeLibrary(m_hExe);
  }
  std::string strResource(LPCSTR pszType, LPCSTR pszName) {
    HRSRC hInfo = FindResourceA(m_hExe, pszName, pszType);
    if (hInfo == nullptr) return "";
    HGLOBAL hData = LoadResource(m_hExe, hInfo);
    const char* p = static_cast<const char*>(LockResource(hData));
    return p ? std::string(p, SizeofResource(m_hExe, hInfo)) : "";
  }
  std::string m_strExe;
  HMODULE m_hExe = nullptr;
};

std::string strMenuText(HMENU hMenu, UINT uPosition) {
  char text[256] = {};
  GetMenuStringA(hMenu, uPosition, text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST_F(TarvenixResources, StringTableOfTheProgram) {
  char text[256] = {};
  EXPECT_GT(LoadStringA(m_hExe, IDP_OLE_INIT_FAILED, text, sizeof text), 0);
  EXPECT_EQ(LoadStringA(m_hExe, IDR_MAINFRAME, text, sizeof text), 8);
  EXPECT_STREQ(text, "Tarvenix");
  EXPECT_GT(LoadStringA(m_hExe, IDS_MESSAGE_BASE, text, sizeof text), 0);
  EXPECT_STREQ(text, "終了しますか?");
  EXPECT_EQ(LoadStringA(m_hExe, AFX_IDS_APP_TITLE, text, sizeof text), 8);
}

// The menu of the resource lists the program's menu data, popup for popup, entry for entry.
TEST_F(TarvenixResources, MenuIsTheProgramsMenu) {
  HMENU hMenu = LoadMenuA(m_hExe, MAKEINTRESOURCEA(IDR_MAINFRAME));
  ASSERT_NE(hMenu, nullptr);
  int iPopup = -1, iEntry = 0;
  HMENU hPopup = nullptr;
  for (const CResMenuItem* item = g_resMainMenu; item->pszText != nullptr; ++item) {
    if (item->uCommand == 0) {
      hPopup = GetSubMenu(hMenu, ++iPopup);
      ASSERT_NE(hPopup, nullptr) << item->pszText;
      EXPECT_EQ(strMenuText(hMenu, iPopup), item->pszText);
      iEntry = 0;
      continue;
    }
    EXPECT_EQ(strMenuText(hPopup, iEntry), item->pszText);
    EXPECT_EQ(GetMenuItemID(hPopup, iEntry), item->uCommand);
    ++iEntry;
  }
  EXPECT_EQ(GetMenuItemCount(hMenu), 2);
  EXPECT_EQ(strMenuText(hMenu, 0), "ファイル(&F)");
  EXPECT_EQ(GetMenuItemID(GetSubMenu(hMenu, 0), 0), static_cast<UINT>(ID_APP_EXIT));
  EXPECT_EQ(GetMenuItemID(GetSubMenu(hMenu, 1), 0), static_cast<UINT>(ID_APP_ABOUT));
  DestroyMenu(hMenu);
}

TEST_F(TarvenixResources, AcceleratorsForTheEditCommandsAndPanes) {
  HACCEL hAccel = LoadAcceleratorsA(m_hExe, MAKEINTRESOURCEA(IDR_MAINFRAME));
  ASSERT_NE(hAccel, nullptr);
  int iCount = CopyAcceleratorTableA(hAccel, nullptr, 0);
  ASSERT_EQ(iCount, 10);
  std::vector<ACCEL> table(iCount);
  CopyAcceleratorTableA(hAccel, table.data(), iCount);
  auto fHas = [&](WORD wKey, BYTE fMods, WORD wCommand) {
    for (const ACCEL& a : table)
      if (a.key == wKey && (a.fVirt & ~FNOINVERT) == (FVIRTKEY | fMods) && a.cmd == wCommand) return true;
    return false;
  };
  EXPECT_TRUE(fHas('C', FCONTROL, ID_EDIT_COPY));
  EXPECT_TRUE(fHas('V', FCONTROL, ID_EDIT_PASTE));
  EXPECT_TRUE(fHas('X', FCONTROL, ID_EDIT_CUT));
  EXPECT_TRUE(fHas('Z', FCONTROL, ID_EDIT_UNDO));
  EXPECT_TRUE(fHas(VK_BACK, FALT, ID_EDIT_UNDO));
  EXPECT_TRUE(fHas(VK_F6, 0, ID_NEXT_PANE));
  EXPECT_TRUE(fHas(VK_F6, FSHIFT, ID_PREV_PANE));
  DestroyAcceleratorTable(hAccel);
}

// The About dialog shows the program icon, its one line and an OK button (created hidden here,
// from the program's own resources).
TEST_F(TarvenixResources, AboutDialogWithTheIcon) {
  HWND hDialog = CreateDialogParamA(
      m_hExe, MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  ASSERT_NE(hDialog, nullptr);
  char text[256] = {};
  GetWindowTextA(hDialog, text, sizeof text);
  EXPECT_STREQ(text, g_pszAboutTitle);
  GetDlgItemTextA(hDialog, IDC_ABOUT_TEXT, text, sizeof text);
  EXPECT_STREQ(text, g_pszAboutText);
  GetDlgItemTextA(hDialog, IDOK, text, sizeof text);
  EXPECT_STREQ(text, "OK");
  HWND hIcon = GetDlgItem(hDialog, IDC_ABOUT_ICON);
  ASSERT_NE(hIcon, nullptr);
  EXPECT_NE(SendMessageA(hIcon, STM_GETICON, 0, 0), 0);
  DestroyWindow(hDialog);
}

TEST_F(TarvenixResources, IconInTheUsualSizes) {
  for (int iSize : {16, 32, 48, 256}) {
    HANDLE hIcon = LoadImageA(m_hExe, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, iSize, iSize, 0);
    ASSERT_NE(hIcon, nullptr) << iSize;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(static_cast<HICON>(hIcon), &info));
    BITMAP bm = {};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, iSize);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(static_cast<HICON>(hIcon));
  }
}

TEST_F(TarvenixResources, VersionInformation) {
  DWORD dwHandle = 0;
  DWORD dwSize = GetFileVersionInfoSizeA(m_strExe.c_str(), &dwHandle);
  ASSERT_GT(dwSize, 0u);
  std::vector<char> data(dwSize);
  ASSERT_TRUE(GetFileVersionInfoA(m_strExe.c_str(), 0, dwSize, data.data()));
  VS_FIXEDFILEINFO* pFixed = nullptr;
  UINT uLength = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&pFixed), &uLength));
  EXPECT_EQ(pFixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(pFixed->dwFileVersionLS, 0u);
  EXPECT_EQ(pFixed->dwFileType, static_cast<DWORD>(VFT_APP));
  for (auto [pszName, pszValue] : {std::pair{"ProductName", "Tarvenix"}, std::pair{"ProductVersion", "1.0"},
                                   std::pair{"OriginalFilename", "Tarvenix.exe"}}) {
    char* pValue = nullptr;
    std::string strKey = std::string("\\StringFileInfo\\041103a4\\") + pszName;
    ASSERT_TRUE(VerQueryValueA(data.data(), strKey.c_str(), reinterpret_cast<void**>(&pValue), &uLength)) << pszName;
    EXPECT_STREQ(pValue, pszValue);
  }
}

TEST_F(TarvenixResources, ManifestAsksForAdministratorDpiAndCommonControls6) {
  std::string strManifest = strResource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));  // RT_MANIFEST, id 1
  ASSERT_FALSE(strManifest.empty());
  EXPECT_NE(strManifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(strManifest.find(">true/pm<"), std::string::npos);
  EXPECT_NE(strManifest.find(">PerMonitorV2, PerMonitor<"), std::string::npos);
  EXPECT_NE(strManifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

}  // namespace
