// Tests of the view's input policy over the settings that switch it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_capture.h"
#include "view/gesture_filter.h"
#include "view/input_policy.h"

namespace {

using namespace platform;
using Calls = std::vector<std::string>;

TEST(InputPolicy, MouseInput) {
  struct CRow {
    int iRightButton;
    int iGestureZoomOff;
    MouseMessage eMessage;
    BOOL bDropped;
    const char* pszAccess;
  };
  const CRow rows[] = {
      {1, 0, MOUSEMSG_RBUTTONDOWN, TRUE, "ユーザーによる右クリック->無視\n"},
      {1, 0, MOUSEMSG_RBUTTONDBLCLK, TRUE, "ユーザーによる右クリック->無視\n"},
      {1, 0, MOUSEMSG_RBUTTONUP, FALSE, ""},
      {5, 0, MOUSEMSG_RBUTTONDOWN, TRUE, "ユーザーによる右クリック->無視\n"},
      {0, 0, MOUSEMSG_RBUTTONDOWN, FALSE, ""},
      {0, 0, MOUSEMSG_RBUTTONDBLCLK, FALSE, ""},
      {1, 1, MOUSEMSG_LBUTTONDOWN, FALSE, "ユーザーによるクリック\n"},
      {0, 0, MOUSEMSG_LBUTTONDBLCLK, FALSE, "ユーザーによるクリック\n"},
      {1, 1, MOUSEMSG_WHEEL, TRUE, "ユーザーによるホイール->無視\n"},
      {0, -1, MOUSEMSG_WHEEL, TRUE, "ユーザーによるホイール->無視\n"},
      {1, 0, MOUSEMSG_WHEEL, FALSE, ""},
      {1, 1, MOUSEMSG_OTHER, FALSE, ""},
  };
  int iRow = 0;
  for (const CRow& row : rows) {
    SCOPED_TRACE("row " + std::to_string(iRow++));
    CLogCapture logs;
    CViewSettings settings;
    settings.m_iRightButton = row.iRightButton;
    settings.m_iGestureZoomOff = row.iGestureZoomOff;
    CInputPolicy policy(settings, logs.m_sysLog, logs.m_accessLog);
    EXPECT_EQ(policy.fPreTranslateMouse(row.eMessage), row.bDropped);
    EXPECT_EQ(logs.strAccessLog(), row.pszAccess);
    EXPECT_EQ(logs.strSysLog(), "");
  }
}

TEST(InputPolicy, OnlyTheKeyMenuCommandIsDropped) {
  CLogCapture logs;
  CInputPolicy policy(CViewSettings(), logs.m_sysLog, logs.m_accessLog);
  EXPECT_TRUE(policy.fDropSysCommand(SYSCMD_KEYMENU));
  EXPECT_TRUE(policy.fDropSysCommand(0xF100));
  for (uint32_t uCode : {SYSCMD_CLOSE, 0xF020u, 0xF030u, 0xF090u, 0xF120u, 0u}) {
    EXPECT_FALSE(policy.fDropSysCommand(uCode)) << std::hex << uCode;
  }
  EXPECT_EQ(logs.strAccessLog(), "");
}

TEST(InputPolicy, NewWindow) {
  for (int iNewWindow : {1, 0, 3}) {
    SCOPED_TRACE(iNewWindow);
    CLogCapture logs;
    CViewSettings settings;
    settings.m_iNewWindow = iNewWindow;
    CInputPolicy policy(settings, logs.m_sysLog, logs.m_accessLog);
    BOOL bCancel = 9;
    policy.vNewWindow2(&bCancel);
    EXPECT_EQ(bCancel, iNewWindow != 0 ? TRUE : FALSE);
    EXPECT_EQ(logs.strAccessLog(), iNewWindow != 0 ? "新規ウィンドウ->無視\n" : "");
  }
}

struct CRecordingFrame : CViewFrame {
  void vPostClose() override { m_calls.push_back("close"); }
  void vConfirmExit() override { m_calls.push_back("confirm"); }
  std::vector<std::string> m_calls;
};

TEST(InputPolicy, WindowClosingClosesTheProgramAndExitNoticeAsks) {
  CLogCapture logs;
  CInputPolicy policy(CViewSettings(), logs.m_sysLog, logs.m_accessLog);
  CRecordingFrame frame;
  BOOL bCancel = TRUE;
  policy.vWindowClosing(&bCancel, frame);
  EXPECT_EQ(bCancel, FALSE);
  EXPECT_EQ(logs.strAccessLog(), "ウィンドウクローズ\n");
  EXPECT_EQ(frame.m_calls, std::vector<std::string>{"close"});
  policy.vExitNotice(frame);
  EXPECT_EQ(frame.m_calls, (std::vector<std::string>{"close", "confirm"}));
  EXPECT_EQ(logs.strAccessLog(), "ウィンドウクローズ\n");
}

TEST(InputPolicy, HostInfo) {
  struct CRow {
    int iScroll;
    uint32_t uFlagsIn;
    uint32_t uFlagsOut;
  };
  const CRow rows[] = {
      {1, 0x00040010, 0x0020000C},
      {2, 0, 0x0020000C},
      {0, 0x00040010, 0x00040010},
      {0, 0, 0},
  };
  for (const CRow& row : rows) {
    CLogCapture logs;
    CViewSettings settings;
    settings.m_iScroll = row.iScroll;
    CInputPolicy policy(settings, logs.m_sysLog, logs.m_accessLog);
    CHostInfo info{row.uFlagsIn, 2};
    policy.vGetHostInfo(info);
    EXPECT_EQ(info.m_uFlags, row.uFlagsOut) << row.iScroll;
    EXPECT_EQ(info.m_uDoubleClick, 0u);
  }
}

TEST(InputPolicy, WindowStyles) {
  for (int iLevel : {0, 1, 2, 3, -1}) {
    CLogCapture logs;
    CViewSettings settings;
    settings.m_iTopMostLevel = iLevel;
    CInputPolicy policy(settings, logs.m_sysLog, logs.m_accessLog);
    CWindowStyles styles{0x50800000, 0x00000204};  // child, visible, border; client edge, accept files
    policy.vPreCreateWindow(styles);
    EXPECT_EQ(styles.m_uStyle, 0x50000000u) << iLevel;
    EXPECT_EQ(styles.m_uExStyle, iLevel == 2 ? 0x4u : 0xCu) << iLevel;
  }
}

struct CRecordingHooks : CInputHooks {
  BOOL fTXMouseHook() override { return fCall("fTXMouseHook", m_bMouse); }
  void vTXStartHideCursor() override { m_calls.push_back("vTXStartHideCursor"); }
  void vTXStopHideCursor() override { m_calls.push_back("vTXStopHideCursor"); }
  void vTXStopRightClick() override { m_calls.push_back("vTXStopRightClick"); }
  void vTXMouseUnhook() override { m_calls.push_back("vTXMouseUnhook"); }
  void vTarvenixDetectSetPostWindow() override { m_calls.push_back("vTarvenixDetectSetPostWindow"); }
  BOOL fTarvenixDetectMouseHook(int32_t iSize, int32_t iPos, int32_t iInterval) override {
    return fCall("fTarvenixDetectMouseHook(" + std::to_string(iSize) + "," + std::to_string(iPos) + "," +
                     std::to_string(iInterval) + ")",
                 m_bDetect);
  }
  void vTarvenixDetectMouseUnhook() override { m_calls.push_back("vTarvenixDetectMouseUnhook"); }
  BOOL fTXKeyHook() override { return fCall("fTXKeyHook", m_bKey); }
  void vTXKeyUnhook() override { m_calls.push_back("vTXKeyUnhook"); }

