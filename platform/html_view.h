// A child view hosting the browser engine: navigation, the engine's events with the identity of
// the frame that raised them, input filtering, and the engine set up for an unattended kiosk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/input_event.h"
#include "platform/types.h"
#include "platform/window_handle.h"

namespace platform {

class CFrameWindow;

// The engine set up for the kiosk (the browser control's download-control answer "silent, no
// cache, no ActiveX download"; docs/ARCHITECTURE.md has the mapping). Windows: the WebBrowser
// control asks the view for it as the ambient property -5512 (OnAmbientProperty) and
// reads it again when told to (vRefreshAmbientProperty). Linux: the engine is set up once, at
// creation, for every window it makes: no disk or memory cache, every request fetched from its
// server again, no dialogs of the engine's own (authentication, certificate, permission, print
// and file-choice requests are refused quietly), nothing downloaded that the engine cannot show.
//
// Frame identities: uintptr_t values, compared by value and never followed (Windows: the frame's
// IDispatch pointer, no reference taken). The page itself (the main frame) keeps one identity
// across all its navigations (uMainFrameId); each frame or iframe inside it has its own, the
// same for all of its events.
//
// Events, UI thread, in the engine's order:
//   BeforeNavigate2    a navigation of a frame starts, with the address it goes to; *pbCancel
//                      TRUE stops it. Linux: the main frame raises it when the engine starts
//                      loading (after its navigation policy allowed it); a frame inside the page
//                      raises it together with NavigateComplete2 when its new document commits,
//                      as the engine reports frame navigations to the program no earlier, and its
//                      cancel flag is not used.
//   NavigateComplete2  the navigation committed: the frame shows the new document.
//   DocumentComplete   the document and everything in it finished loading.
//   NavigateError      the main frame's navigation failed, or its server answered with an HTTP
//                      error status (uStatus: that status, 400 and above, or the engine's error
//                      code); *pbCancel TRUE: no error page of the engine's own and, for an HTTP
//                      error, nothing of the server's page either. A navigation stopped by
//                      BeforeNavigate2 raises none.
//   WindowClosing      a script of the page called window.close(); *pbCancel TRUE keeps the page.
//   OnNewWindow2       the engine asks for a new window (window.open, target="_blank");
//                      *pbCancel TRUE refuses it. *ppDispatch may receive the new window's engine
//                      (Windows: its IDispatch); left null, the engine opens the page in a window
//                      of its own.
//   OnStatusTextChange the engine's status text (Windows; Linux has none and never raises it).
//   OnNavigationRequest a navigation of the page or of a frame inside it (a server's redirect
//                      included), or a new window the view allowed, is about to fetch strUrl;
//                      *pbCancel TRUE refuses it before anything is fetched. Windows: asked in
//                      BeforeNavigate2 of every frame, before the BeforeNavigate2 handler, and for
//                      NewWindow3's address; Linux: from the engine's navigation policy for every
//                      frame of the page and of its pop-ups, and from its request for a new view.
//                      Requests of a page for images, scripts, styles and the like are not asked.
//   OnSnapshot         the picture that fRequestSnapshot asked for.
//
// The view's life: fCreate (PreCreateWindow, OnGetHostInfo, the window and its engine, then
// OnCreate) ... the frame destroys it with itself: OnDestroy, then PostNcDestroy (a view
// allocated with new and owned by its window overrides it with "delete this"). A creation that
// fails after the window was made destroys it again the same way, PostNcDestroy included.
class CHtmlView {
 public:
  CHtmlView();
  virtual ~CHtmlView();
  CHtmlView(const CHtmlView&) = delete;
  CHtmlView& operator=(const CHtmlView&) = delete;

  // Creates the view and its engine as the frame's child, filling the client area (see
  // CFrameWindow::fSetChild), with child id 0xE900. bHardwareAcceleration: the engine may render
  // with the GPU (the GPU feature switch); off, it renders in software. False when the view
  // could not be created (OnCreate returning -1 included): the view is destroyed then, as above.
  BOOL fCreate(CFrameWindow& frame, BOOL bHardwareAcceleration = TRUE);
  BOOL fIsWindow() const;
  // The view's own window (Windows: the view's HWND; Linux: the engine's widget).
  HWINDOW hGetWindow() const;

  // Starts the main frame on the address (no flags, target, headers or posted data).
  void Navigate2(const char* pszUrl);
  void vSetFocus();
  uintptr_t uMainFrameId() const;
  // The page's address as the engine shows it now (empty before the first navigation).
  std::string strGetLocationUrl() const;
  // Makes the engine ask for the ambient property again (Windows: GetApplication, then
  // IOleControl::OnAmbientPropertyChange; skipped when either is not available). Linux: nothing,
  // the engine read its set-up at creation.
  void vRefreshAmbientProperty(int32_t iDispId);

