#include "winsupport/ipao.h"

#include <new>

#include "platform/automation/error.h"

namespace ktfolio {

using namespace win;
using namespace ole;

namespace {

// The hook block: a stand-in for the control's in-place active object. Every
// call but TranslateAccelerator goes to the real object; reference counting is
// the real object's, the block itself lives from install to remove.
class HookBlock final : public IOleInPlaceActiveObject {
 public:
  HookBlock(IOleInPlaceActiveObject* real, IPAO* ipao) : real_(real), ipao_(ipao) {}
  ~HookBlock() override {
    if (real_) real_->Release();
  }

  HRESULT QueryInterface(const IID& riid, void** ppv) override {
    if (IsEqualGUID(riid, IID_IOleInPlaceActiveObject())) {
      if (!ppv) return E_POINTER;
      *ppv = static_cast<IOleInPlaceActiveObject*>(this);
      real_->AddRef();
      return S_OK;
    }
    return real_->QueryInterface(riid, ppv);
  }
  ULONG AddRef() override { return real_->AddRef(); }
  ULONG Release() override { return real_->Release(); }
  HRESULT GetWindow(HWND* hwnd) override { return real_->GetWindow(hwnd); }
  HRESULT ContextSensitiveHelp(BOOL enter) override { return real_->ContextSensitiveHelp(enter); }
  HRESULT OnFrameWindowActivate(BOOL a) override { return real_->OnFrameWindowActivate(a); }
  HRESULT OnDocWindowActivate(BOOL a) override { return real_->OnDocWindowActivate(a); }
  HRESULT ResizeBorder(const RECT* b, IOleInPlaceUIWindow* ui, BOOL f) override { return real_->ResizeBorder(b, ui, f); }
  HRESULT EnableModeless(BOOL e) override { return real_->EnableModeless(e); }

  HRESULT TranslateAccelerator(MSG* msg) override {
    if (!msg) return E_POINTER;
    // the control may rewrite the by-reference values; they land in the record
    LONG y = msg->pt.y;
    LONG answer = ipao_->TranslateAccelerator(msg->hwnd, static_cast<LONG>(msg->message), msg->wParam, msg->lParam,
                                              static_cast<SHORT>(msg->wParam & 0x7FFF), msg->pt.x, y, msg->time);
    msg->pt.y = y;
    if (answer == 0) return S_OK;
    return real_->TranslateAccelerator(msg);
  }

 private:
  IOleInPlaceActiveObject* real_;  // counted
  IPAO* ipao_;                     // not counted
};

HookBlock* BlockOf(HWND hwnd) {
  return static_cast<HookBlock*>(GetProp(hwnd, modIPAO::PropertyName(hwnd).c_str()));
}

void Check(HRESULT hr) {
  if (Failed(hr)) throw Error(hr, kLibraryName, "Method failed");
}

}  // namespace

namespace modIPAO {

std::string PropertyName(HWND hwnd) {
  return "m_IPAOHookStruct_ID:" + std::to_string(reinterpret_cast<std::uintptr_t>(hwnd));
}

void Install(IUnknown* control, IPAO* ipao, HWND hwnd) {
  if (!control || !ipao) return;
  void* p = nullptr;
  if (Failed(control->QueryInterface(IID_IOleInPlaceActiveObject(), &p)) || !p) return;
  auto* real = static_cast<IOleInPlaceActiveObject*>(p);  // counted by the query
  HookBlock* block = new (std::nothrow) HookBlock(real, ipao);
  if (!block) {
    real->Release();
    throw Error(ErrorCode::kOutOfMemory, kLibraryName, "Out of memory");
  }
  SetProp(hwnd, PropertyName(hwnd).c_str(), static_cast<IOleInPlaceActiveObject*>(block));
}

void Activate(IUnknown* control, HWND hwnd) {
  HookBlock* block = BlockOf(hwnd);
  if (!block || !control) return;
  void* p = nullptr;
  Check(control->QueryInterface(IID_IOleObject(), &p));
  auto* object = static_cast<IOleObject*>(p);
  IOleClientSite* clientSite = nullptr;
  HRESULT hr = object->GetClientSite(&clientSite);
  object->Release();
  Check(hr);
  if (!clientSite) Check(E_FAIL);
  hr = clientSite->QueryInterface(IID_IOleInPlaceSite(), &p);
  clientSite->Release();
  Check(hr);
  auto* site = static_cast<IOleInPlaceSite*>(p);
  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* doc = nullptr;
  RECT pos, clip;
  OLEINPLACEFRAMEINFO info;
  hr = site->GetWindowContext(&frame, &doc, &pos, &clip, &info);
  site->Release();
  Check(hr);
  // Both windows are released before a failure of either is raised, so a
  // refusing container keeps no reference of ours.
  hr = frame ? frame->SetActiveObject(block, nullptr) : S_OK;
  if (!Failed(hr) && doc) hr = doc->SetActiveObject(block, nullptr);
  if (frame) frame->Release();
  if (doc) doc->Release();
  Check(hr);
}

void Remove(HWND hwnd) {
  HookBlock* block = BlockOf(hwnd);
  if (!block) return;
  RemoveProp(hwnd, PropertyName(hwnd).c_str());
  delete block;
}

}  // namespace modIPAO
}  // namespace ktfolio
