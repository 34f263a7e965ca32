// CTarvenixApp: construction, the start-up steps of InitInstance, the settings loader and the
// terminate handler.
#include "app/tarvenix_app.h"

#include <clocale>

#include "app/ie_reg.h"
#include "common/file_path.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "res/resource.h"

std::atomic<int32_t> g_bSigTerm{0};

void vOnSigTerm(int iSignal) {
  if (iSignal == 15) g_bSigTerm = 1;
}

namespace {

// Restart-manager support: restart only (no recovery, no autosave).
const unsigned int kRestartOnly = 1;

// An integer key of the settings file: its reader, default-writer and field, in file order.
struct IntKey {
  const char* pszName;
  BOOL (CSettingFile::*fGet)(int&);
  BOOL (CSettingFile::*fSetDefault)();
  int CTarvenixApp::*pField;
  int iDefault;
};

#define TX_INT_KEY(name, def) \
  { #name, &CSettingFile::fGet##name, &CSettingFile::fSetDefault##name, &CTarvenixApp::m_i##name, def }

const IntKey kKeysBeforeBlank[] = {
    TX_INT_KEY(FullScreen, 1),
    TX_INT_KEY(NewWindow, 1),
    TX_INT_KEY(RightButton, 1),
    TX_INT_KEY(Scroll, 1),
    TX_INT_KEY(IeVersion, 4),
    TX_INT_KEY(AccessLog, 0),
    TX_INT_KEY(MouseOn, 1),
    TX_INT_KEY(TopMostLevel, 0),
    TX_INT_KEY(GestureOff, 0),
    TX_INT_KEY(GestureZoomOff, 0),
    TX_INT_KEY(GesturePanOff, 0),
    TX_INT_KEY(GestureRotateOff, 0),
    TX_INT_KEY(GestureTwoFingerTapOff, 0),
    TX_INT_KEY(GesturePressAndTapOff, 0),
};
const IntKey kKeysAfterBlank[] = {
    TX_INT_KEY(DetectSize, 100),
    TX_INT_KEY(DetectInterval, 5000),
};
const IntKey kDetectPos = TX_INT_KEY(DetectPos, 2);

#undef TX_INT_KEY

}  // namespace

CTarvenixApp::CTarvenixApp()
    : m_iDebug(0),
      m_iFullScreen(1),
      m_iNewWindow(1),
      m_iRightButton(1),
      m_iScroll(1),
      m_iIeVersion(4),
      m_iAccessLog(0),
      m_iMouseOn(1),
      m_iTopMostLevel(0),
      m_iGestureOff(0),
      m_iGestureZoomOff(0),
      m_iGesturePanOff(0),
      m_iGestureRotateOff(0),
      m_iGestureTwoFingerTapOff(0),
      m_iGesturePressAndTapOff(0),
      m_iDetectSize(100),
      m_iDetectInterval(5000),
      m_iDetectPos(2),
      m_bOleInit(FALSE),
      m_bMainWindow(FALSE) {
  vSetRestartManagerSupport(kRestartOnly);
  SetAppID("Quendar.Tarvenix");
  platform::vSetErrorMode(0);
  platform::vSelectJapaneseLocale(LC_CTYPE);
  m_strDir = CFilePath().strGetDir();
  m_SysLog.fOpenMonthFile(m_strDir);
  m_SysLog.fWrite(LOG_ALL, "CTarvenixApp::CTarvenixApp() construct\n");
}

CTarvenixApp::~CTarvenixApp() {}

// Reads one integer key; a missing key (or -1) is logged and replaced by its default in the file.
static BOOL fLoadIntKey(CTarvenixApp& app, const IntKey& key, int& iValue) {
  (app.m_Setting.*key.fGet)(iValue);
  if (iValue != -1) return TRUE;
  app.m_SysLog.fWrite(LOG_ERROR, "設定ファイル %s設定なし\n", key.pszName);
  if (!(app.m_Setting.*key.fSetDefault)()) {
    app.m_SysLog.fWrite(LOG_ERROR, "設定ファイル %s設定失敗\n", key.pszName);
    return FALSE;
  }
  iValue = key.iDefault;
  return TRUE;
}

BOOL CTarvenixApp::fLoadSetting() {
  m_SysLog.fWrite(LOG_ALL, "CTarvenixApp::fLoadSetting()\n");
  m_Setting.m_strFile = CFilePath(m_strDir + platform::cPathSeparator() + "Tarvenix.ini").strGetFullPath();

  int debug = -1;
  m_Setting.fGetInt("Debug", debug);
  m_iDebug = (debug == -1) ? 0 : debug;

  for (const IntKey& key : kKeysBeforeBlank) {
    int value = 0;
    if (!fLoadIntKey(*this, key, value)) return FALSE;
    this->*key.pField = value;
  }

  std::string blank;
  m_Setting.fGetBlank(blank);
  if (blank == "None") {
    m_SysLog.fWrite(LOG_ERROR, "設定ファイル Blank設定なし\n");
    if (!m_Setting.fSetDefaultBlank()) {
      m_SysLog.fWrite(LOG_ERROR, "設定ファイル Blank設定失敗\n");
      return FALSE;
    }
    blank.clear();
  }
  m_strBlank = blank;

  for (const IntKey& key : kKeysAfterBlank) {
    int value = 0;
    if (!fLoadIntKey(*this, key, value)) return FALSE;
    this->*key.pField = value;
  }

  int pos = 0;
  m_Setting.fGetDetectPos(pos);
  if (pos == -1) {
    if (!fLoadIntKey(*this, kDetectPos, pos)) return FALSE;
  } else if (static_cast<unsigned int>(pos) > 3) {
    m_SysLog.fWrite(LOG_ERROR, "設定ファイル DetectPos不正\n");
    return FALSE;
  }
  m_iDetectPos = pos;
  m_Optional.vLoad(m_Setting, m_SysLog, m_strDir);

  m_SysLog.fWrite(LOG_ALL, "CTarvenixApp::fLoadSetting() load OK\n");
  return TRUE;
}

BOOL CTarvenixApp::InitInstance() {
  platform::fInitCommonControls();
  platform::CApplication::InitInstance();
  if (!platform::fOleInit()) {
    char text[256] = {};
    char title[64] = {};
    iLoadResString(IDP_OLE_INIT_FAILED, text, sizeof text);
    iLoadResString(AFX_IDS_APP_TITLE, title, sizeof title);
    platform::vShowStartupError(text, title);
    return FALSE;
  }
  m_bOleInit = TRUE;
  // The framework's control container and taskbar switches have nothing to switch here: the
  // HTML view hosts the engine itself and frames keep no taskbar tabs.
  SetRegistryKey("Quendar");

  // The receiver of tarvctl's terminate request. A thread that cannot start goes unnoticed: the
  // program runs on, deaf to terminate requests.
  m_Signal.m_strName = "Tarvenix";
  CSignalRecord sigTerm = {vOnSigTerm, 0x2002, 0x10000000, 0};
  m_Signal.vSetHandler(15, &sigTerm);
  m_Signal.fTerminate();
  m_Signal.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &m_Signal);

  m_SysLog.fWrite(LOG_ALL, "設定ファイルロード\n");
  if (!fLoadSetting()) {
    m_SysLog.fWrite(LOG_ERROR, "設定ファイルロードに失敗\n");
    return FALSE;
  }
  m_SysLog.m_iLevel = (m_iDebug == 0) ? LOG_INFO : LOG_ALL;
  if (m_iAccessLog != 0) m_AccessLog.fOpen(m_strDir + platform::cPathSeparator() + "access.log");

  ParseCommandLine(m_CmdLine);
  m_strUrl = m_CmdLine.m_strUrl;

  {
    CIeReg reg;
    if (!fSetupIeFeatureControl(reg, m_iIeVersion, m_SysLog)) return FALSE;
  }

  m_SysLog.fWrite(LOG_ALL, "メインウィンドウ生成\n");
  return fCreateMainFrame();
}

int CTarvenixApp::ExitInstance() {
  if (m_bOleInit) platform::vOleTerm();
  m_bOleInit = FALSE;
  return platform::CApplication::ExitInstance();
}
