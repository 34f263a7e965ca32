// The native handle of a window as the program's classes hold it, without the platform's headers.
#pragma once

namespace platform {

// HWND on Windows, the toplevel or child GtkWidget* on Linux; null for none.
typedef void* HWINDOW;

}  // namespace platform
