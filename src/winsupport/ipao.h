// The accelerator hook: lets a control see navigation keys (arrows, Tab, Page
// Up/Down, Home, End) before its container uses them for dialog navigation.
//
// Install builds a proxy for the control's own in-place active object; the
// proxy's TranslateAccelerator asks the control's IPAO first and passes the key
// to the real active object only when the control declines it. Activate (on the
// control's WM_SETFOCUS) announces the proxy to the container's frame and
// document windows. The proxy's address lives in the window property
// "m_IPAOHookStruct_ID:" + handle.
#pragma once

#include <string>

#include "platform/user/user.h"
#include "winsupport/inplace.h"

namespace ktfolio {

// Implemented by controls that want the keys first. 0: the control handled the
// key (the container does no more); anything else: declined. The base class is
// the empty implementation, which takes every key.
class IPAO {
 public:
  virtual ~IPAO() = default;
  virtual win::LONG TranslateAccelerator(win::HWND hwnd, win::LONG iMsg, win::WPARAM& wParam, win::LPARAM& lParam,
                                         win::SHORT iKeyCode, win::LONG X, win::LONG& Y, win::DWORD& time) {
    return 0;
  }
};

namespace modIPAO {
// control: the control object, asked for its in-place active object and its
// client site; ipao: its key handler (not counted); hwnd: its window.
void Install(ole::IUnknown* control, IPAO* ipao, win::HWND hwnd);
void Activate(ole::IUnknown* control, win::HWND hwnd);
void Remove(win::HWND hwnd);
std::string PropertyName(win::HWND hwnd);
}  // namespace modIPAO

}  // namespace ktfolio
