// What the black-box tests of Tarvenix need from the system: run a program, reach its registry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The executable's file name on this system: "Tarvenix" or "Tarvenix.exe" for base "Tarvenix".
std::string strExeName(const std::string& strBase);

// The line end that the system's text files use ("\r\n" on Windows, "\n" on Linux).
std::string strLineEnd();

// Runs the program with the arguments (working folder: the program's) and waits for it; a kiosk
// that starts its main window is ended as a session end would end it. Its exit status, or -1 when
// it could not be started.
int iRunProgram(const std::string& strProgram, const std::vector<std::string>& args);

// Points this process and the programs it runs at a private registry under strDir (Linux: the
// file store's XDG_CONFIG_HOME); on Windows the registry is the Wine prefix's and this does nothing.
void vUseRegistryIn(const std::string& strDir);

// The DWORD value "Tarvenix.exe" of the feature key as the system's own tools see it (Windows:
// "reg query"; Linux: the store's file, read directly). False when it is missing.
bool fQueryFeature(const char* pszFeature, uint32_t& uValue);

// Takes every access to the feature key away (bBlock) or gives it back; the key is created first.
bool fBlockFeature(const char* pszFeature, bool bBlock);

// Removes the feature key with its values; true when it is gone.
bool fDeleteFeature(const char* pszFeature);

// Whether a folder without write permission refuses new files (Linux: yes, even for root, as the
// program's file stores check the bits; Windows: the read-only attribute of a folder does not).
bool fFolderPermissionsApply();

// Makes the file refuse writes (bOn) or take them again. Linux: no write bits (the program's file
// stores honour them even for root). Windows: the read-only attribute, and a handle of this
// process that shares no writing, as Wine running as root would otherwise write all the same.
bool fMakeReadOnly(const std::string& strPath, bool bOn);
