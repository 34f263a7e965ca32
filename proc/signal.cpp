// CSignalBase, CSignal and CRaise: the signal protocol over named events.
#include "proc/signal.h"

#include "platform/clock.h"
#include "platform/message_pump.h"
#include "platform/named_event.h"

const char* const g_apszSignalNames[SIGNAL_COUNT] = {
    "SIGHUP",   "SIGINT",  "SIGQUIT", "SIGILL",  "SIGTRAP", "SIGABRT",   "SIGBUS",    "SIGFPE",    "SIGKILL",
    "SIGUSR1",  "SIGSEGV", "SIGUSR2", "SIGPIPE", "SIGALRM", "SIGTERM",   "SIGSTKFLT", "SIGCHLD",   "SIGCONT",
    "SIGSTOP",  "SIGTSTP", "SIGTTIN", "SIGTTOU", "SIGURG",  "SIGXCPU",   "SIGXFSZ",   "SIGVTALRM", "SIGPROF",
    "SIGWINCH", "SIGIO",   "SIGPOLL", "SIGLOST", "SIGPWR",  "SIGUNUSED",
};

const char SIGNAL_RECEIVE_SUFFIX[] = "SIGNAL_RECEIVE";
const char SIGNAL_TERM_SUFFIX[] = "SIGNAL_TERM";

namespace {

const uint32_t SWEEP_SLEEP_MS = 20;
const uint32_t SIGNAL_WAIT_MS = 5000;

}  // namespace

BOOL fIsCallableHandler(SignalHandler pfnHandler) {
  intptr_t value = reinterpret_cast<intptr_t>(pfnHandler);
  return value != 0 && value != 1 && value != -1 ? TRUE : FALSE;
}

CSignalBase::CSignalBase() = default;

CSignalBase::~CSignalBase() = default;

CSignal::CSignal() : m_hThread(nullptr), m_aHandlers(SIGNAL_COUNT, CSignalRecord{nullptr, 0, 0, 0}), m_iStopping(0) {}

CSignal::~CSignal() {
  if (!fTerminate() && m_hThread != nullptr) {
    // Without a stop event the thread still stops on the flag; the table and the name must
    // outlive it.
    m_iStopping.store(1);
    while (platform::iWaitThread(m_hThread, 1) == platform::WAIT_RESULT_TIMEOUT) {
      platform::vDispatchPendingMessages();
    }
    platform::vCloseThread(m_hThread);
    m_hThread = nullptr;
  }
}

void CSignal::vSetHandler(unsigned int uSignal, const CSignalRecord* pRecord) {
  if (pRecord == nullptr || uSignal < 1 || uSignal > SIGNAL_MAX) return;
  m_aHandlers[uSignal] = *pRecord;
}

unsigned CSignal::ReceiveThread(void* pSignal) {
  static_cast<CSignal*>(pSignal)->vReceive();
  return 0;
}

void CSignal::vReceive() {
  for (;;) {
    for (int n = 1; n <= SIGNAL_MAX; n++) {
      platform::vSleepMs(SWEEP_SLEEP_MS);
      platform::CNamedEvent signal;
      if (!signal.fOpen(m_strName + g_apszSignalNames[n])) continue;
      if (signal.iWait(SIGNAL_WAIT_MS) == platform::WAIT_RESULT_SIGNALLED) {
        SignalHandler pfnHandler = m_aHandlers[n].m_pfnHandler;
        if (fIsCallableHandler(pfnHandler)) pfnHandler(n);
        signal.fReset();
        platform::CNamedEvent ack;
        if (ack.fOpen(m_strName + SIGNAL_RECEIVE_SUFFIX)) ack.fSet();
      }
    }
    if (fStopRequested()) return;
  }
}

BOOL CSignal::fStopRequested() {
  platform::CNamedEvent stop;
  if (stop.fOpen(m_strName + SIGNAL_TERM_SUFFIX) && stop.iWait(0) != platform::WAIT_RESULT_TIMEOUT) return TRUE;
  return m_iStopping.load() != 0 ? TRUE : FALSE;
}

BOOL CSignal::fTerminate() {
  if (m_hThread == nullptr) return TRUE;
  platform::CNamedEvent stop;
  if (!stop.fCreate(m_strName + SIGNAL_TERM_SUFFIX)) return FALSE;
  m_iStopping.store(1);
  stop.fSet();
  for (;;) {
    platform::vSleepMs(1);
    platform::vDispatchPendingMessages();
    if (platform::iWaitThread(m_hThread, 0) != platform::WAIT_RESULT_TIMEOUT) break;
  }
  platform::vCloseThread(m_hThread);
  m_hThread = nullptr;
  m_iStopping.store(0);
  return TRUE;
}

CRaise::CRaise() = default;

CRaise::~CRaise() = default;

BOOL CRaise::fRaise(unsigned int uSignal, unsigned int uTimeoutMs) {
  if (uSignal < 1 || uSignal > SIGNAL_MAX) return FALSE;
  platform::CNamedEvent ack;
  if (!ack.fCreate(m_strName + SIGNAL_RECEIVE_SUFFIX)) return FALSE;
  // An acknowledgement left over from an earlier exchange must not count.
  ack.fReset();
  platform::CNamedEvent signal;
  if (!signal.fCreate(m_strName + g_apszSignalNames[uSignal])) return FALSE;
  signal.fSet();
  uint32_t uStart = platform::uGetTickMs();
  BOOL bAcknowledged = FALSE;
  do {
    platform::vSleepMs(1);
    platform::vDispatchPendingMessages();
    if (ack.iWait(0) != platform::WAIT_RESULT_TIMEOUT) bAcknowledged = TRUE;
  } while (!bAcknowledged && platform::uGetTickMs() - uStart <= uTimeoutMs);
  return TRUE;
}
