// CDetectAction: recognises the operator's exit action (a press held in a screen corner).
#pragma once

#include <cstdint>

#include "platform/types.h"

// Corners of DetectPos.
enum { DETECT_TOP_LEFT = 0, DETECT_TOP_RIGHT = 1, DETECT_BOTTOM_LEFT = 2, DETECT_BOTTOM_RIGHT = 3 };

// A screen rectangle in the pointer's coordinates: left, top, width, height.
struct CDetectScreen {
  int m_iLeft;
  int m_iTop;
  int m_iWidth;
  int m_iHeight;
};

// The action: the primary button pressed inside the square of m_iSize pixels at corner m_iPos of
// the screen, held for m_iInterval ms without leaving the square. The platform feeds presses,
// moves and releases with its tick count (ms, wrapping) and asks fDue when its timer fires;
// fDue answers TRUE once per action. Not thread-safe: one thread feeds it.
class CDetectAction {
 public:
  CDetectAction();

  // Takes the operator's values. FALSE, and nothing changes, when the size is below 1, the corner
  // is not 0 to 3 or the interval is negative. Drops an action in progress.
  BOOL fConfigure(int iSize, int iPos, int iInterval);

  // The square of the configured corner on the screen (left, top inclusive; right, bottom
  // exclusive), cut to the screen when larger than it.
  void vGetSquare(const CDetectScreen& screen, int& iLeft, int& iTop, int& iRight, int& iBottom) const;

  // A press at x,y: starts an action when it lies inside the square. TRUE when an action runs.
  BOOL fPress(int iX, int iY, const CDetectScreen& screen, uint32_t uNow);
  // The pointer moved: leaving the square ends the action.
  void vMove(int iX, int iY);
  // The button was released: ends the action.
  void vRelease();

  // TRUE when an action has been held for the interval at uNow and was not reported yet; it is
  // then reported and stays so until the release.
  BOOL fDue(uint32_t uNow);

  BOOL fRunning() const { return m_bRunning; }
  // Milliseconds until the running action is due (0 when due or when none runs).
  uint32_t uRemaining(uint32_t uNow) const;

  int m_iSize;
  int m_iPos;
  int m_iInterval;

 private:
  BOOL fInside(int iX, int iY) const;

  BOOL m_bRunning;
  BOOL m_bReported;
  uint32_t m_uPressed;
  int m_iLeft, m_iTop, m_iRight, m_iBottom;
};
