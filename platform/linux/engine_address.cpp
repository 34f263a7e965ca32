// The engine's address for an address without a scheme: a path as a file, anything else over http.
#include "platform/linux/engine_address.h"

#include <glib.h>

namespace platform {

namespace {

bool fIsSchemeChar(char c) { return g_ascii_isalnum(c) || c == '+' || c == '-' || c == '.'; }

// RFC 3986: a letter, then letters, digits, "+", "-" or ".", then ":"; unless what follows the
// colon up to the path is a number, which makes the part before it a host and the number a port.
bool fHasScheme(const std::string& strAddress) {
  std::string::size_type uColon = strAddress.find(':');
  if (uColon == std::string::npos || uColon == 0 || !g_ascii_isalpha(strAddress[0])) return false;
  for (std::string::size_type u = 1; u < uColon; ++u)
    if (!fIsSchemeChar(strAddress[u])) return false;
  std::string::size_type uEnd = strAddress.find_first_of("/?#", uColon + 1);
  std::string strAfter = strAddress.substr(uColon + 1, uEnd == std::string::npos ? uEnd : uEnd - uColon - 1);
  return strAfter.empty() || strAfter.find_first_not_of("0123456789") != std::string::npos;
}

}  // namespace

std::string strEngineAddress(const std::string& strAddress) {
  if (strAddress.empty() || fHasScheme(strAddress)) return strAddress;
  if (strAddress[0] == '/') {
    gchar* pszUri = g_filename_to_uri(strAddress.c_str(), nullptr, nullptr);
    if (pszUri == nullptr) return strAddress;
    std::string strUri = pszUri;
    g_free(pszUri);
    return strUri;
  }
  return "http://" + strAddress;
}

}  // namespace platform
