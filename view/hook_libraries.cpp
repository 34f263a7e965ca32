// CHookLibraries: calls into TXMouseHook_64, TXDetectMouseHook_64 and TXKeyHook_64.
#include "view/hook_libraries.h"

#include "hooks/detect_mouse_hook.h"
#include "hooks/key_hook.h"
#include "hooks/mouse_hook.h"

BOOL CHookLibraries::fTXMouseHook() { return ::fTXMouseHook(); }
void CHookLibraries::vTXStartHideCursor() { ::vTXStartHideCursor(); }
void CHookLibraries::vTXStopHideCursor() { ::vTXStopHideCursor(); }
void CHookLibraries::vTXStopRightClick() { ::vTXStopRightClick(); }
void CHookLibraries::vTXMouseUnhook() { ::vTXMouseUnhook(); }
void CHookLibraries::vTarvenixDetectSetPostWindow() { ::vTarvenixDetectSetPostWindow(m_pNoticeTarget); }
BOOL CHookLibraries::fTarvenixDetectMouseHook(int32_t iDetectSize, int32_t iDetectPos, int32_t iDetectInterval) {
  return ::fTarvenixDetectMouseHook(iDetectSize, iDetectPos, iDetectInterval);
}
void CHookLibraries::vTarvenixDetectMouseUnhook() { ::vTarvenixDetectMouseUnhook(); }
BOOL CHookLibraries::fTXKeyHook() { return ::fTXKeyHook(); }
void CHookLibraries::vTXKeyUnhook() { ::vTXKeyUnhook(); }
