// The hook libraries' operator log: one line per set-up, removal and recognised exit action.
#pragma once

// Appends one time-stamped entry to TXHook.log beside the running program (the three libraries
// share the file). The message carries its own "\n". Failures to write are ignored.
void vHookLog(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
