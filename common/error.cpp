// Message presenter: composition from the string table, the modal box and the worker-thread box.
#include "common/error.h"

#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "res/resource.h"

namespace {

const char* const ERR_FALLBACK_FORMAT = "未定義のエラー!リソースに指定IDのエラー文字列がありません[%d]";

std::string strFallback(int iId) {
  char buf[160];
  std::snprintf(buf, sizeof buf, ERR_FALLBACK_FORMAT, iId);
  return buf;
}

// Replaces every strKey in strText by strValue, left to right, never looking at inserted text.
std::string strReplaceAll(const std::string& strText, const char* pszKey, const std::string& strValue) {
  std::string strKey = pszKey;
  std::string strResult;
  size_t uPos = 0;
  for (size_t uFound; (uFound = strText.find(strKey, uPos)) != std::string::npos; uPos = uFound + strKey.size())
    strResult.append(strText, uPos, uFound - uPos).append(strValue);
  return strResult.append(strText, uPos, std::string::npos);
}

}  // namespace

std::string strInsertParams(const std::string& strMessage, const std::string& strParam1, const std::string& strParam2) {
  return strReplaceAll(strReplaceAll(strMessage, "%1", strParam1), "%2", strParam2);
}

CError::CError()
    : m_iErrorBaseId(50000), m_iParamBaseId(51000), m_hOwner(nullptr), m_uStyle(ERR_STYLE_DEFAULT), m_iLastId(-1) {}

CError::~CError() {}

BOOL CError::fLoadText(int iId, std::string& strText) {
  for (int iSize = 256;; iSize += 256) {
    std::unique_ptr<char[]> pBuffer(new (std::nothrow) char[iSize]);
    if (!pBuffer) return FALSE;
    int iLength = iLoadResString(static_cast<unsigned int>(iId), pBuffer.get(), iSize);
    if (iLength <= 0) return FALSE;
    if (iLength != iSize - 1) {
      strText.assign(pBuffer.get(), iLength);
      return TRUE;
    }
  }
}

int CError::iShowError(int iMessageId, int iParam1, int iParam2, const char* pszBefore, const char* pszAfter) {
  if (iMessageId < 0) return 2;
  std::string strText;
  std::string strParam1, strParam2;
  if (iParam1 >= 0 && !fLoadText(m_iParamBaseId + iParam1, strParam1)) {
    strText = strFallback(m_iParamBaseId + iParam1);
  } else if (iParam2 >= 0 && !fLoadText(m_iParamBaseId + iParam2, strParam2)) {
    strText = strFallback(m_iParamBaseId + iParam2);
  } else {
    std::string strMessage;
    if (!fLoadText(m_iErrorBaseId + iMessageId, strMessage)) {
      strText = strFallback(m_iErrorBaseId + iMessageId);
    } else {
      strMessage = strInsertParams(strMessage, strParam1, strParam2);
      if (pszBefore) strText = pszBefore;
      strText += strMessage;
      if (pszAfter) strText += pszAfter;
    }
  }
  return iMessageBox(strText, iMessageId);
}

int CError::iMessageBox(const std::string& strText, int iMessageId) {
  m_iLastId = iMessageId;
  int iAnswer = platform::iMessageBox(m_hOwner, strText.c_str(), m_strCaption.c_str(), m_uStyle);
  m_uStyle = ERR_STYLE_DEFAULT;
  return iAnswer;
}

CErrorModeless::CErrorModeless() : m_bShowing(FALSE), m_pThread(nullptr), m_bClosing(false), m_bWorkerDone(true) {}

CErrorModeless::~CErrorModeless() { vClose(); }

int CErrorModeless::iMessageBox(const std::string& strText, int iMessageId) {
  if (m_bShowing) return 0;
  vJoinWorker();
  m_strText = strText;
  m_iLastId = iMessageId;
  m_bShowing = TRUE;
  m_bWorkerDone = false;
  try {
    m_pThread = new std::thread(&CErrorModeless::vWorker, this);
  } catch (...) {  // no memory, or no thread could be started
    m_pThread = nullptr;
    m_bWorkerDone = true;
    m_bShowing = FALSE;
    return 0;
  }
  return 1;
}

void CErrorModeless::vWorker() {
  int iAnswer = platform::iMessageBox(m_hOwner, m_strText.c_str(), m_strCaption.c_str(), m_uStyle);
  m_uStyle = ERR_STYLE_DEFAULT;
  {
    std::lock_guard<std::mutex> lock(m_deliver);
    if (!m_bClosing) vOnMessageBoxResult(iAnswer, m_iLastId);
  }
  m_bShowing = FALSE;
  m_bWorkerDone = true;
}

void CErrorModeless::vJoinWorker() {
  if (m_pThread == nullptr) return;
  if (m_pThread->joinable()) m_pThread->join();
  delete m_pThread;
  m_pThread = nullptr;
}

void CErrorModeless::vClose() {
  {
    std::lock_guard<std::mutex> lock(m_deliver);
    m_bClosing = true;
  }
  // The worker may not have put its box up yet: keep ending it until the worker is done.
  while (m_pThread != nullptr && !m_bWorkerDone) {
    platform::fEndMessageBox(m_hOwner, m_strCaption.c_str(), platform::MBR_NONE);
    platform::vSleepMs(20);
  }
  vJoinWorker();
  m_bShowing = FALSE;
  m_strText.clear();
  std::lock_guard<std::mutex> lock(m_deliver);
  m_bClosing = false;
}
