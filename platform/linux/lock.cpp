// Linux lock: a pthread mutex placed in the CLock's storage.
#include "platform/lock.h"

#include <pthread.h>
#include <new>

namespace platform {

static_assert(sizeof(pthread_mutex_t) <= 64, "CLock storage too small");

static pthread_mutex_t* pMutex(unsigned char* storage) { return reinterpret_cast<pthread_mutex_t*>(storage); }

CLock::CLock() { pthread_mutex_init(new (m_storage) pthread_mutex_t, nullptr); }
CLock::~CLock() { pthread_mutex_destroy(pMutex(m_storage)); }
void CLock::vEnter() { pthread_mutex_lock(pMutex(m_storage)); }
void CLock::vLeave() { pthread_mutex_unlock(pMutex(m_storage)); }

}  // namespace platform
