// Test helper: the real kiosk installed in a folder of its own, as an operator installs it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/spawn.h"

namespace txtest {

// Tarvenix, tarvctl, the run script, the hook libraries and the engine's extension folder, copied
// from the test program's own folder into a fresh folder that goes with the object.
class CKioskFolder {
 public:
  CKioskFolder() = default;
  // Removes the folder, whatever the test left of its permissions.
  ~CKioskFolder();
  CKioskFolder(const CKioskFolder&) = delete;
  CKioskFolder& operator=(const CKioskFolder&) = delete;

  // Makes the folder /tmp/<strPrefix>XXXXXX and copies the programs into it. False with
  // m_strError when it could not.
  bool fInstall(const std::string& strPrefix);
  const std::string& strDir() const { return m_strDir; }
  std::string strPath(const std::string& strName) const { return m_strDir + "/" + strName; }

  // A file of the folder, written or read as bytes ("" when it cannot be read).
  bool fWrite(const std::string& strName, const std::string& strText) const;
  std::string strRead(const std::string& strName) const;
  // The program log: the one file named YYYYMM.log ("" when there is none).
  std::string strMonthLog() const;
  std::string strAccessLog() const { return strRead("access.log"); }

  // Starts the installed Tarvenix with the arguments from its folder on strDisplay (empty: the
  // display this process has), with its registry store in config/ of the folder and both its
  // output streams in output.txt there. False when it could not start.
  bool fStart(const std::vector<std::string>& args, const std::string& strDisplay, Child& kiosk) const;

  std::string m_strError;

 private:
  std::string m_strDir;
};

}  // namespace txtest
