// Win32 edge gestures: the window's property store, PKEY_EdgeGesture_DisableTouchWhenFullscreen.
#include "platform/edge_gesture.h"

#include <propsys.h>
#include <shellapi.h>
#include <windows.h>

namespace platform {

BOOL fSetEdgeGestureDisabled(HWINDOW hWindow, BOOL bDisable) {
  // {32CE38B2-2C9A-41B1-9BC5-B3784394AA44}, 2
  static const PROPERTYKEY kEdgeGesture = {
      {0x32CE38B2, 0x2C9A, 0x41B1, {0x9B, 0xC5, 0xB3, 0x78, 0x43, 0x94, 0xAA, 0x44}}, 2};
  IPropertyStore* pStore = nullptr;
  if (FAILED(SHGetPropertyStoreForWindow(static_cast<HWND>(hWindow), IID_IPropertyStore,
                                         reinterpret_cast<void**>(&pStore)))) {
    return FALSE;
  }
  PROPVARIANT value;
  PropVariantInit(&value);
  value.vt = VT_BOOL;
  value.boolVal = bDisable ? VARIANT_TRUE : VARIANT_FALSE;
  HRESULT hr = pStore->SetValue(kEdgeGesture, value);
  pStore->Release();
  return SUCCEEDED(hr) ? TRUE : FALSE;
}

}  // namespace platform
