// Tests of the page view's touch gesture filter with touches fed through GTK's event dispatch, as
// the X server's touches arrive: what the page sees, and the log lines.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "../platform/page_script.h"
#include "../platform/ui_test_util.h"
#include "../platform/x_window.h"
#include "log_capture.h"
#include "platform/frame_window.h"
#include "platform/message_loop.h"
#include "view/child_view.h"

namespace {

struct CNoFrame : CViewFrame {
  void vPostClose() override {}
  void vConfirmExit() override {}
};

// Xvfb has no touch device: the touches are GDK touch events of the pointer device, handed to
// GTK's dispatch like those that come from the server. Event times are the script's own.
class TouchView : public ::testing::Test {
 protected:
  void vStart(int CViewSettings::*pSetting, int CViewSettings::*pSecond = nullptr) {
    ASSERT_TRUE(m_session.fOk());
    ASSERT_TRUE(platform::fInitMessageLoop());
    ASSERT_TRUE(m_frame.fCreate("Tarvenix", "TarvenixClass", FALSE));
    CViewSettings settings;
    settings.m_iScroll = 0;  // the page scrolls, so that a pan shows
    if (pSetting != nullptr) settings.*pSetting = 1;
    if (pSecond != nullptr) settings.*pSecond = 1;
    m_pView = new CChildView(settings, m_logs.m_sysLog, m_logs.m_accessLog, m_noFrame);
    ASSERT_TRUE(m_pView->fCreate(m_frame, FALSE));
    m_frame.vFullScreen();
    m_frame.vShow();
    std::string strUrl = "file://" TX_TEST_SOURCE_DIR "/view/pages/touch.html";
    m_pView->vNavigateInit(strUrl);
    m_pView->Navigate2(strUrl.c_str());
    // Polled outside the loop's condition: a script's answer needs a loop of its own.
    bool bLoaded = false;
    for (int i = 0; i < 100 && !bLoaded; ++i) {
      fRunLoopUntil([] { return false; }, 200);
      bLoaded = strEval("document.readyState + typeof counts") == "completeobject";
    }
    ASSERT_TRUE(bLoaded);
    m_uNavigationLog = m_logs.strAccessLog().size();
    m_pWidget = static_cast<GtkWidget*>(m_pView->hGetWindow());
  }

  void vTouch(GdkEventType eType, unsigned int uFinger, double dX, double dY, uint32_t uTimeMs) {
    GdkWindow* pWindow = gtk_widget_get_window(m_pWidget);
    GdkEvent* pEvent = gdk_event_new(eType);
    pEvent->touch.window = GDK_WINDOW(g_object_ref(pWindow));
    pEvent->touch.x = dX;
    pEvent->touch.y = dY;
    int iLeft = 0, iTop = 0;
    gdk_window_get_origin(pWindow, &iLeft, &iTop);
    pEvent->touch.x_root = dX + iLeft;
    pEvent->touch.y_root = dY + iTop;
    pEvent->touch.time = m_uBaseMs + uTimeMs;
    pEvent->touch.sequence = reinterpret_cast<GdkEventSequence*>(static_cast<uintptr_t>(uFinger));
    pEvent->touch.emulating_pointer = FALSE;  // a pointer-emulating touch of a non-touch device becomes a click
    gdk_event_set_device(pEvent, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(pWindow))));
    gtk_main_do_event(pEvent);
    gdk_event_free(pEvent);
    fRunLoopUntil([] { return false; }, 30);
  }

  void vDrag(uint32_t uAtMs) {  // one finger, 300 px upwards
    vTouch(GDK_TOUCH_BEGIN, 1, 400, 600, uAtMs);
    for (int i = 1; i <= 15; ++i) vTouch(GDK_TOUCH_UPDATE, 1, 400, 600 - 20 * i, uAtMs + 16 * i);
    vTouch(GDK_TOUCH_END, 1, 400, 300, uAtMs + 260);
  }
  void vPinch(uint32_t uAtMs) {  // two fingers spread from 100 to 300 px apart
    vTouch(GDK_TOUCH_BEGIN, 1, 350, 400, uAtMs);
    vTouch(GDK_TOUCH_BEGIN, 2, 450, 400, uAtMs + 10);
    for (int i = 1; i <= 10; ++i) {
      vTouch(GDK_TOUCH_UPDATE, 1, 350 - 10 * i, 400, uAtMs + 10 + 16 * i);
      vTouch(GDK_TOUCH_UPDATE, 2, 450 + 10 * i, 400, uAtMs + 18 + 16 * i);
    }
    vTouch(GDK_TOUCH_END, 1, 250, 400, uAtMs + 200);
    vTouch(GDK_TOUCH_END, 2, 550, 400, uAtMs + 210);
  }
  void vTap(unsigned int uFinger, double dX, uint32_t uAtMs) {
    vTouch(GDK_TOUCH_BEGIN, uFinger, dX, 300, uAtMs);
    vTouch(GDK_TOUCH_END, uFinger, dX, 300, uAtMs + 60);
  }

  std::string strEval(const char* pszScript) { return strEvalInPage(m_pView->hGetWindow(), pszScript); }
  // The page's counters once the touches have settled: "touchstart,touchmove,touchend,click".
  // The access log's lines since the page loaded.
  std::string strTouchLog() const { return m_logs.strAccessLog().substr(m_uNavigationLog); }
  std::string strCounts() {
    fRunLoopUntil([] { return false; }, 600);
    return strEval("[counts.touchstart, counts.touchmove, counts.touchend, counts.click].join()");
  }
  int iScrollY() { return std::stoi("0" + strEval("Math.round(window.scrollY)")); }
  double dScale() { return std::stod(strEval("visualViewport.scale")); }

  CXSession m_session{false};
  CLogCapture m_logs;
  CNoFrame m_noFrame;
  platform::CFrameWindow m_frame;
  CChildView* m_pView = nullptr;  // deleted with its window
  GtkWidget* m_pWidget = nullptr;
  uint32_t m_uBaseMs = 100000;
  size_t m_uNavigationLog = 0;
};

