// CScreenshotFile: what the view shows, kept as a PNG file that a remote check can fetch.
#pragma once

#include <string>

#include "common/log_file.h"
#include "view/snapshot_sink.h"

// Each picture replaces the file whole (a temporary file and a rename), so a reader sees the old
// picture or the new one, never a part. A picture that cannot be encoded or written logs
// "スクリーンショット保存に失敗[<path>]\n" at LOG_ERROR once, and again only after a picture was
// saved. The log must outlive it. UI thread only.
class CScreenshotFile : public CSnapshotSink {
 public:
  CScreenshotFile(const std::string& strPath, CSystemLog& sysLog);

  void vOnSnapshot(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride) override;
  // Whether the last picture was saved.
  BOOL fLastSaved() const { return m_bLastSaved; }

 private:
  std::string m_strPath;
  CSystemLog& m_sysLog;
  BOOL m_bFailureLogged;
  BOOL m_bLastSaved;
};
