// Win32 named events: CreateEventA with a null-DACL descriptor, OpenEventA, SetEvent, ResetEvent,
// WaitForSingleObject and CloseHandle.
#include "platform/named_event.h"

#include <windows.h>

namespace platform {

CNamedEvent::CNamedEvent() : m_pImpl(nullptr) {}

CNamedEvent::~CNamedEvent() { vClose(); }

BOOL CNamedEvent::fCreate(const std::string& strName) {
  vClose();
  SECURITY_DESCRIPTOR sd;
  if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION)) return FALSE;
  if (!SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE)) return FALSE;
  SECURITY_ATTRIBUTES sa;
  sa.nLength = sizeof sa;
  sa.lpSecurityDescriptor = &sd;
  sa.bInheritHandle = TRUE;
  HANDLE h = CreateEventA(&sa, FALSE, FALSE, strName.c_str());
  if (h == nullptr) return FALSE;
  m_pImpl = h;
  return TRUE;
}

BOOL CNamedEvent::fOpen(const std::string& strName) {
  vClose();
  HANDLE h = OpenEventA(EVENT_ALL_ACCESS, FALSE, strName.c_str());
  if (h == nullptr) return FALSE;
  m_pImpl = h;
  return TRUE;
}

BOOL CNamedEvent::fSet() { return m_pImpl != nullptr && SetEvent(static_cast<HANDLE>(m_pImpl)) ? TRUE : FALSE; }

BOOL CNamedEvent::fReset() { return m_pImpl != nullptr && ResetEvent(static_cast<HANDLE>(m_pImpl)) ? TRUE : FALSE; }

int CNamedEvent::iWait(uint32_t uMillis) {
  if (m_pImpl == nullptr) return WAIT_RESULT_FAILED;
  switch (WaitForSingleObject(static_cast<HANDLE>(m_pImpl), uMillis)) {
    case WAIT_OBJECT_0: return WAIT_RESULT_SIGNALLED;
    case WAIT_TIMEOUT: return WAIT_RESULT_TIMEOUT;
    default: return WAIT_RESULT_FAILED;
  }
}

void CNamedEvent::vClose() {
  if (m_pImpl != nullptr) CloseHandle(static_cast<HANDLE>(m_pImpl));
  m_pImpl = nullptr;
}

}  // namespace platform
