// CSettingFile: the keys of section "Setting" with their defaults.
#include "app/setting_file.h"

CSettingFile::CSettingFile() {}

CSettingFile::~CSettingFile() {}

BOOL CSettingFile::fGetFullScreen(int& iValue) { return fGetInt("FullScreen", iValue); }
BOOL CSettingFile::fSetDefaultFullScreen() { return fSetInt("FullScreen", 1); }
BOOL CSettingFile::fGetNewWindow(int& iValue) { return fGetInt("NewWindow", iValue); }
BOOL CSettingFile::fSetDefaultNewWindow() { return fSetInt("NewWindow", 1); }
BOOL CSettingFile::fGetRightButton(int& iValue) { return fGetInt("RightButton", iValue); }
BOOL CSettingFile::fSetDefaultRightButton() { return fSetInt("RightButton", 1); }
BOOL CSettingFile::fGetScroll(int& iValue) { return fGetInt("Scroll", iValue); }
BOOL CSettingFile::fSetDefaultScroll() { return fSetInt("Scroll", 1); }
BOOL CSettingFile::fGetIeVersion(int& iValue) { return fGetInt("IeVersion", iValue); }
BOOL CSettingFile::fSetDefaultIeVersion() { return fSetInt("IeVersion", 4); }
BOOL CSettingFile::fGetAccessLog(int& iValue) { return fGetInt("AccessLog", iValue); }
BOOL CSettingFile::fSetDefaultAccessLog() { return fSetInt("AccessLog", 0); }
BOOL CSettingFile::fGetMouseOn(int& iValue) { return fGetInt("MouseOn", iValue); }
BOOL CSettingFile::fSetDefaultMouseOn() { return fSetInt("MouseOn", 1); }
BOOL CSettingFile::fGetTopMostLevel(int& iValue) { return fGetInt("TopMostLevel", iValue); }
BOOL CSettingFile::fSetDefaultTopMostLevel() { return fSetInt("TopMostLevel", 0); }
BOOL CSettingFile::fGetGestureOff(int& iValue) { return fGetInt("GestureOff", iValue); }
BOOL CSettingFile::fSetDefaultGestureOff() { return fSetInt("GestureOff", 0); }
BOOL CSettingFile::fGetGestureZoomOff(int& iValue) { return fGetInt("GestureZoomOff", iValue); }
BOOL CSettingFile::fSetDefaultGestureZoomOff() { return fSetInt("GestureZoomOff", 0); }
BOOL CSettingFile::fGetGesturePanOff(int& iValue) { return fGetInt("GesturePanOff", iValue); }
BOOL CSettingFile::fSetDefaultGesturePanOff() { return fSetInt("GesturePanOff", 0); }
BOOL CSettingFile::fGetGestureRotateOff(int& iValue) { return fGetInt("GestureRotateOff", iValue); }
BOOL CSettingFile::fSetDefaultGestureRotateOff() { return fSetInt("GestureRotateOff", 0); }
BOOL CSettingFile::fGetGestureTwoFingerTapOff(int& iValue) { return fGetInt("GestureTwoFingerTapOff", iValue); }
BOOL CSettingFile::fSetDefaultGestureTwoFingerTapOff() { return fSetInt("GestureTwoFingerTapOff", 0); }
BOOL CSettingFile::fGetGesturePressAndTapOff(int& iValue) { return fGetInt("GesturePressAndTapOff", iValue); }
BOOL CSettingFile::fSetDefaultGesturePressAndTapOff() { return fSetInt("GesturePressAndTapOff", 0); }
BOOL CSettingFile::fGetBlank(std::string& strValue) { return fGetString("Blank", strValue, "None"); }
BOOL CSettingFile::fSetDefaultBlank() { return fSetString("Blank", "\"\""); }
BOOL CSettingFile::fGetDetectSize(int& iValue) { return fGetInt("DetectSize", iValue); }
BOOL CSettingFile::fSetDefaultDetectSize() { return fSetInt("DetectSize", 100); }
BOOL CSettingFile::fGetDetectInterval(int& iValue) { return fGetInt("DetectInterval", iValue); }
BOOL CSettingFile::fSetDefaultDetectInterval() { return fSetInt("DetectInterval", 5000); }
BOOL CSettingFile::fGetDetectPos(int& iValue) { return fGetInt("DetectPos", iValue); }
BOOL CSettingFile::fSetDefaultDetectPos() { return fSetInt("DetectPos", 2); }
