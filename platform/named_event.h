// Named events shared between processes: auto-reset, created non-signalled, usable by any account.
#pragma once

#include <cstdint>
#include <string>

#include "platform/thread.h"
#include "platform/types.h"

namespace platform {

// One handle to a named event. An event exists while at least one live process holds a handle to
// it; the handle is released by vClose or the destructor (or by the end of its process, however
// it ends). Every account of the machine may open, set and reset an event (Windows: a null DACL).
// A file or object of a foreign kind under an event's name makes fCreate and fOpen fail; it never
// crashes or blocks the caller. A handle is used by one thread at a time; not copyable.
class CNamedEvent {
 public:
  CNamedEvent();
  ~CNamedEvent();
  CNamedEvent(const CNamedEvent&) = delete;
  CNamedEvent& operator=(const CNamedEvent&) = delete;

  // Creates the event non-signalled, or opens it if it exists (CreateEventA, inheritable handle).
  // False when it could not be made or opened; the handle then stays closed.
  BOOL fCreate(const std::string& strName);

  // Opens an existing event (OpenEventA, full event access). False when none exists.
  BOOL fOpen(const std::string& strName);

  BOOL fSet();
  BOOL fReset();

  // Waits up to uMillis for the event to be signalled; a satisfied wait resets it. Returns
  // WAIT_RESULT_SIGNALLED, WAIT_RESULT_TIMEOUT or WAIT_RESULT_FAILED (also on a closed handle).
  int iWait(uint32_t uMillis);

  BOOL fIsOpen() const { return m_pImpl != nullptr; }
  void vClose();

 private:
  void* m_pImpl;
};

}  // namespace platform
