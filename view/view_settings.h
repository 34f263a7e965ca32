// The settings that the page view's decisions read, filled by the application from its settings.
#pragma once

// Each field mirrors the application's settings field of the same name: 0 is off, any other value
// on. The initial values are the defaults that the settings file is completed with.
struct CViewSettings {
  int m_iFullScreen = 1;      // the detect-mouse hook is installed
  int m_iNewWindow = 1;       // every new browser window is refused
  int m_iRightButton = 1;     // right-button presses are swallowed and the mouse hook holds them back
  int m_iScroll = 1;          // no scroll bars and no 3-D borders
  int m_iMouseOn = 1;         // off: the mouse hook hides the cursor
  int m_iTopMostLevel = 0;    // any value other than 2: the view window is top-most
  int m_iGestureOff = 0;      // every touch gesture is refused
  int m_iGestureZoomOff = 0;  // the zoom gesture and the mouse wheel are refused
  int m_iGesturePanOff = 0;
  int m_iGestureRotateOff = 0;
  int m_iGestureTwoFingerTapOff = 0;
  int m_iGesturePressAndTapOff = 0;
  int m_iDetectSize = 100;  // passed to the detect-mouse hook as they are
  int m_iDetectPos = 2;
  int m_iDetectInterval = 5000;
};
