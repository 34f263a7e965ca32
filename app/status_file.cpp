// CStatusFile: the series of the status file, their text and its atomic replacement.
#include "app/status_file.h"

#include <cstdio>

#include "platform/file_replace.h"
#include "platform/process_memory.h"

namespace {

const char* const kRefusedKinds[REFUSED_COUNT] = {"right_click", "wheel", "new_window", "gesture"};
const char* const kOutcomes[NAVOUT_COUNT] = {"complete", "error", "refused"};

void vFamily(std::string& out, const char* pszName, const char* pszType, const char* pszHelp) {
  out += std::string("# HELP ") + pszName + " " + pszHelp + "\n";
  out += std::string("# TYPE ") + pszName + " " + pszType + "\n";
}

std::string strSeconds(double dSeconds) {
  char szText[64];
  std::snprintf(szText, sizeof szText, "%.3f", dSeconds);
  return szText;
}

void vSample(std::string& out, const char* pszName, const std::string& strLabels, const std::string& strValue) {
  out += pszName;
  if (!strLabels.empty()) out += "{" + strLabels + "}";
  out += " " + strValue + "\n";
}

}  // namespace

std::string strLabelValue(const std::string& strValue) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : strValue) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\n') {
      out += "\\n";
    } else if (u < 0x20 || u >= 0x7F) {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string strStatusText(const CStatusCounters& counters, BOOL bMemoryKnown, uint64_t uResidentBytes, double dNow) {
  std::string out;
  vFamily(out, "tarvenix_start_time_seconds", "gauge", "Time the kiosk started, in seconds since 1970.");
  vSample(out, "tarvenix_start_time_seconds", "", strSeconds(counters.dStartTime()));
  vFamily(out, "tarvenix_status_time_seconds", "gauge", "Time this file was written, in seconds since 1970.");
  vSample(out, "tarvenix_status_time_seconds", "", strSeconds(dNow));
  vFamily(out, "tarvenix_last_document_complete_time_seconds", "gauge",
          "Time the page last completed a document, in seconds since 1970; 0 before the first.");
  vSample(out, "tarvenix_last_document_complete_time_seconds", "", strSeconds(counters.dLastCompleteTime()));
  vFamily(out, "tarvenix_last_error_time_seconds", "gauge",
          "Time a navigation of the page last failed, in seconds since 1970; 0 before the first.");
  vSample(out, "tarvenix_last_error_time_seconds", "", strSeconds(counters.dLastErrorTime()));

  vFamily(out, "tarvenix_navigations_total", "counter",
          "Navigations of the page by outcome: complete, error, refused (by the address allow-list).");
  for (int i = 0; i < NAVOUT_COUNT; ++i) {
    vSample(out, "tarvenix_navigations_total", std::string("outcome=\"") + kOutcomes[i] + "\"",
            std::to_string(counters.uNavigations(static_cast<NavigationOutcome>(i))));
  }
  vFamily(out, "tarvenix_refused_inputs_total", "counter", "Inputs and window requests the kiosk refused, by kind.");
  for (int i = 0; i < REFUSED_COUNT; ++i) {
    vSample(out, "tarvenix_refused_inputs_total", std::string("kind=\"") + kRefusedKinds[i] + "\"",
            std::to_string(counters.uRefusedInputs(static_cast<RefusedInput>(i))));
  }
  vFamily(out, "tarvenix_engine_recoveries_total", "counter",
          "Times the browser engine was ended and started again, by reason.");
  for (const auto& recovery : counters.recoveries()) {
    vSample(out, "tarvenix_engine_recoveries_total", "reason=\"" + strLabelValue(recovery.first) + "\"",
            std::to_string(recovery.second));
  }
  vFamily(out, "tarvenix_retries_total", "counter", "Requests of a start page that could not be reached, made again.");
  vSample(out, "tarvenix_retries_total", "", std::to_string(counters.uRetries()));
  vFamily(out, "tarvenix_idle_resets_total", "counter",
          "Returns to the start page after nobody touched the kiosk for the idle period.");
  vSample(out, "tarvenix_idle_resets_total", "", std::to_string(counters.uIdleResets()));
  if (bMemoryKnown) {
    vFamily(out, "tarvenix_resident_memory_bytes", "gauge",
            "Resident memory of the kiosk and the processes it started, in bytes.");
    vSample(out, "tarvenix_resident_memory_bytes", "", std::to_string(uResidentBytes));
  }
  vFamily(out, "tarvenix_page_info", "gauge", "The address the page shows now, in the label url; always 1.");
  vSample(out, "tarvenix_page_info", "url=\"" + strLabelValue(counters.strShownUrl()) + "\"", "1");
  return out;
}

CStatusFile::CStatusFile(const std::string& strPath, CStatusCounters& counters, CSystemLog& sysLog)
    : m_strPath(strPath), m_counters(counters), m_sysLog(sysLog), m_bFailureLogged(FALSE) {
  m_counters.vSetListener(this);
}

CStatusFile::~CStatusFile() { m_counters.vSetListener(nullptr); }

BOOL CStatusFile::fWrite() {
  uint64_t uBytes = 0;
  BOOL bMemory = platform::fGetProcessTreeResidentBytes(uBytes);
  if (platform::fReplaceFile(m_strPath, strStatusText(m_counters, bMemory, uBytes, dWallClockNow()))) {
    m_bFailureLogged = FALSE;
    return TRUE;
  }
  if (!m_bFailureLogged) m_sysLog.fWrite(LOG_ERROR, "ステータスファイル書き込みに失敗[%s]\n", m_strPath.c_str());
  m_bFailureLogged = TRUE;
  return FALSE;
}
