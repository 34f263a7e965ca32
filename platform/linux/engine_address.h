// The address the engine is asked to load for an address as the program was given it.
#pragma once

#include <string>

namespace platform {

// The Windows engine takes addresses that WebKit refuses, and operators' settings are written for
// it: an absolute path is opened as a file ("/srv/kiosk/index.html" becomes
// "file:///srv/kiosk/index.html", its characters escaped), and an address without a scheme goes
// over http ("kiosk.example/page", "127.0.0.1:8080/page": a number after the colon is a port, not
// a scheme). An address with a scheme ("about:blank", "file:///...", "https://...") and an empty
// one are returned as they are.
std::string strEngineAddress(const std::string& strAddress);

}  // namespace platform
