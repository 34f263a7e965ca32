// libFuzzer target for the Linux INI text engine: any bytes are a settings file; a lookup must not
// crash, and a write must make the value readable while keeping every other byte of the file (in
// a UTF-16 file, every other character), the file's own code included.
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
  for (std::string::size_type at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
    std::string::size_type tail = at + line.size();
    for (const std::string& eol : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
      if (text.compare(tail, eol.size(), eol) != 0) continue;
      for (const std::string& added : {std::string(), eol, "[Setting]" + eol, eol + "[Setting]" + eol}) {
        if (at < added.size() || text.compare(at - added.size(), added.size(), added) != 0) continue;
        if (text.substr(0, at - added.size()) + text.substr(tail + eol.size()) == original) return true;
      }
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  platform::ProfileCode code = platform::PROFILE_NARROW;
  const std::string original = platform::strProfileText(bytes, code);

  // The file's code comes back whole: a UTF-16 file's characters, an odd last byte as a character.
  std::string back = platform::strProfileBytes(original, code);
  if (code == platform::PROFILE_NARROW || size % 2 == 0) {
    vCheck(back == bytes);
  } else {
    vCheck(back.size() == size + 1);
  }

  std::string value;
  platform::fProfileFind(original, "Setting", "Blank", value);
  platform::strProfileValue(value, code);

  // A key the file lacks is appended and then found, and nothing else changes; so it reads from
  // the file's bytes in its code. A key without a value gets its value in place.
  if (!platform::fProfileFind(original, "Setting", "TxFuzzKey", value)) {
    std::string removed = original;
    platform::vProfileEdit(removed, "Setting", "TxFuzzKey", nullptr);
    std::string text = original;
    platform::vProfileEdit(text, "Setting", "TxFuzzKey", "1");
    vCheck(platform::fProfileFind(text, "Setting", "txfuzzkey", value) && value == "1");
    vCheck(removed != original || fOnlyAdded(original, text, "TxFuzzKey=1"));
    platform::ProfileCode again = platform::PROFILE_NARROW;
    std::string reread = platform::strProfileText(platform::strProfileBytes(text, code), again);
    vCheck(again == code && platform::fProfileFind(reread, "Setting", "TxFuzzKey", value) && value == "1");
  }

  // A key that exists is replaced in place: the value reads back, the size changes by the value.
  std::string old;
  const BOOL found = platform::fProfileFind(original, "Setting", "FullScreen", old);
  if (found) {
    std::string text = original;
    platform::vProfileEdit(text, "Setting", "FullScreen", "7");
    vCheck(platform::fProfileFind(text, "Setting", "FullScreen", value) && value == "7");
    vCheck(text.size() <= original.size() + 1);
  }

  // Removing the first matching key takes its line out; without one, nothing changes.
  std::string text = original;
  platform::vProfileEdit(text, "Setting", "FullScreen", nullptr);
  vCheck(found ? text.size() < original.size() : text.size() <= original.size());
  return 0;
}