TEST_F(TouchView, RefusedPanAndTwoFingerTapNeverReachThePageWhileTapsDo) {
  vStart(&CViewSettings::m_iGesturePanOff, &CViewSettings::m_iGestureTwoFingerTapOff);
  vDrag(0);
  EXPECT_EQ(strCounts(), "0,0,0,0");
  EXPECT_EQ(iScrollY(), 0);
  vTap(1, 300, 1000);
  vTouch(GDK_TOUCH_BEGIN, 2, 300, 300, 2000);  // two fingers tapped together
  vTouch(GDK_TOUCH_BEGIN, 3, 400, 300, 2030);
  vTouch(GDK_TOUCH_END, 3, 400, 300, 2100);
  vTouch(GDK_TOUCH_END, 2, 300, 300, 2110);
  EXPECT_EQ(strCounts(), "1,0,1,1");  // only the one-finger tap, which clicks
  EXPECT_EQ(strTouchLog(),
            "一般的なジェスチャ開始\nユーザーによるジェスチャー パン->無視\n一般的なジェスチャ終了\n"
            "一般的なジェスチャ開始\n一般的なジェスチャ終了\n"
            "一般的なジェスチャ開始\nユーザーによるジェスチャー ツーフィンガータップ->無視\n一般的なジェスチャ終了\n");
  EXPECT_NE(m_logs.strSysLog().find("\"All\",GESTURE\n"), std::string::npos);
}

TEST_F(TouchView, RefusedZoomLeavesTheScaleWhilePanScrolls) {
  vStart(&CViewSettings::m_iGestureZoomOff);
  vPinch(0);
  EXPECT_EQ(strCounts(), "0,0,0,0");
  EXPECT_EQ(dScale(), 1.0);
  vDrag(1000);
  EXPECT_GT(iScrollY(), 0);
  EXPECT_EQ(strTouchLog(),
            "一般的なジェスチャ開始\nユーザーによるジェスチャー ズーム->無視\n一般的なジェスチャ終了\n"
            "一般的なジェスチャ開始\n一般的なジェスチャ終了\n");
}

TEST_F(TouchView, WithoutGestureSettingsTouchesGoStraightToThePage) {
  vStart(nullptr);
  vDrag(0);
  EXPECT_EQ(strCounts().substr(0, 2), "1,");
  EXPECT_GT(iScrollY(), 0);
  vPinch(1000);
  EXPECT_GT(dScale(), 1.0);  // the same touches zoom the page when nothing refuses them
  EXPECT_EQ(strTouchLog(), "");
  EXPECT_EQ(m_logs.strSysLog().find("GESTURE"), std::string::npos);
}

// A long press is the touch form of a right click: refused with its line, and the engine's own
// context menu never opens.
TEST_F(TouchView, LongPressIsARefusedRightClick) {
  vStart(nullptr);
  auto fPopupOpen = [] {
    GList* pList = gtk_window_list_toplevels();
    bool bOpen = false;
    for (GList* p = pList; p != nullptr; p = p->next)
      bOpen |= gtk_window_get_window_type(GTK_WINDOW(p->data)) == GTK_WINDOW_POPUP &&
               gtk_widget_get_visible(GTK_WIDGET(p->data));
    g_list_free(pList);
    return bOpen;
  };
  vTouch(GDK_TOUCH_BEGIN, 1, 300, 300, 0);
  EXPECT_FALSE(fRunLoopUntil(fPopupOpen, 2000));
  vTouch(GDK_TOUCH_END, 1, 300, 300, 2000);
  EXPECT_FALSE(fRunLoopUntil(fPopupOpen, 500));
  EXPECT_EQ(strTouchLog(), "ユーザーによる右クリック->無視\n");
}

}  // namespace