  // Ends the visitor's session: cookies, storage and the rest of the engine's data of the pages
  // shown. Linux: every kind of website data of the engine is cleared, and a Navigate2 made
  // before that finished loads only after it. Windows: the session's cookies are dropped through
  // the engine's end-of-session option (INTERNET_OPTION_END_BROWSER_SESSION).
  void vEndSession();
  // Asks for a picture of what the view shows now; OnSnapshot gets it on the UI thread (Linux:
  // the engine's own snapshot of the visible part, later; Windows: the view's window drawn into a
  // bitmap, at once). False when none can be asked for (no view, or one still on its way).
  BOOL fRequestSnapshot();

  // Notices that outside libraries post to the view (the detect-mouse hook's exit notice):
  // pGetNoticeTarget is the window they post to, made with the view and kept until it is
  // destroyed (Windows: the view's HWND; Linux: the id of an unmapped X11 window on a connection
  // of the view's own, as a pointer; null when the display is not X11). Each notice reaches
  // OnNotice with its message number, on the UI thread. Linux: a ClientMessage of the atom named
  // by vSetNoticeAtom, format 32, its first value the number. The getter changes nothing.
  void* pGetNoticeTarget() const;
  void vSetNoticeAtom(const char* pszAtomName);

 protected:
  // The view's window is about to be made with these styles (0x50800000: child, visible,
  // border; no extended style); the view may change them. Linux: asked, without effect (a child
  // widget has no border or stacking of its own).
  virtual void PreCreateWindow(CWindowStyles& styles) {}
  // The window and its engine exist and no page has been asked for yet; -1 fails fCreate.
  virtual int OnCreate() { return 0; }

  virtual void BeforeNavigate2(uintptr_t uFrameId, const std::string& strUrl, uint32_t uFlags,
                               const std::string& strTargetFrame, std::vector<unsigned char>& postedData,
                               const std::string& strHeaders, BOOL* pbCancel) {}
  virtual void NavigateComplete2(uintptr_t uFrameId, const std::string& strUrl) {}
  virtual void DocumentComplete(uintptr_t uFrameId, const std::string& strUrl) {}
  virtual void NavigateError(uintptr_t uFrameId, const std::string& strUrl, const std::string& strFrameName,
                             uint32_t uStatus, BOOL* pbCancel) {}
  virtual void WindowClosing(BOOL bIsChildWindow, BOOL* pbCancel) {}
  virtual void OnNewWindow2(void** ppDispatch, BOOL* pbCancel) {}
  virtual void OnStatusTextChange(const std::string& strText) {}
  virtual void OnNavigationRequest(const std::string& strUrl, BOOL bNewWindow, BOOL* pbCancel) {}
  // uWidth x uHeight pixels of 4 bytes each (blue, green, red, unused), rows from the top,
  // uStride bytes apart, valid during the call; pPixels null when no picture could be taken.
  virtual void OnSnapshot(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride) {}

  // The engine asks for an ambient property of its container: TRUE answers it with the 32-bit
  // integer iValue (VT_I4), FALSE leaves the container's default answer. Linux: never asked.
  virtual BOOL OnAmbientProperty(int32_t iDispId, int32_t& iValue) { return FALSE; }
  // The host information the engine asks for before it shows a page (Linux: once, at creation):
  // HOSTUI_SCROLL_NO hides the page's scroll bars (and with them scrolling) in every frame.
  virtual void OnGetHostInfo(CHostInfo& info) {}
  // Mouse input on its way to the page (Windows: in the message loop's pre-translation of every
  // message for the view and the windows inside it); TRUE drops it (the page never sees it).
  virtual BOOL PreTranslateMouse(MouseMessage eMessage) { return FALSE; }
  // A system command of the view's window (SYSCMD_*); TRUE drops it. Linux: never raised (the
  // frame keeps F10 and Alt from the menu by itself).
  virtual BOOL OnSysCommand(uint32_t uCode) { return FALSE; }
  virtual void OnNotice(uint32_t uMessage) {}
  // The view was given its place or a new size; the engine fills it already.
  virtual void OnSize() {}
  virtual void OnDestroy() {}
  virtual void PostNcDestroy() {}

 private:
  // The backend's state and its entry points into the handlers above.
  struct CImpl;
  friend struct CImpl;
  std::unique_ptr<CImpl> m_pImpl;
};

}  // namespace platform
