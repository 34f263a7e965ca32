// Numbered signals between processes, carried by named events: the receiver CSignal and the
// sender CRaise.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/thread.h"
#include "platform/types.h"

// Signal numbers that travel run from 1 to SIGNAL_MAX; 0 never travels.
enum { SIGNAL_COUNT = 33, SIGNAL_MAX = 32 };

// The name that carries signal n is the entry at position n (position 0 is never used): the
// terminate request 15 travels as "SIGSTKFLT", 14 as "SIGTERM". Both programs must agree on it.
extern const char* const g_apszSignalNames[SIGNAL_COUNT];

// Event-name suffixes of the acknowledgement (created by the sender) and of the stop request
// (created by the receiver's owner).
extern const char SIGNAL_RECEIVE_SUFFIX[];
extern const char SIGNAL_TERM_SUFFIX[];

typedef void (*SignalHandler)(int iSignal);

// A handler record, four machine words. The handler is a function or one of the values 0
// (default action), 1 (ignore) and -1 (error), which are never called. The other three words are
// kept with the record and read by nobody.
struct CSignalRecord {
  SignalHandler m_pfnHandler;
  uintptr_t m_uWord2;
  uintptr_t m_uWord3;
  uintptr_t m_uWord4;
};

// True when the handler is a function to call, not 0, 1 or -1.
BOOL fIsCallableHandler(SignalHandler pfnHandler);

// The base of both sides: m_strName is the prefix of every event name; the owner sets it before
// any other use ("Tarvenix" in both programs).
class CSignalBase {
 public:
  CSignalBase();
  virtual ~CSignalBase();

  std::string m_strName;
};

// The receiver. Use: construct, set m_strName, vSetHandler, then start ReceiveThread with the
// object as its argument and store the handle in m_hThread:
//   signal.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &signal);
// The thread sweeps the numbers 1 to 32 (20 ms before each, up to 5000 ms on an event that exists
// but is not set), calls the handler of a signal that arrived on itself, acknowledges, and after
// each sweep looks for the stop event. fTerminate (or the destructor) stops it.
class CSignal : public CSignalBase {
 public:
  CSignal();
  ~CSignal() override;
  CSignal(const CSignal&) = delete;
  CSignal& operator=(const CSignal&) = delete;

  // Copies the record into the entry of uSignal (1 to 32); a null record or another number
  // changes nothing. Called before the thread starts.
  void vSetHandler(unsigned int uSignal, const CSignalRecord* pRecord);

  // The thread procedure; pSignal is the CSignal. Returns 0 when stopped.
  static unsigned ReceiveThread(void* pSignal);

  // Stops the thread: sets the stop event and waits, dispatching the caller's window messages,
  // until the thread has ended. True at once when no thread runs (nothing is created then) and
  // when the thread has ended; false, with the thread still running, when the stop event could not
  // be made.
  BOOL fTerminate();

  // The running receiver thread; null while none runs.
  platform::ThreadHandle m_hThread;

 private:
  void vReceive();
  BOOL fStopRequested();

  std::vector<CSignalRecord> m_aHandlers;
  // Set by fTerminate besides the stop event, so that the thread also stops when another process
  // that uses the same names has consumed the stop event first.
  std::atomic<int> m_iStopping;
};

// The sender; keeps no state between calls.
class CRaise : public CSignalBase {
 public:
  CRaise();
  ~CRaise() override;

  // Raises uSignal (1 to 32): resets the acknowledgement event, sets the signal event and waits up
  // to uTimeoutMs for the acknowledgement, dispatching the caller's window messages. Returns 1
  // when the signal event was set, whether or not the acknowledgement came; 0 when nothing was
  // sent (number out of range or the events could not be made; nothing is created then).
  BOOL fRaise(unsigned int uSignal, unsigned int uTimeoutMs);
};
