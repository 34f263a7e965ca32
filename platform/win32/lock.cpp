// Win32 lock: a CRITICAL_SECTION placed in the CLock's storage.
#include "platform/lock.h"

#include <windows.h>
#include <new>

namespace platform {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "CLock storage too small");

CLock::CLock() { InitializeCriticalSection(new (m_storage) CRITICAL_SECTION); }
CLock::~CLock() { DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
void CLock::vEnter() { EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
void CLock::vLeave() { LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }

}  // namespace platform
