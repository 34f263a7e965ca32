// Tests of the touch gesture filter: its set-up and the decision for each gesture id and setting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_capture.h"
#include "view/gesture_filter.h"

namespace {

using namespace platform;

struct CFakeDocumentWindow : CGestureWindow {
  BOOL fFindDocumentWindow() override {
    m_calls.push_back("find");
    return m_bExists;
  }
  void vConfigureGestures(const CGestureConfig* pConfigs, unsigned int uCount) override {
    m_calls.push_back("configure");
    m_configs.assign(pConfigs, pConfigs + uCount);
  }
  BOOL fSubclass() override {
    m_calls.push_back("subclass");
    return m_bSubclassWorks;
  }
  void vRemoveSubclass() override { m_calls.push_back("unsubclass"); }

  BOOL m_bExists = TRUE;
  BOOL m_bSubclassWorks = TRUE;
  std::vector<std::string> m_calls;
  std::vector<CGestureConfig> m_configs;
};

using Calls = std::vector<std::string>;

CViewSettings settingsWith(int CViewSettings::*pSetting, int iValue = 1) {
  CViewSettings settings;
  if (pSetting != nullptr) settings.*pSetting = iValue;
  return settings;
}

int CViewSettings::*const kGestureSettings[] = {
    &CViewSettings::m_iGestureOff,
    &CViewSettings::m_iGestureZoomOff,
    &CViewSettings::m_iGesturePanOff,
    &CViewSettings::m_iGestureRotateOff,
    &CViewSettings::m_iGestureTwoFingerTapOff,
    &CViewSettings::m_iGesturePressAndTapOff,
};

TEST(GestureFilter, AllSettingsOffSetsNothingUp) {
  CLogCapture logs;
  CViewSettings settings;
  settings.m_iRightButton = 1;
  settings.m_iFullScreen = 1;  // other settings do not count
  CGestureFilter filter(settings, logs.m_sysLog, logs.m_accessLog);
  CFakeDocumentWindow window;
  filter.vSetUp(window);
  filter.vRemove(window);
  EXPECT_EQ(window.m_calls, Calls{});
  EXPECT_FALSE(filter.fIsSetUp());
  EXPECT_EQ(logs.strSysLog(), "");
}

TEST(GestureFilter, AnySettingSetsUpOnceWithTheFiveRecords) {
  for (int CViewSettings::*pSetting : kGestureSettings) {
    CLogCapture logs;
    CGestureFilter filter(settingsWith(pSetting, -3), logs.m_sysLog, logs.m_accessLog);
    CFakeDocumentWindow window;
    filter.vSetUp(window);
    filter.vSetUp(window);
    EXPECT_EQ(window.m_calls, (Calls{"find", "configure", "subclass"}));
    ASSERT_EQ(window.m_configs.size(), 5u);
    const uint32_t expected[5][3] = {{3, 1, 0}, {4, 0x1E, 0}, {5, 1, 0}, {6, 1, 0}, {7, 1, 0}};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(window.m_configs[i].m_uId, expected[i][0]);
      EXPECT_EQ(window.m_configs[i].m_uWant, expected[i][1]);
      EXPECT_EQ(window.m_configs[i].m_uBlock, expected[i][2]);
    }
    window.m_calls.clear();
    filter.vRemove(window);
    filter.vRemove(window);
    EXPECT_EQ(window.m_calls, Calls{"unsubclass"});
    EXPECT_EQ(logs.strAccessLog(), "");
  }
}

TEST(GestureFilter, SetUpWaitsForTheDocumentWindow) {
  CLogCapture logs;
  CGestureFilter filter(settingsWith(&CViewSettings::m_iGesturePanOff), logs.m_sysLog, logs.m_accessLog);
  CFakeDocumentWindow window;
  window.m_bExists = FALSE;
  filter.vSetUp(window);
  filter.vSetUp(window);
  EXPECT_EQ(window.m_calls, (Calls{"find", "find"}));
  EXPECT_FALSE(filter.fIsSetUp());
  window.m_bExists = TRUE;
  filter.vSetUp(window);
  EXPECT_EQ(window.m_calls, (Calls{"find", "find", "find", "configure", "subclass"}));
  EXPECT_TRUE(filter.fIsSubclassed());
}

TEST(GestureFilter, FailedSubclassIsNeitherRetriedNorRemoved) {
  CLogCapture logs;
  CGestureFilter filter(settingsWith(&CViewSettings::m_iGestureOff), logs.m_sysLog, logs.m_accessLog);
  CFakeDocumentWindow window;
  window.m_bSubclassWorks = FALSE;
  filter.vSetUp(window);
  window.m_bSubclassWorks = TRUE;
  filter.vSetUp(window);
  filter.vRemove(window);
  EXPECT_EQ(window.m_calls, (Calls{"find", "configure", "subclass"}));
  EXPECT_TRUE(filter.fIsSetUp());
  EXPECT_FALSE(filter.fIsSubclassed());
}

