// The UI thread's message loop: run it, end it, and hand work to it from any thread.
#pragma once

#include <functional>

#include "platform/types.h"

namespace platform {

// Prepares the windowing system and makes the calling thread the UI thread, the one that owns
// every window and runs the loop. Call once, before any window is made. False when there is no
// display to show windows on (Linux: no X server or Wayland compositor reachable). The C locale
// stays as the program set it (Linux: only LC_MESSAGES is taken from the environment, for the
// toolkit's own button labels).
BOOL fInitMessageLoop();

// Runs the loop on the UI thread until vQuitMessageLoop; returns the exit code given there.
// Every window event, timer and posted closure runs inside it.
int iRunMessageLoop();

// Ends the running loop with the exit code; from any thread (from another thread it is queued
// behind the work posted before it). Work still queued runs only if the loop is run again.
// Before the loop runs, the next iRunMessageLoop returns at once with the code.
void vQuitMessageLoop(int iExitCode);

// Queues fn to run on the UI thread inside the loop, in the order posted; from any thread
// (Windows: a message to the loop's hidden message window; Linux: an idle source of the GLib
// main context). False when the loop is not prepared; fn is then dropped.
BOOL fPostToUiThread(std::function<void()> fn);

// True on the thread that called fInitMessageLoop.
BOOL fIsUiThread();

// A step that every message of the UI thread's loop passes before it is translated and
// dispatched, as the framework's pre-translation does: the page view decides its mouse input
// there and hands keys to the engine's own accelerator translation (Windows: pMessage is the
// MSG that GetMessage returned; TRUE: handled, the message goes no further). Filters are asked
// in the order they were added, until one handles the message. Linux: the toolkit dispatches
// its events itself and every view filters its input in its own handlers, so no filter is
// ever asked.
class CMessageFilter {
 public:
  virtual ~CMessageFilter() = default;
  virtual BOOL fPreTranslateMessage(void* pMessage) = 0;
};

// Adds the filter to the UI thread's loop (UI thread only); it must be removed before it is
// destroyed. False when it is there already or the loop is not prepared.
BOOL fAddMessageFilter(CMessageFilter* pFilter);
void vRemoveMessageFilter(CMessageFilter* pFilter);

}  // namespace platform
