// A mutual-exclusion lock (a critical section on Windows, a pthread mutex on Linux).
#pragma once

namespace platform {

// Not recursive-safe across platforms: lock it once per holder. Not copyable.
class CLock {
 public:
  CLock();
  ~CLock();
  CLock(const CLock&) = delete;
  CLock& operator=(const CLock&) = delete;

  void vEnter();
  void vLeave();

 private:
  alignas(8) unsigned char m_storage[64];
};

// Holds a CLock for the life of a scope.
class CLockHolder {
 public:
  explicit CLockHolder(CLock& lock) : m_lock(lock) { m_lock.vEnter(); }
  ~CLockHolder() { m_lock.vLeave(); }
  CLockHolder(const CLockHolder&) = delete;
  CLockHolder& operator=(const CLockHolder&) = delete;

 private:
  CLock& m_lock;
};

}  // namespace platform
