// The module handle of the hook library the calling code lives in, for SetWindowsHookExA.
#pragma once

#include <windows.h>

// The DLL that contains pAddress (any function of it).
inline HMODULE hGetHookModule(const void* pAddress) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCSTR>(pAddress), &module);
  return module;
}
