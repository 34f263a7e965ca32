// CScreenshotFile: a picture encoded by the PNG writer and put in place by an atomic replacement.
#include "app/screenshot_file.h"

#include "common/png_writer.h"
#include "platform/file_replace.h"

CScreenshotFile::CScreenshotFile(const std::string& strPath, CSystemLog& sysLog)
    : m_strPath(strPath), m_sysLog(sysLog), m_bFailureLogged(FALSE), m_bLastSaved(FALSE) {}

void CScreenshotFile::vOnSnapshot(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride) {
  std::string png;
  m_bLastSaved = fEncodePng(uWidth, uHeight, pPixels, uStride, png) && platform::fReplaceFile(m_strPath, png);
  if (m_bLastSaved) {
    m_bFailureLogged = FALSE;
    return;
  }
  if (!m_bFailureLogged) m_sysLog.fWrite(LOG_ERROR, "スクリーンショット保存に失敗[%s]\n", m_strPath.c_str());
  m_bFailureLogged = TRUE;
}
