// The accelerator hook: a container's frame offers keys to the active object,
// whose proxy asks the control first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "platform/user/user.h"
#include "winsupport/inplace.h"
#include "winsupport/ipao.h"
#include "platform/automation/error.h"

namespace ktfolio {
namespace {

using namespace win;
using namespace ole;
using namespace ::testing;

// A control as a container sees it: an OLE object with an in-place active
// object, plus the library's key handler. It takes the keys listed in `takes`.
class Control : public IOleObject, public IOleInPlaceActiveObject, public IPAO {
 public:
  explicit Control(IOleClientSite* site) : site_(site) {}
  HRESULT QueryInterface(const IID& riid, void** ppv) override {
    void* active = static_cast<IOleInPlaceActiveObject*>(this);
    *ppv = IsEqualGUID(riid, IID_IOleObject()) || IsEqualGUID(riid, IID_IUnknown()) ? static_cast<IOleObject*>(this)
           : IsEqualGUID(riid, IID_IOleInPlaceActiveObject())                         ? active
                                                                                     : nullptr;
    return *ppv ? AddRef(), S_OK : E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT GetClientSite(IOleClientSite** site) override { return (*site = site_)->AddRef(), S_OK; }
  HRESULT GetWindow(HWND* h) override { return *h = hwnd, S_OK; }
  HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
  // The control's own object has no accelerators.
  HRESULT TranslateAccelerator(MSG*) override { return ++realAsked, S_FALSE; }
  HRESULT OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT ResizeBorder(const RECT*, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  HRESULT EnableModeless(BOOL) override { return S_OK; }

  LONG TranslateAccelerator(HWND h, LONG iMsg, WPARAM& wParam, LPARAM&, SHORT keyCode, LONG, LONG&,
                            DWORD&) override {
    offered.push_back(keyCode);
    EXPECT_EQ(std::tuple(iMsg, h), std::tuple(static_cast<LONG>(WM_KEYDOWN), GetFocus()));
    return std::count(takes.begin(), takes.end(), keyCode) ? 0 : 1;
  }

  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Control*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (self && msg == WM_SETFOCUS) modIPAO::Activate(static_cast<IOleObject*>(self), hwnd);
    if (self && msg == WM_KEYDOWN) self->windowKeys.push_back(static_cast<int>(wp));
    return DefWindowProc(hwnd, msg, wp, lp);
  }

  HWND hwnd = nullptr;
  ULONG refs = 0;
  int realAsked = 0;
  std::vector<int> takes, offered, windowKeys;

 private:
  IOleClientSite* site_;
};

class AcceleratorHook : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSEX wc;
    wc.lpfnWndProc = Control::Proc;
    wc.lpszClassName = "HookedControl";
    RegisterClassEx(&wc);
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "HookForm";
    RegisterClassEx(&wc);
    baseWindows_ = user::LiveWindowCount();
    baseProps_ = user::LivePropertyCount();
    form_ = CreateWindowEx(0, "HookForm", "form", WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(form_);
    EXPECT_EQ(std::tuple(user::LiveWindowCount(), user::LivePropertyCount()), std::tuple(baseWindows_, baseProps_))
        << "windows and properties left behind";
  }
  // The control's window at `y` on the form, with the key hook installed when `hooked`.
  HWND Place(Control& c, int y, bool hooked) {
    c.hwnd = CreateWindowEx(0, "HookedControl", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, y, 100, 20, form_,
                            nullptr, nullptr, nullptr);
    SetWindowLongPtr(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
    if (hooked) modIPAO::Install(static_cast<IOleObject*>(&c), &c, c.hwnd);
    return c.hwnd;
  }
  void PressAndRun(InPlaceFrame& frame, int vk) {
    user::InjectKey(vk, true);
    user::InjectKey(vk, false);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) frame.ProcessMessage(&m);
  }
  HWND form_ = nullptr;
  int baseWindows_ = 0, baseProps_ = 0;
};

TEST_F(AcceleratorHook, TheControlSeesKeysBeforeTheContainerThroughAProxy) {
  InPlaceFrame frame(form_);
  InPlaceDocument doc(form_);
  InPlaceSite site(&frame, &doc, form_);
  Control a(&site), b(&site), last(&site);  // three, so that forward and back differ
  frame.AddControl(Place(a, 10, true));
  frame.AddControl(Place(b, 40, false));
  frame.AddControl(Place(last, 70, false));
  std::string prop = "m_IPAOHookStruct_ID:" + std::to_string(reinterpret_cast<std::uintptr_t>(a.hwnd));
  ASSERT_NE(GetProp(a.hwnd, prop.c_str()), nullptr);
  EXPECT_EQ(modIPAO::PropertyName(a.hwnd), prop);

  SetFocus(a.hwnd);  // WM_SETFOCUS announces the proxy
  IOleInPlaceActiveObject* proxy = frame.ActiveObject();
  ASSERT_NE(proxy, nullptr);
  EXPECT_NE(proxy, static_cast<IOleInPlaceActiveObject*>(&a)) << "the frame holds the proxy";
  EXPECT_EQ(doc.ActiveObject(), proxy) << "a document window hears it too";
  void *p = nullptr, *q = nullptr, *none = nullptr;
  HWND h = nullptr;
  EXPECT_EQ(std::tuple(proxy->QueryInterface(IID_IOleInPlaceActiveObject(), &p),
                       proxy->QueryInterface(IID_IOleObject(), &q),
                       proxy->QueryInterface(IID_IOleInPlaceSite(), &none), proxy->GetWindow(&h)),
            std::tuple(S_OK, S_OK, E_NOINTERFACE, S_OK));
  EXPECT_EQ(std::tuple(p, q, h), std::tuple(proxy, static_cast<IOleObject*>(&a), a.hwnd));
  proxy->Release();
  static_cast<IUnknown*>(q)->Release();

  // A handled arrow does not move the focus, and is not dispatched again.
  a.takes = {VK_RIGHT};
  PressAndRun(frame, VK_RIGHT);
  EXPECT_EQ(std::tuple(a.offered, a.realAsked, GetFocus(), a.windowKeys.size()),
            std::tuple(std::vector<int>{VK_RIGHT}, 0, a.hwnd, 0u));
  // A declined one goes to the real object, then the container navigates.
  PressAndRun(frame, VK_DOWN);
  EXPECT_EQ(std::tuple(a.offered, a.realAsked, GetFocus()),
            std::tuple(std::vector<int>{VK_RIGHT, VK_DOWN}, 1, b.hwnd));
  // b is not hooked: its focus makes no announcement, the frame keeps a's proxy
  EXPECT_EQ(std::tuple(frame.SetActiveObjectCalls(), frame.ActiveObject()), std::tuple(1, proxy));
  MSG m{a.hwnd, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  SetFocus(a.hwnd);
  EXPECT_EQ(frame.ActiveObject()->TranslateAccelerator(&m), S_FALSE) << "a key record to the proxy";
  EXPECT_EQ(std::tuple(a.offered.back(), a.realAsked), std::tuple(VK_TAB, 2));

  frame.SetActiveObject(nullptr, nullptr);
  doc.SetActiveObject(nullptr, nullptr);
  modIPAO::Remove(a.hwnd);
  EXPECT_EQ(GetProp(a.hwnd, prop.c_str()), nullptr);
  modIPAO::Remove(a.hwnd);  // nothing left: no effect
  EXPECT_EQ(a.refs, 0u) << "every reference taken was given back";
}

TEST(InPlaceGuid, ParsesAndComparesIdentifiers) {
  GUID g;
  ASSERT_EQ(CLSIDFromString("{00000117-0000-0000-C000-000000000046}", &g), S_OK);
  EXPECT_EQ(std::tuple(g.Data1, g.Data4[0], g.Data4[7]), std::tuple(0x117u, 0xC0, 0x46));
  EXPECT_TRUE(IsEqualGUID(g, IID_IOleInPlaceActiveObject()) && !IsEqualGUID(g, IID_IOleObject()));
  EXPECT_NE(CLSIDFromString("not a guid", &g), S_OK);
}

// Windows that refuse the announcement, as a container may when it is closing.
class RefusingFrame : public InPlaceFrame {
 public:
  using InPlaceFrame::InPlaceFrame;
  HRESULT SetActiveObject(IOleInPlaceActiveObject* active, const char* name) override {
    ++asked;
    return refuse ? E_FAIL : InPlaceFrame::SetActiveObject(active, name);
  }
  bool refuse = true;
  int asked = 0;
};

class RefusingDocument : public InPlaceDocument {
 public:
  using InPlaceDocument::InPlaceDocument;
  HRESULT SetActiveObject(IOleInPlaceActiveObject*, const char*) override { return E_ACCESSDENIED_FOR_TEST; }
  static constexpr HRESULT E_ACCESSDENIED_FOR_TEST = static_cast<HRESULT>(0x80070005u);
};

TEST_F(AcceleratorHook, ARefusedAnnouncementIsRaisedToTheCaller) {
  // The frame refuses: the document is not asked; or the document refuses after the frame took it.
  for (auto [frameRefuses, expected] :
       {std::tuple(true, E_FAIL), std::tuple(false, RefusingDocument::E_ACCESSDENIED_FOR_TEST)}) {
    RefusingFrame frame(form_);
    frame.refuse = frameRefuses;
    RefusingDocument doc(form_);
    InPlaceSite site(&frame, &doc, form_);
    Control a(&site);
    Place(a, 10, true);
    EXPECT_THAT([&] { modIPAO::Activate(static_cast<IOleObject*>(&a), a.hwnd); },
                Throws<Error>(Property(&Error::number, expected))) << "raised to the caller";
    EXPECT_EQ(frame.asked, 1);
    frame.InPlaceFrame::SetActiveObject(nullptr, nullptr);
    modIPAO::Remove(a.hwnd);
    EXPECT_EQ(a.refs, 0u) << "no reference is kept after the failure";
    DestroyWindow(a.hwnd);
  }
}

}  // namespace
}  // namespace ktfolio
