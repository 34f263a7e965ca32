// The page view's navigation tracker: which frame's navigation the program follows, and the
// navigation lines of the program log and the access log.
#pragma once

#include <cstdint>
#include <string>

#include "common/log_file.h"
#include "platform/types.h"
#include "view/frame_id.h"

// Idle: nothing followed. Armed: the next BeforeNavigate2 fixes the start frame. Following: the
// start frame's events are traced as the progress of the program's own navigation until its
// document completes or fails; every other frame's events are logged and otherwise ignored.
enum NavigationState { NAVSTATE_IDLE, NAVSTATE_ARMED, NAVSTATE_FOLLOWING };

// What the tracker asks of the view that hosts the engine.
class CNavigationHost {
 public:
  virtual ~CNavigationHost() = default;
  // Makes the engine read its download-control ambient property again (answered by
  // fGetAmbientProperty); does nothing when the engine offers no way to.
  virtual void vRefreshDownloadControl() = 0;
};

// The main frame calls vNavigateInit with the URL right before each navigation it starts; the
// view forwards the engine's four navigation events with the identity of the frame that raised
// them and the URL as received. Every event writes its name line and trace lines to the program
// log at LOG_ALL and one line to the access log; the URL is written byte for byte. The logs and
// the host must outlive the tracker. UI thread only.
class CNavigationTracker {
 public:
  CNavigationTracker(CNavigationHost& host, CSystemLog& sysLog, CLogFile& accessLog);

  // Arms the tracker from any state: the frame of the next BeforeNavigate2 becomes the start frame.
  void vNavigateInit(const std::string& strUrl);

  // Never cancels (writes FALSE to *pbCancel); refreshes the download control for every frame.
  void vBeforeNavigate2(CFrameId id, const std::string& strUrl, BOOL* pbCancel);
  void vNavigateComplete2(CFrameId id, const std::string& strUrl);
  // Always cancels (writes TRUE to *pbCancel), so the engine never shows its own error page; the
  // start frame's error ends the navigation followed.
  void vNavigateError(CFrameId id, const std::string& strUrl, BOOL* pbCancel);
  // The start frame's completed document ends the navigation followed.
  void vDocumentComplete(CFrameId id, const std::string& strUrl);

  NavigationState eState() const;
  CFrameId idStart() const { return m_idStart; }

 private:
  enum EventKind { EVENT_BEFORE_NAVIGATE, EVENT_NAVIGATE_COMPLETE, EVENT_NAVIGATE_ERROR, EVENT_DOCUMENT_COMPLETE };

  // Writes the name line of the event's handler.
  void vWriteNameLine(EventKind eKind);
  // Writes the program-log trace line and the access-log line; true when the frame is the start frame.
  BOOL fTrace(EventKind eKind, CFrameId id, const std::string& strUrl);
  // Writes the start-frame or other-frame text of the event.
  void vWriteVerdict(EventKind eKind, BOOL bStartFrame);
  void vSysLog(const std::string& strLine);

  CNavigationHost& m_host;
  CSystemLog& m_sysLog;
  CLogFile& m_accessLog;
  BOOL m_bFirstNavigate;
  CFrameId m_idStart;
};

// The ambient property that carries the engine's download-control flags.
inline constexpr int32_t AMBIENT_DLCONTROL = -5512;

// The download-control flags the view answers: images, videos and background sounds are loaded,
// ActiveX controls are not downloaded, every resource is fetched again from its server instead
// of a cache, and the engine shows no dialogs of its own.
inline constexpr int32_t DLCONTROL_DLIMAGES = 0x10;
inline constexpr int32_t DLCONTROL_VIDEOS = 0x20;
inline constexpr int32_t DLCONTROL_BGSOUNDS = 0x40;
inline constexpr int32_t DLCONTROL_NO_DLACTIVEXCTLS = 0x400;
inline constexpr int32_t DLCONTROL_RESYNCHRONIZE = 0x2000;
inline constexpr int32_t DLCONTROL_PRAGMA_NO_CACHE = 0x4000;
inline constexpr int32_t DLCONTROL_SILENT = 0x40000000;
inline constexpr int32_t DLCONTROL_KIOSK = DLCONTROL_DLIMAGES | DLCONTROL_VIDEOS | DLCONTROL_BGSOUNDS |
                                           DLCONTROL_NO_DLACTIVEXCTLS | DLCONTROL_RESYNCHRONIZE |
                                           DLCONTROL_PRAGMA_NO_CACHE | DLCONTROL_SILENT;

// The view's answer to an ambient-property request: true with the 32-bit integer value (VT_I4)
// to supply for the download-control property; false for every other property, which gets the
// container's default answer.
BOOL fGetAmbientProperty(int32_t iDispId, int32_t& iValue);

// The id texts of the logs, alike on every platform: a pointer as "%p" prints it on the Windows
// build (16 upper-case hexadecimal digits, 0-padded, no prefix), and "%X" of a pointer (its low
// 32 bits in upper-case hexadecimal, no padding).
std::string strPointerText(CFrameId id);
std::string strLow32Text(CFrameId id);
