// Export and import markings shared by the three hook libraries' public headers.
#pragma once

#include "platform/types.h"

// Each library is compiled with TX_HOOK_BUILD and exports only the functions marked here; a
// program that includes the headers imports them and links the libraries at load time.
#if defined(_WIN32)
#if defined(TX_HOOK_BUILD)
#define TX_HOOK_API __declspec(dllexport)
#else
#define TX_HOOK_API __declspec(dllimport)
#endif
#else
#define TX_HOOK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define TX_HOOK_EXTERN_C extern "C"
#else
#define TX_HOOK_EXTERN_C
#endif
