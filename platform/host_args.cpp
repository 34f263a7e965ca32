// Argument rules of the browser control host: posted data, null texts, the cancel flag.
#include "platform/host_args.h"

namespace platform {

void vGetPostedData(const CPostedData& posted, std::vector<unsigned char>& vecBytes) {
  vecBytes.clear();
  if ((posted.m_uType & VARTYPE_ARRAY) == 0 || posted.m_pBytes == nullptr) return;
  vecBytes.assign(posted.m_pBytes, posted.m_pBytes + posted.m_uCount);
}

std::string strEventText(const char* pszText) { return pszText != nullptr ? std::string(pszText) : std::string(); }

int16_t iEngineCancel(BOOL bCancel) { return bCancel != 0 ? -1 : 0; }

void vWriteEngineCancel(BOOL bCancel, int16_t* piEngineFlag) {
  if (piEngineFlag != nullptr) *piEngineFlag = iEngineCancel(bCancel);
}

}  // namespace platform
