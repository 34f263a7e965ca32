// TXKeyHook on Windows: a WH_KEYBOARD_LL hook that drops the keystrokes the key policy holds back.
#include "hooks/key_hook.h"

#include <windows.h>

#include <bitset>

#include "hooks/hook_log.h"
#include "hooks/key_policy.h"
#include "hooks/win32/hook_module.h"

namespace {

struct CKeyHookState {
  HHOOK m_hHook = nullptr;
  // Modifiers as the hook saw them go down and up (a dropped Windows key counts as held).
  BOOL m_bShift = FALSE, m_bCtrl = FALSE, m_bAlt = FALSE, m_bWin = FALSE;
  // Virtual keys whose press was dropped: their release is dropped too.
  std::bitset<256> m_Held;
};
CKeyHookState g_Key;

int iPolicyKey(DWORD dwVk) {
  if (dwVk >= 'A' && dwVk <= 'Z') return static_cast<int>(dwVk);
  if (dwVk >= VK_F1 && dwVk <= VK_F24) return HK_F1 + static_cast<int>(dwVk - VK_F1);
  switch (dwVk) {
    case VK_TAB: return HK_TAB;
    case VK_ESCAPE: return HK_ESCAPE;
    case VK_SPACE: return HK_SPACE;
    case VK_LWIN:
    case VK_RWIN: return HK_SUPER;
    case VK_APPS: return HK_MENU;
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
    case VK_CAPITAL:
    case VK_NUMLOCK: return HK_MODIFIER;
    default: return HK_OTHER;
  }
}

void vTrackModifier(DWORD dwVk, BOOL bDown) {
  switch (dwVk) {
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT: g_Key.m_bShift = bDown; break;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL: g_Key.m_bCtrl = bDown; break;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU: g_Key.m_bAlt = bDown; break;
    case VK_LWIN:
    case VK_RWIN: g_Key.m_bWin = bDown; break;
    default: break;
  }
}

LRESULT CALLBACK lKeyProc(int iCode, WPARAM wParam, LPARAM lParam) {
  if (iCode == HC_ACTION) {
    const KBDLLHOOKSTRUCT* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const DWORD vk = info->vkCode & 0xFF;
    const BOOL down = (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN);
    vTrackModifier(vk, down);
    if (!down) {
      if (g_Key.m_Held.test(vk)) {
        g_Key.m_Held.reset(vk);
        return 1;
      }
    } else {
      int mods = 0;
      if (g_Key.m_bShift) mods |= HK_SHIFT;
      if (g_Key.m_bCtrl) mods |= HK_CTRL;
      // The flag alone is not enough: Wine leaves it off for injected input.
      if (g_Key.m_bAlt || (info->flags & LLKHF_ALTDOWN)) mods |= HK_ALT;
      if (g_Key.m_bWin) mods |= HK_WIN;
      if (fHoldBackKey(iPolicyKey(vk), mods)) {
        g_Key.m_Held.set(vk);
        return 1;
      }
    }
  }
  return CallNextHookEx(g_Key.m_hHook, iCode, wParam, lParam);
}

}  // namespace

BOOL fTXKeyHook(void) {
  if (g_Key.m_hHook != nullptr) {
    vHookLog("TXKeyHook: fTXKeyHook: already installed\n");
    return TRUE;
  }
  // Modifiers already held when the hook starts.
  g_Key.m_bShift = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  g_Key.m_bCtrl = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
  g_Key.m_bAlt = (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
  g_Key.m_bWin = ((GetAsyncKeyState(VK_LWIN) | GetAsyncKeyState(VK_RWIN)) & 0x8000) != 0;
  g_Key.m_Held.reset();
  g_Key.m_hHook = SetWindowsHookExA(WH_KEYBOARD_LL, lKeyProc, hGetHookModule((const void*)&fTXKeyHook), 0);
  if (g_Key.m_hHook == nullptr) {
    vHookLog("TXKeyHook: fTXKeyHook: failed, error %lu\n", GetLastError());
    return FALSE;
  }
  vHookLog("TXKeyHook: fTXKeyHook: installed\n");
  return TRUE;
}

void vTXKeyUnhook(void) {
  if (g_Key.m_hHook == nullptr) {
    vHookLog("TXKeyHook: vTXKeyUnhook: no hook\n");
    return;
  }
  UnhookWindowsHookEx(g_Key.m_hHook);
  g_Key.m_hHook = nullptr;
  vHookLog("TXKeyHook: vTXKeyUnhook: removed\n");
}
