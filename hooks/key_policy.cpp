// fHoldBackKey: the table of keystrokes the kiosk keeps from the user.
#include "hooks/key_policy.h"

BOOL fHoldBackKey(int iKey, int iModifiers) {
  if (iKey == HK_MODIFIER) return FALSE;
  if (iKey == HK_SUPER || (iModifiers & HK_WIN)) return TRUE;
  if (iKey == HK_MENU) return TRUE;

  const int mods = iModifiers & (HK_SHIFT | HK_CTRL | HK_ALT);
  const BOOL alt = (mods & HK_ALT) != 0;
  const BOOL ctrlOnly = mods == HK_CTRL;
  const BOOL ctrlShift = mods == (HK_CTRL | HK_SHIFT);

  if (alt && (iKey == HK_TAB || iKey == HK_ESCAPE)) return TRUE;
  if (mods == HK_ALT && (iKey == HK_F1 + 3 || iKey == HK_SPACE)) return TRUE;
  if (iKey == HK_ESCAPE && (ctrlOnly || ctrlShift)) return TRUE;
  if (iKey == HK_F1 + 9 && (mods == 0 || mods == HK_SHIFT)) return TRUE;
  if ((iKey == HK_F1 || iKey == HK_F1 + 11) && !alt) return TRUE;
  if (ctrlShift && (iKey == 'I' || iKey == 'J' || iKey == 'D')) return TRUE;
  if (ctrlOnly) {
    switch (iKey) {
      case 'N':
      case 'O':
      case 'P':
      case 'S':
      case 'L':
      case 'F':
      case 'W':
      case 'Q':
      case HK_F1 + 3: return TRUE;
      default: break;
    }
  }
  return FALSE;
}
