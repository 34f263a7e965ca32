// CDetectAction: the corner square and the press-hold-release state of the exit action.
#include "hooks/detect_action.h"

#include <algorithm>

CDetectAction::CDetectAction()
    : m_iSize(100),
      m_iPos(DETECT_BOTTOM_LEFT),
      m_iInterval(5000),
      m_bRunning(FALSE),
      m_bReported(FALSE),
      m_uPressed(0),
      m_iLeft(0),
      m_iTop(0),
      m_iRight(0),
      m_iBottom(0) {}

BOOL CDetectAction::fConfigure(int iSize, int iPos, int iInterval) {
  if (iSize < 1 || iPos < DETECT_TOP_LEFT || iPos > DETECT_BOTTOM_RIGHT || iInterval < 0) return FALSE;
  m_iSize = iSize;
  m_iPos = iPos;
  m_iInterval = iInterval;
  vRelease();
  return TRUE;
}

void CDetectAction::vGetSquare(const CDetectScreen& screen, int& iLeft, int& iTop, int& iRight, int& iBottom) const {
  int w = std::min(m_iSize, std::max(screen.m_iWidth, 0));
  int h = std::min(m_iSize, std::max(screen.m_iHeight, 0));
  BOOL right = (m_iPos == DETECT_TOP_RIGHT || m_iPos == DETECT_BOTTOM_RIGHT);
  BOOL bottom = (m_iPos == DETECT_BOTTOM_LEFT || m_iPos == DETECT_BOTTOM_RIGHT);
  iLeft = right ? screen.m_iLeft + screen.m_iWidth - w : screen.m_iLeft;
  iTop = bottom ? screen.m_iTop + screen.m_iHeight - h : screen.m_iTop;
  iRight = iLeft + w;
  iBottom = iTop + h;
}

BOOL CDetectAction::fInside(int iX, int iY) const {
  return iX >= m_iLeft && iX < m_iRight && iY >= m_iTop && iY < m_iBottom ? TRUE : FALSE;
}

BOOL CDetectAction::fPress(int iX, int iY, const CDetectScreen& screen, uint32_t uNow) {
  vRelease();
  vGetSquare(screen, m_iLeft, m_iTop, m_iRight, m_iBottom);
  if (!fInside(iX, iY)) return FALSE;
  m_bRunning = TRUE;
  m_uPressed = uNow;
  return TRUE;
}

void CDetectAction::vMove(int iX, int iY) {
  if (m_bRunning && !fInside(iX, iY)) m_bRunning = FALSE;
}

void CDetectAction::vRelease() {
  m_bRunning = FALSE;
  m_bReported = FALSE;
}

BOOL CDetectAction::fDue(uint32_t uNow) {
  if (!m_bRunning || m_bReported) return FALSE;
  if (uNow - m_uPressed < static_cast<uint32_t>(m_iInterval)) return FALSE;
  m_bReported = TRUE;
  return TRUE;
}

uint32_t CDetectAction::uRemaining(uint32_t uNow) const {
  if (!m_bRunning || m_bReported) return 0;
  uint32_t held = uNow - m_uPressed;
  uint32_t interval = static_cast<uint32_t>(m_iInterval);
  return held >= interval ? 0 : interval - held;
}
