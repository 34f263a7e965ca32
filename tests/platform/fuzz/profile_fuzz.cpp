// libFuzzer target for the Linux INI text engine: any bytes are a settings file; a lookup must not
// crash, and a write must make the value readable while keeping every other byte of the file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/linux/profile_text.h"

namespace {

void vCheck(bool bOk) {
  if (!bOk) std::abort();
}

// Whether text is original with exactly one new "key=value" line added, possibly after a missing
// line end or a new section header.
bool fOnlyAdded(const std::string& original, const std::string& text, const std::string& line) {
  std::string::size_type at = text.find(line);
  while (at != std::string::npos) {
    std::string::size_type tail = at + line.size();
    std::string eol = text.compare(tail, 2, "\r\n") == 0 ? "\r\n" : "\n";
    for (const std::string& added : {std::string(), eol, "[Setting]" + eol, eol + "[Setting]" + eol}) {
      if (at < added.size() || text.compare(at - added.size(), added.size(), added) != 0) continue;
      if (text.substr(0, at - added.size()) + text.substr(tail + eol.size()) == original) return true;
    }
    at = text.find(line, at + 1);
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::string value;
  platform::fProfileFind(original, "Setting", "Blank", value);

  // A key the file lacks is appended and then found, and nothing else changes.
  if (!platform::fProfileFind(original, "Setting", "TxFuzzKey", value)) {
    std::string text = original;
    platform::vProfileEdit(text, "Setting", "TxFuzzKey", "1");
    vCheck(platform::fProfileFind(text, "Setting", "txfuzzkey", value) && value == "1");
    vCheck(fOnlyAdded(original, text, "TxFuzzKey=1"));
  }

  // A key that exists is replaced in place: the value reads back, the size changes by the value.
  std::string old;
  if (platform::fProfileFind(original, "Setting", "FullScreen", old)) {
    std::string text = original;
    platform::vProfileEdit(text, "Setting", "FullScreen", "7");
    vCheck(platform::fProfileFind(text, "Setting", "FullScreen", value) && value == "7");
    vCheck(text.size() <= original.size() + 1);
  }

  // Removing the first matching key takes its line out; without one, nothing changes.
  std::string text = original;
  platform::vProfileEdit(text, "Setting", "FullScreen", nullptr);
  vCheck(platform::fProfileFind(original, "Setting", "FullScreen", value) ? text.size() < original.size()
                                                                          : text == original);
  return 0;
}
