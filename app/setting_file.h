// CSettingFile: a reader and a default-writer for each key of the settings file.
#pragma once

#include <string>

#include "app/ini_file.h"

// fGet<Key> reads the key (a missing key gives -1; Blank gives "None") and returns the reader's
// result; fSetDefault<Key> writes the key's default and returns whether it was written.
class CSettingFile : public CIniFile {
 public:
  CSettingFile();
  ~CSettingFile() override;

  BOOL fGetFullScreen(int& iValue);
  BOOL fSetDefaultFullScreen();  // 1
  BOOL fGetNewWindow(int& iValue);
  BOOL fSetDefaultNewWindow();  // 1
  BOOL fGetRightButton(int& iValue);
  BOOL fSetDefaultRightButton();  // 1
  BOOL fGetScroll(int& iValue);
  BOOL fSetDefaultScroll();  // 1
  BOOL fGetIeVersion(int& iValue);
  BOOL fSetDefaultIeVersion();  // 4
  BOOL fGetAccessLog(int& iValue);
  BOOL fSetDefaultAccessLog();  // 0
  BOOL fGetMouseOn(int& iValue);
  BOOL fSetDefaultMouseOn();  // 1
  BOOL fGetTopMostLevel(int& iValue);
  BOOL fSetDefaultTopMostLevel();  // 0
  BOOL fGetGestureOff(int& iValue);
  BOOL fSetDefaultGestureOff();  // 0
  BOOL fGetGestureZoomOff(int& iValue);
  BOOL fSetDefaultGestureZoomOff();  // 0
  BOOL fGetGesturePanOff(int& iValue);
  BOOL fSetDefaultGesturePanOff();  // 0
  BOOL fGetGestureRotateOff(int& iValue);
  BOOL fSetDefaultGestureRotateOff();  // 0
  BOOL fGetGestureTwoFingerTapOff(int& iValue);
  BOOL fSetDefaultGestureTwoFingerTapOff();  // 0
  BOOL fGetGesturePressAndTapOff(int& iValue);
  BOOL fSetDefaultGesturePressAndTapOff();  // 0
  BOOL fGetBlank(std::string& strValue);
  BOOL fSetDefaultBlank();  // two double quotes: reads back as the empty text
  BOOL fGetDetectSize(int& iValue);
  BOOL fSetDefaultDetectSize();  // 100
  BOOL fGetDetectInterval(int& iValue);
  BOOL fSetDefaultDetectInterval();  // 5000
  BOOL fGetDetectPos(int& iValue);
  BOOL fSetDefaultDetectPos();  // 2
};
