// A small model of the in-place activation interfaces a container and an
// embedded control exchange: just what the accelerator hook needs (object
// identity by interface identifier, the active object's key translation, and the
// frame/document windows that are told which object is active). Reference
// counts are kept and observable; objects are owned by whoever created them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/user/user.h"

namespace ktfolio::ole {

using win::BOOL;
using win::HWND;
using win::MSG;
using win::RECT;
using win::HRESULT;  // the platform's, so that both namespaces may be used at once
using win::S_OK;
using ULONG = std::uint32_t;

constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline bool Failed(HRESULT hr) { return hr < 0; }

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
};
using IID = GUID;
// Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
HRESULT CLSIDFromString(const char* text, GUID* out);
// Compared as the 32-bit first part, the two 16-bit parts, then the last eight
// bytes as two 32-bit halves.
bool IsEqualGUID(const GUID& a, const GUID& b);

const IID& IID_IUnknown();
const IID& IID_IOleObject();
const IID& IID_IOleClientSite();
const IID& IID_IOleInPlaceSite();
const IID& IID_IOleInPlaceUIWindow();
const IID& IID_IOleInPlaceFrame();
const IID& IID_IOleInPlaceActiveObject();

class IUnknown {
 public:
  virtual ~IUnknown() = default;
  virtual HRESULT QueryInterface(const IID& riid, void** ppv) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
};

class IOleWindow : public IUnknown {
 public:
  virtual HRESULT GetWindow(HWND* hwnd) = 0;
  virtual HRESULT ContextSensitiveHelp(BOOL enterMode) = 0;
};

class IOleInPlaceUIWindow;

class IOleInPlaceActiveObject : public IOleWindow {
 public:
  // S_OK: the key was translated and the container does no more with it.
  virtual HRESULT TranslateAccelerator(MSG* msg) = 0;
  virtual HRESULT OnFrameWindowActivate(BOOL activate) = 0;
  virtual HRESULT OnDocWindowActivate(BOOL activate) = 0;
  virtual HRESULT ResizeBorder(const RECT* border, IOleInPlaceUIWindow* uiWindow, BOOL frameWindow) = 0;
  virtual HRESULT EnableModeless(BOOL enable) = 0;
};

class IOleInPlaceUIWindow : public IOleWindow {
 public:
  virtual HRESULT SetActiveObject(IOleInPlaceActiveObject* active, const char* name) = 0;
};

class IOleInPlaceFrame : public IOleInPlaceUIWindow {};

struct OLEINPLACEFRAMEINFO {
  win::UINT cb = sizeof(OLEINPLACEFRAMEINFO);
  BOOL fMDIApp = 0;
  HWND hwndFrame = nullptr;
};

class IOleInPlaceSite : public IOleWindow {
 public:
  virtual HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                   OLEINPLACEFRAMEINFO* info) = 0;
};

class IOleClientSite : public IUnknown {};

class IOleObject : public IUnknown {
 public:
  virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
};

// ---- the container side --------------------------------------------------------------

// A container's frame: offers every key to the active object first, and uses
// the keys nobody took for dialog navigation between its controls (Tab and the
// arrows move the focus).
class InPlaceFrame : public IOleInPlaceFrame {
 public:
  explicit InPlaceFrame(HWND frameWindow) : hwnd_(frameWindow) {}
  ~InPlaceFrame() override;

  HRESULT QueryInterface(const IID& riid, void** ppv) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override { return --refs_; }
  HRESULT GetWindow(HWND* hwnd) override;
  HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
  HRESULT SetActiveObject(IOleInPlaceActiveObject* active, const char* name) override;

  IOleInPlaceActiveObject* ActiveObject() const { return active_; }
  // Controls in tab order, for navigation.
  void AddControl(HWND hwnd) { controls_.push_back(hwnd); }
  // True when the key was taken (by the active object or as navigation).
  bool PreTranslateMessage(MSG* msg);
  // The loop step: pre-translation, then TranslateMessage/DispatchMessage.
  void ProcessMessage(MSG* msg);
  int SetActiveObjectCalls() const { return setActiveCalls_; }

 private:
  bool Navigate(int step);
  HWND hwnd_;
  ULONG refs_ = 0;
  IOleInPlaceActiveObject* active_ = nullptr;
  std::vector<HWND> controls_;
  int setActiveCalls_ = 0;
};

// A document window of the container (optional).
class InPlaceDocument : public IOleInPlaceUIWindow {
 public:
  explicit InPlaceDocument(HWND hwnd) : hwnd_(hwnd) {}
  ~InPlaceDocument() override;
  HRESULT QueryInterface(const IID& riid, void** ppv) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override { return --refs_; }
  HRESULT GetWindow(HWND* hwnd) override;
  HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
  HRESULT SetActiveObject(IOleInPlaceActiveObject* active, const char* name) override;
  IOleInPlaceActiveObject* ActiveObject() const { return active_; }

 private:
  HWND hwnd_;
  ULONG refs_ = 0;
  IOleInPlaceActiveObject* active_ = nullptr;
};

// The site a container gives each embedded control: its client site, which is
// also its in-place site.
class InPlaceSite : public IOleClientSite, public IOleInPlaceSite {
 public:
  InPlaceSite(InPlaceFrame* frame, InPlaceDocument* doc, HWND container) : frame_(frame), doc_(doc), hwnd_(container) {}
  HRESULT QueryInterface(const IID& riid, void** ppv) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override { return --refs_; }
  HRESULT GetWindow(HWND* hwnd) override;
  HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
  HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                           OLEINPLACEFRAMEINFO* info) override;

 private:
  InPlaceFrame* frame_;
  InPlaceDocument* doc_;
  HWND hwnd_;
  ULONG refs_ = 0;
};

}  // namespace ktfolio::ole
