#include "winsupport/inplace.h"

#include <algorithm>
#include <cstdio>

namespace ktfolio::ole {

using namespace win;

HRESULT CLSIDFromString(const char* text, GUID* out) {
  if (!text || !out) return E_POINTER;
  unsigned d1, d2, d3, b[8];
  int n = std::sscanf(text, "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d1, &d2, &d3, &b[0], &b[1], &b[2], &b[3],
                      &b[4], &b[5], &b[6], &b[7]);
  if (n != 11) return E_FAIL;
  out->Data1 = d1;
  out->Data2 = static_cast<std::uint16_t>(d2);
  out->Data3 = static_cast<std::uint16_t>(d3);
  for (int i = 0; i < 8; ++i) out->Data4[i] = static_cast<std::uint8_t>(b[i]);
  return S_OK;
}

bool IsEqualGUID(const GUID& a, const GUID& b) {
  auto half = [](const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  };
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 && half(a.Data4) == half(b.Data4) &&
         half(a.Data4 + 4) == half(b.Data4 + 4);
}

namespace {
GUID Parse(const char* text) {
  GUID g;
  CLSIDFromString(text, &g);
  return g;
}
}  // namespace

const IID& IID_IUnknown() {
  static const IID id = Parse("{00000000-0000-0000-C000-000000000046}");
  return id;
}
const IID& IID_IOleObject() {
  static const IID id = Parse("{00000112-0000-0000-C000-000000000046}");
  return id;
}
const IID& IID_IOleInPlaceUIWindow() {
  static const IID id = Parse("{00000115-0000-0000-C000-000000000046}");
  return id;
}
const IID& IID_IOleInPlaceFrame() {
  static const IID id = Parse("{00000116-0000-0000-C000-000000000046}");
  return id;
}
const IID& IID_IOleInPlaceActiveObject() {
  static const IID id = Parse("{00000117-0000-0000-C000-000000000046}");
  return id;
}
const IID& IID_IOleClientSite() {
  static const IID id = Parse("{00000118-0000-0000-C000-000000000046}");
  return id;
}
const IID& IID_IOleInPlaceSite() {
  static const IID id = Parse("{00000119-0000-0000-C000-000000000046}");
  return id;
}

// ---- frame ---------------------------------------------------------------------------------

InPlaceFrame::~InPlaceFrame() {
  if (active_) active_->Release();
}

HRESULT InPlaceFrame::QueryInterface(const IID& riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualGUID(riid, IID_IUnknown()) || IsEqualGUID(riid, IID_IOleInPlaceFrame()) ||
      IsEqualGUID(riid, IID_IOleInPlaceUIWindow())) {
    *ppv = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT InPlaceFrame::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = hwnd_;
  return S_OK;
}

HRESULT InPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* active, const char*) {
  ++setActiveCalls_;
  if (active) active->AddRef();
  if (active_) active_->Release();
  active_ = active;
  return S_OK;
}

bool InPlaceFrame::Navigate(int step) {
  if (controls_.empty()) return false;
  HWND focus = GetFocus();
  int at = -1;
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i] == focus || IsChild(controls_[i], focus)) at = static_cast<int>(i);
  int n = static_cast<int>(controls_.size());
  int next = at < 0 ? 0 : ((at + step) % n + n) % n;
  SetFocus(controls_[next]);
  return true;
}

bool InPlaceFrame::PreTranslateMessage(MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return false;
  if (active_ && active_->TranslateAccelerator(msg) == S_OK) return true;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (msg->wParam) {
    case VK_TAB: return Navigate(shift ? -1 : 1);
    case VK_LEFT:
    case VK_UP: return Navigate(-1);
    case VK_RIGHT:
    case VK_DOWN: return Navigate(1);
    default: return false;
  }
}

void InPlaceFrame::ProcessMessage(MSG* msg) {
  if (PreTranslateMessage(msg)) return;
  TranslateMessage(msg);
  DispatchMessage(msg);
}

// ---- document --------------------------------------------------------------------------------

InPlaceDocument::~InPlaceDocument() {
  if (active_) active_->Release();
}

HRESULT InPlaceDocument::QueryInterface(const IID& riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualGUID(riid, IID_IUnknown()) || IsEqualGUID(riid, IID_IOleInPlaceUIWindow())) {
    *ppv = static_cast<IOleInPlaceUIWindow*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT InPlaceDocument::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = hwnd_;
  return S_OK;
}

HRESULT InPlaceDocument::SetActiveObject(IOleInPlaceActiveObject* active, const char*) {
  if (active) active->AddRef();
  if (active_) active_->Release();
  active_ = active;
  return S_OK;
}

// ---- site ------------------------------------------------------------------------------------

HRESULT InPlaceSite::QueryInterface(const IID& riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualGUID(riid, IID_IUnknown()) || IsEqualGUID(riid, IID_IOleClientSite())) {
    *ppv = static_cast<IOleClientSite*>(this);
  } else if (IsEqualGUID(riid, IID_IOleInPlaceSite())) {
    *ppv = static_cast<IOleInPlaceSite*>(this);
  } else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT InPlaceSite::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = hwnd_;
  return S_OK;
}

HRESULT InPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                      OLEINPLACEFRAMEINFO* info) {
  if (!frame || !doc) return E_POINTER;
  *frame = frame_;
  if (frame_) frame_->AddRef();
  *doc = doc_;
  if (doc_) doc_->AddRef();
  RECT rc{};
  if (hwnd_) GetClientRect(hwnd_, &rc);
  if (pos) *pos = rc;
  if (clip) *clip = rc;
  if (info) {
    HWND fw = nullptr;
    if (frame_) frame_->GetWindow(&fw);
    info->fMDIApp = FALSE;
    info->hwndFrame = fw;
  }
  return frame_ ? S_OK : E_FAIL;
}

}  // namespace ktfolio::ole
