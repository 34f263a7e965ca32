// Scratch folders and whole-file reads for the common library's tests.
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace txtest {

// A fresh, uniquely named folder in the temporary directory, removed with its contents at the end.
class CScratchDir {
 public:
  CScratchDir() {
    std::random_device random;
    // <chrono> cannot be compiled for CP932 literals (its "µs" has no code), so time() it is.
    long long now = static_cast<long long>(std::time(nullptr));
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("tx_common_" + std::to_string(random()) + "_" + std::to_string(now % 1000000));
    std::filesystem::create_directories(dir);
    m_strPath = dir.string();
  }
  ~CScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
  }
  CScratchDir(const CScratchDir&) = delete;
  CScratchDir& operator=(const CScratchDir&) = delete;

  const std::string& strPath() const { return m_strPath; }
  // The path of a name inside the folder, joined with the platform's separator.
  std::string operator/(const std::string& name) const { return m_strPath + platform::cPathSeparator() + name; }

 private:
  std::string m_strPath;
};

// The whole file; text mode turns the platform's line ends into "\n". Empty when missing.
inline std::string strReadFile(const std::string& path, bool binary = false) {
  std::string text;
  FILE* fp = std::fopen(path.c_str(), binary ? "rb" : "r");
  if (fp == nullptr) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, fp)) > 0) text.append(buffer, n);
  std::fclose(fp);
  return text;
}

// Writes the text in text mode, so "\n" becomes the platform's line end.
inline void vWriteFile(const std::string& path, const std::string& text) {
  FILE* fp = std::fopen(path.c_str(), "w");
  if (fp == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), fp);
  std::fclose(fp);
}

// The lines of a text read in text mode, without their "\n"; a last line without one counts too.
inline std::vector<std::string> vecLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

inline bool fIsDirectory(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(path, ignored);
}

inline bool fExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

}  // namespace txtest