  BOOL fCall(const std::string& strCall, BOOL bResult) {
    m_calls.push_back(strCall);
    return bResult;
  }
  BOOL m_bMouse = TRUE, m_bDetect = TRUE, m_bKey = TRUE;
  std::vector<std::string> m_calls;
};

TEST(InputPolicy, HookInstallationOrderAndErrors) {
  struct CRow {
    int iMouseOn, iRightButton, iFullScreen;
    BOOL bMouse, bDetect, bKey;
    std::vector<std::string> calls;
    const char* pszSysLog;
  };
  const std::string kDetect = "fTarvenixDetectMouseHook(40,3,2500)";
  const CRow rows[] = {
      {1,
       1,
       1,
       TRUE,
       TRUE,
       TRUE,
       {"fTXMouseHook", "vTXStopHideCursor", "vTXStopRightClick", "vTarvenixDetectSetPostWindow", kDetect,
        "fTXKeyHook"},
       ""},
      {0,
       0,
       1,
       TRUE,
       TRUE,
       TRUE,
       {"fTXMouseHook", "vTXStartHideCursor", "vTarvenixDetectSetPostWindow", kDetect, "fTXKeyHook"},
       ""},
      {0, 1, 0, TRUE, TRUE, TRUE, {"fTXMouseHook", "vTXStartHideCursor", "vTXStopRightClick", "fTXKeyHook"}, ""},
      {1,
       1,
       1,
       FALSE,
       TRUE,
       TRUE,
       {"fTXMouseHook", "vTarvenixDetectSetPostWindow", kDetect, "fTXKeyHook"},
       "\"Error\",Mouse Hook error\n"},
      {1,
       0,
       1,
       TRUE,
       FALSE,
       FALSE,
       {"fTXMouseHook", "vTXStopHideCursor", "vTarvenixDetectSetPostWindow", kDetect, "fTXKeyHook"},
       "\"Error\",Detect Mouse Hook error\n\"Error\",Key Hook error\n"},
      {1,
       1,
       1,
       FALSE,
       FALSE,
       FALSE,
       {"fTXMouseHook", "vTarvenixDetectSetPostWindow", kDetect, "fTXKeyHook"},
       "\"Error\",Mouse Hook error\n\"Error\",Detect Mouse Hook error\n\"Error\",Key Hook error\n"},
      {1, 1, 0, TRUE, FALSE, TRUE, {"fTXMouseHook", "vTXStopHideCursor", "vTXStopRightClick", "fTXKeyHook"}, ""},
  };
  int iRow = 0;
  for (const CRow& row : rows) {
    SCOPED_TRACE("row " + std::to_string(iRow++));
    CLogCapture logs;
    logs.m_sysLog.m_iLevel = LOG_ERROR;
    CViewSettings settings;
    settings.m_iMouseOn = row.iMouseOn;
    settings.m_iRightButton = row.iRightButton;
    settings.m_iFullScreen = row.iFullScreen;
    settings.m_iDetectSize = 40;
    settings.m_iDetectPos = 3;
    settings.m_iDetectInterval = 2500;
    CInputPolicy policy(settings, logs.m_sysLog, logs.m_accessLog);
    CRecordingHooks hooks;
    hooks.m_bMouse = row.bMouse;
    hooks.m_bDetect = row.bDetect;
    hooks.m_bKey = row.bKey;
    policy.vInstallHooks(hooks);
    EXPECT_EQ(hooks.m_calls, row.calls);
    EXPECT_EQ(logs.strSysLog(), row.pszSysLog);
    EXPECT_EQ(logs.strAccessLog(), "");
  }
}

TEST(InputPolicy, HookRemovalOrder) {
  for (int iFullScreen : {1, 0}) {
    CLogCapture logs;
    CViewSettings settings;
    settings.m_iFullScreen = iFullScreen;
    CInputPolicy policy(settings, logs.m_sysLog, logs.m_accessLog);
    CRecordingHooks hooks;
    hooks.m_bMouse = FALSE;  // a mouse hook that failed to install is still removed
    policy.vInstallHooks(hooks);
    hooks.m_calls.clear();
    policy.vRemoveHooks(hooks);
    Calls expected = {"vTXKeyUnhook", "vTarvenixDetectMouseUnhook", "vTXMouseUnhook"};
    if (iFullScreen == 0) expected = {"vTXKeyUnhook", "vTXMouseUnhook"};
    EXPECT_EQ(hooks.m_calls, expected);
  }
}

}  // namespace