TEST(GestureFilter, DecisionPerGestureAndSetting) {
  const char* kAll = "ユーザーによるジェスチャー->無視\n";
  const char* kZoom = "ユーザーによるジェスチャー ズーム->無視\n";
  const char* kPan = "ユーザーによるジェスチャー パン->無視\n";
  const char* kRotate = "ユーザーによるジェスチャー 回転->無視\n";
  const char* kTwoFinger = "ユーザーによるジェスチャー ツーフィンガータップ->無視\n";
  const char* kPressAndTap = "ユーザーによるジェスチャー プレスアンドタップ->無視\n";
  const char* kBegin = "一般的なジェスチャ開始\n";
  const char* kEnd = "一般的なジェスチャ終了\n";
  const char* kOther = "その他のジェスチャー\n";
  const int kReadFails = -1;
  struct CRow {
    int CViewSettings::*pSetting;  // the one setting on, or none
    int iId;                       // the gesture id read, or kReadFails
    BOOL bSwallowed;
    const char* pszAccess;
  };
  const CRow rows[] = {
      // Everything off: nothing is refused, but begin, end and unknown ids leave a line.
      {nullptr, GESTUREID_ZOOM, FALSE, ""},
      {nullptr, GESTUREID_BEGIN, FALSE, kBegin},
      {nullptr, GESTUREID_END, FALSE, kEnd},
      {nullptr, 0, FALSE, kOther},
      {nullptr, 8, FALSE, kOther},
      // GestureOff refuses every gesture before its information is read.
      {&CViewSettings::m_iGestureOff, GESTUREID_BEGIN, TRUE, kAll},
      {&CViewSettings::m_iGestureOff, GESTUREID_END, TRUE, kAll},
      {&CViewSettings::m_iGestureOff, GESTUREID_PAN, TRUE, kAll},
      {&CViewSettings::m_iGestureOff, 99, TRUE, kAll},
      {&CViewSettings::m_iGestureOff, kReadFails, TRUE, kAll},
      // Each gesture setting refuses its own gesture only.
      {&CViewSettings::m_iGestureZoomOff, GESTUREID_ZOOM, TRUE, kZoom},
      {&CViewSettings::m_iGestureZoomOff, GESTUREID_PAN, FALSE, ""},
      {&CViewSettings::m_iGesturePanOff, GESTUREID_PAN, TRUE, kPan},
      {&CViewSettings::m_iGesturePanOff, GESTUREID_ZOOM, FALSE, ""},
      {&CViewSettings::m_iGesturePanOff, GESTUREID_BEGIN, FALSE, kBegin},
      {&CViewSettings::m_iGesturePanOff, GESTUREID_END, FALSE, kEnd},
      {&CViewSettings::m_iGestureRotateOff, GESTUREID_ROTATE, TRUE, kRotate},
      {&CViewSettings::m_iGestureRotateOff, GESTUREID_TWOFINGERTAP, FALSE, ""},
      {&CViewSettings::m_iGestureTwoFingerTapOff, GESTUREID_TWOFINGERTAP, TRUE, kTwoFinger},
      {&CViewSettings::m_iGestureTwoFingerTapOff, GESTUREID_PRESSANDTAP, FALSE, ""},
      {&CViewSettings::m_iGesturePressAndTapOff, GESTUREID_PRESSANDTAP, TRUE, kPressAndTap},
      {&CViewSettings::m_iGesturePressAndTapOff, GESTUREID_ROTATE, FALSE, ""},
      {&CViewSettings::m_iGesturePressAndTapOff, 8, FALSE, kOther},
      // Unreadable gesture information passes on with no access-log line.
      {&CViewSettings::m_iGestureZoomOff, kReadFails, FALSE, ""},
  };
  int iRow = 0;
  for (const CRow& row : rows) {
    SCOPED_TRACE("row " + std::to_string(iRow++));
    CLogCapture logs;
    CGestureFilter filter(settingsWith(row.pSetting), logs.m_sysLog, logs.m_accessLog);
    int iReads = 0;
    BOOL bSwallowed = filter.fOnGesture([&](uint32_t& uId) {
      ++iReads;
      if (row.iId == kReadFails) return FALSE;
      uId = static_cast<uint32_t>(row.iId);
      return TRUE;
    });
    EXPECT_EQ(bSwallowed, row.bSwallowed);
    EXPECT_EQ(logs.strAccessLog(), row.pszAccess);
    EXPECT_EQ(logs.strSysLog(), "\"All\",GESTURE\n");
    EXPECT_EQ(iReads, row.pSetting == &CViewSettings::m_iGestureOff ? 0 : 1);
  }
}

TEST(GestureFilter, GestureOffWinsOverEverySetting) {
  CViewSettings settings;
  for (int CViewSettings::*pSetting : kGestureSettings) settings.*pSetting = 1;
  CLogCapture logs;
  CGestureFilter filter(settings, logs.m_sysLog, logs.m_accessLog);
  for (uint32_t uId = 0; uId <= 8; ++uId) {
    EXPECT_TRUE(filter.fOnGesture([&](uint32_t& u) {
      u = uId;
      return TRUE;
    }));
  }
  std::string expected;
  for (int i = 0; i <= 8; ++i) expected += "ユーザーによるジェスチャー->無視\n";
  EXPECT_EQ(logs.strAccessLog(), expected);
}

}  // namespace
