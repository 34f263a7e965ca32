// A child view hosting the browser engine: navigation, the engine's events with the identity of
// the frame that raised them, input filtering, and the engine set up for an unattended kiosk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_event.h"
#include "platform/types.h"
#include "platform/window_handle.h"

namespace platform {

class CFrameWindow;

// The engine set up for the kiosk (the browser control's download-control answer "silent, no
// cache, no ActiveX download"; docs/ARCHITECTURE.md has the mapping): no disk or memory cache,
// every request fetched from its server again, no dialogs of the engine's own (authentication,
// certificate, permission, print and file-choice requests are refused quietly), nothing
// downloaded that the engine cannot show.
//
// Frame identities: uintptr_t values, compared by value and never followed. The page itself
// (the main frame) keeps one identity across all its navigations (uMainFrameId); each frame or
// iframe inside it has its own, the same for all of its events.
//
// Events, UI thread, in the engine's order:
//   BeforeNavigate2    a navigation of a frame starts; *pbCancel TRUE stops it. The main frame
//                      raises it when the engine starts loading (after its navigation policy
//                      allowed it). Linux: a frame inside the page raises it together with
//                      NavigateComplete2 when its new document commits, as the engine reports
//                      frame navigations to the program no earlier; its cancel flag is not used.
//   NavigateComplete2  the navigation committed: the frame shows the new document.
//   DocumentComplete   the document and everything in it finished loading.
//   NavigateError      the main frame's navigation failed (uStatus: an HTTP status, or the
//                      engine's error code); *pbCancel TRUE: no error page of the engine's own.
//                      A navigation stopped by BeforeNavigate2 raises none.
//   WindowClosing      a script of the page called window.close(); *pbCancel TRUE keeps the page.
//   NewWindow2         the engine asks for a new window (window.open, target="_blank");
//                      *pbCancel TRUE refuses it, else the page opens in a window of its own.
// The view's life: fCreate (OnGetHostInfo, then the engine) ... the frame destroys it with
// itself: OnDestroy, then PostNcDestroy (a view allocated with new and owned by its window
// overrides it with "delete this").
class CHtmlView {
 public:
  CHtmlView();
  virtual ~CHtmlView();
  CHtmlView(const CHtmlView&) = delete;
  CHtmlView& operator=(const CHtmlView&) = delete;

  // Creates the view and its engine as the frame's child, filling the client area (see
  // CFrameWindow::fSetChild). bHardwareAcceleration: the engine may render with the GPU (the
  // GPU feature switch); off, it renders in software. False when it could not be created.
  BOOL fCreate(CFrameWindow& frame, BOOL bHardwareAcceleration = TRUE);
  BOOL fIsWindow() const { return m_pImpl != nullptr; }
  HWINDOW hGetWindow() const;

  // Starts the main frame on the address (no flags, target, headers or posted data).
  void Navigate2(const char* pszUrl);
  void vSetFocus();
  uintptr_t uMainFrameId() const;
  // The page's address as the engine shows it now (empty before the first navigation).
  std::string strGetLocationUrl() const;

  // Notices that outside libraries post to the view (the detect-mouse hook's exit notice):
  // pGetNoticeTarget is the window they post to (Windows: the view's HWND; Linux: the id of an
  // unmapped X11 window the view keeps for them, as a pointer; null when the display is not X11).
  // Each notice reaches OnNotice with its message number, on the UI thread. Linux: a
  // ClientMessage of the atom named by vSetNoticeAtom, format 32, its first value the number.
  void* pGetNoticeTarget();
  void vSetNoticeAtom(const char* pszAtomName);

 protected:
  virtual void BeforeNavigate2(uintptr_t uFrameId, const std::string& strUrl, uint32_t uFlags,
                               const std::string& strTargetFrame, std::vector<unsigned char>& postedData,
                               const std::string& strHeaders, BOOL* pbCancel) {}
  virtual void NavigateComplete2(uintptr_t uFrameId, const std::string& strUrl) {}
  virtual void DocumentComplete(uintptr_t uFrameId, const std::string& strUrl) {}
  virtual void NavigateError(uintptr_t uFrameId, const std::string& strUrl, const std::string& strFrameName,
                             uint32_t uStatus, BOOL* pbCancel) {}
  virtual void WindowClosing(BOOL bIsChildWindow, BOOL* pbCancel) {}
  virtual void NewWindow2(BOOL* pbCancel) {}

  // The host information asked once at creation: HOSTUI_SCROLL_NO hides the page's scroll bars
  // (and with them scrolling) in every frame; the 3-D border flags mean nothing here.
  virtual void OnGetHostInfo(CHostInfo& info) {}
  // Mouse input on its way to the page; TRUE drops it (the page never sees it).
  virtual BOOL PreTranslateMouse(MouseMessage eMessage) { return FALSE; }
  virtual void OnNotice(uint32_t uMessage) {}
  // The view was given its place or a new size; the engine fills it already.
  virtual void OnSize() {}
  virtual void OnDestroy() {}
  virtual void PostNcDestroy() {}

 public:
  // Entry points of the engine's events; not for the program's own use.
  struct CImpl;
  CImpl* m_pImpl;
  void vDispatchBeforeNavigate2(uintptr_t uFrameId, const std::string& strUrl, BOOL* pbCancel);
  void vDispatchNavigateComplete2(uintptr_t uFrameId, const std::string& strUrl);
  void vDispatchDocumentComplete(uintptr_t uFrameId, const std::string& strUrl);
  void vDispatchNavigateError(uintptr_t uFrameId, const std::string& strUrl, uint32_t uStatus, BOOL* pbCancel);
  void vDispatchWindowClosing(BOOL* pbCancel);
  void vDispatchNewWindow2(BOOL* pbCancel);
  BOOL fDispatchMouse(MouseMessage eMessage);
  void vDispatchNotice(uint32_t uMessage);
  void vDispatchSize();
  void vDispatchDestroyed();
};

}  // namespace platform