// Every refusal with its "->無視" line is counted for the status file, and nothing else is.
TEST(InputPolicy, RefusalsAreCounted) {
  CLogCapture logs;
  CStatusCounters counters;
  CViewSettings settings;
  settings.m_iGestureZoomOff = 1;
  settings.m_iGesturePanOff = 1;
  CInputPolicy policy(settings, logs.m_sysLog, logs.m_accessLog);
  policy.vSetCounters(&counters);
  for (platform::MouseMessage eMessage :
       {platform::MOUSEMSG_RBUTTONDOWN, platform::MOUSEMSG_RBUTTONDBLCLK, platform::MOUSEMSG_RBUTTONUP,
        platform::MOUSEMSG_LBUTTONDOWN, platform::MOUSEMSG_WHEEL, platform::MOUSEMSG_OTHER})
    policy.fPreTranslateMouse(eMessage);
  BOOL bCancel = FALSE;
  policy.vNewWindow2(&bCancel);
  CGestureFilter filter(settings, logs.m_sysLog, logs.m_accessLog);
  filter.vSetCounters(&counters);
  for (uint32_t uId : {platform::GESTUREID_BEGIN, platform::GESTUREID_PAN, platform::GESTUREID_ZOOM,
                       platform::GESTUREID_ROTATE, platform::GESTUREID_END})
    filter.fOnGesture([uId](uint32_t& uRead) {
      uRead = uId;
      return TRUE;
    });
  EXPECT_EQ(counters.uRefusedInputs(REFUSED_RIGHT_CLICK), 2u);
  EXPECT_EQ(counters.uRefusedInputs(REFUSED_WHEEL), 1u);
  EXPECT_EQ(counters.uRefusedInputs(REFUSED_NEW_WINDOW), 1u);
  EXPECT_EQ(counters.uRefusedInputs(REFUSED_GESTURE), 2u);
  std::string log = logs.strAccessLog();
  size_t uRefusals = 0;
  for (size_t at = log.find("->無視\n"); at != std::string::npos; at = log.find("->無視\n", at + 1)) ++uRefusals;
  EXPECT_EQ(uRefusals, 6u);
}
