// fHoldBackKey: the keystrokes kept from the kiosk's user and the ones that must still work.
#include "hooks/key_policy.h"

#include <gtest/gtest.h>

namespace {

const int F4 = HK_F1 + 3, F5 = HK_F1 + 4, F10 = HK_F1 + 9, F12 = HK_F1 + 11;

TEST(KeyPolicy, HeldBack) {
  const int cases[][2] = {
      {HK_SUPER, 0},
      {'R', HK_WIN},
      {'D', HK_WIN},
      {HK_MENU, 0},
      {HK_MENU, HK_SHIFT},
      {HK_TAB, HK_ALT},
      {HK_TAB, HK_ALT | HK_SHIFT},
      {HK_TAB, HK_ALT | HK_CTRL},
      {HK_ESCAPE, HK_ALT},
      {F4, HK_ALT},
      {HK_SPACE, HK_ALT},
      {HK_ESCAPE, HK_CTRL},
      {HK_ESCAPE, HK_CTRL | HK_SHIFT},
      {F10, 0},
      {F10, HK_SHIFT},
      {HK_F1, 0},
      {F12, 0},
      {'I', HK_CTRL | HK_SHIFT},
      {'J', HK_CTRL | HK_SHIFT},
      {'D', HK_CTRL | HK_SHIFT},
      {'N', HK_CTRL},
      {'O', HK_CTRL},
      {'P', HK_CTRL},
      {'S', HK_CTRL},
      {'L', HK_CTRL},
      {'F', HK_CTRL},
      {'W', HK_CTRL},
      {'Q', HK_CTRL},
      {F4, HK_CTRL},
  };
  for (const auto& c : cases) EXPECT_TRUE(fHoldBackKey(c[0], c[1])) << std::hex << c[0] << " mods " << c[1];
}

TEST(KeyPolicy, Passed) {
  const int cases[][2] = {
      // Typing, editing and page keys.
      {'A', 0},
      {'A', HK_SHIFT},
      {'C', HK_CTRL},
      {'V', HK_CTRL},
      {'X', HK_CTRL},
      {'Z', HK_CTRL},
      {'A', HK_CTRL},
      {HK_TAB, 0},
      {HK_TAB, HK_SHIFT},
      {HK_ESCAPE, 0},
      {HK_SPACE, 0},
      {HK_SPACE, HK_CTRL},
      {F5, 0},
      {HK_OTHER, 0},
      {HK_OTHER, HK_CTRL},
      {HK_OTHER, HK_ALT},
      // Modifiers alone (Alt switches input methods), and AltGr (Ctrl+Alt) characters.
      {HK_MODIFIER, 0},
      {HK_MODIFIER, HK_ALT},
      {HK_MODIFIER, HK_WIN},
      {'Q', HK_CTRL | HK_ALT},
      {'S', HK_CTRL | HK_ALT},
      {'L', HK_CTRL | HK_ALT},
      {'N', HK_CTRL | HK_SHIFT},
      {'I', HK_CTRL},
      // Alt with other function keys, and F10 with Ctrl.
      {F5, HK_ALT},
      {F10, HK_CTRL},
  };
  for (const auto& c : cases) EXPECT_FALSE(fHoldBackKey(c[0], c[1])) << std::hex << c[0] << " mods " << c[1];
}

}  // namespace
