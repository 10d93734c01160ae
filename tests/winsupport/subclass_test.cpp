// The subclassing registry, observed through window properties, call order and
// the values returned to the window manager.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/automation/error.h"
#include "platform/user/user.h"
#include "winsupport/subclass.h"

namespace ktfolio {
namespace {

using namespace win;
using namespace ::testing;
using Calls = std::vector<std::string>;

Calls g_calls;

LRESULT Original(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg < WM_USER) return DefWindowProc(hwnd, msg, wp, lp);
  g_calls.push_back("original");
  return 100;
}

class Client : public ISubclass {
 public:
  Client(std::string name, EMsgResponse response, LRESULT result) : name_(std::move(name)), response_(response), result_(result) {}
  EMsgResponse MsgResponse() override { return ++asked, response_; }
  void MsgResponse(EMsgResponse r) override { response_ = r; }
  LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return g_calls.push_back(name_), result_; }
  int asked = 0;

 private:
  std::string name_;
  EMsgResponse response_;
  LRESULT result_;
};

class Subclassing : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSEX wc;
    wc.lpfnWndProc = Original;
    wc.lpszClassName = "SubclassTarget";
    RegisterClassEx(&wc);
    baseProps_ = user::LivePropertyCount();
    hwnd_ = CreateWindowEx(0, "SubclassTarget", "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    h_ = std::to_string(reinterpret_cast<std::uintptr_t>(hwnd_));
    g_calls.clear();
  }
  // The per-message counts stay behind at zero, as the registry leaves them;
  // anything else left over is a leak.
  void TearDown() override {
    for (auto& [name, value] : user::ListProps(hwnd_))
      if (name.back() == 'C' && name.rfind(h_ + "#", 0) == 0 && value == nullptr) RemoveProp(hwnd_, name.c_str());
    DestroyWindow(hwnd_);
    EXPECT_EQ(user::LivePropertyCount(), baseProps_);
  }
  void* Ptr(const std::string& suffix) { return GetProp(hwnd_, (h_ + suffix).c_str()); }
  long Count(const std::string& name) {
    return static_cast<long>(reinterpret_cast<std::intptr_t>(GetProp(hwnd_, name.c_str())));
  }
  std::vector<std::string> PropNames() {
    std::vector<std::string> names;
    for (auto& [n, v] : user::ListProps(hwnd_)) names.push_back(n);
    std::sort(names.begin(), names.end());
    return names;
  }
  // What sending `msg` returned, and the procedures it ran.
  std::tuple<LRESULT, Calls> Send(UINT msg = WM_USER) {
    g_calls.clear();
    const LRESULT result = SendMessage(hwnd_, msg, 0, 0);
    return {result, g_calls};
  }
  HWND hwnd_ = nullptr;
  std::string h_;
  int baseProps_ = 0;
};

// A refused attachment: the error's number and source.
auto Refused(int number) {
  return Throws<Error>(AllOf(Property(&Error::number, number),
                             Property(&Error::source, "ktfolio.WindowProc")));
}

TEST_F(Subclassing, PropertiesNameTheWindowTheMessageAndEachClient) {
  Client a("a", emrConsume, 1), b("b", emrConsume, 2);
  const auto original = GetWindowLongPtr(hwnd_, GWL_WNDPROC);
  const auto subclassed = reinterpret_cast<LONG_PTR>(&MSubclass::WindowProc);
  GSubclass gs;
  gs.AttachMessage(&a, hwnd_, WM_USER);
  gs.AttachMessage(&b, hwnd_, WM_USER);
  gs.AttachMessage(&a, hwnd_, WM_CHAR);
  EXPECT_EQ(GetWindowLongPtr(hwnd_, GWL_WNDPROC), subclassed);
  std::vector<std::string> expected{"C" + h_,        h_,           h_ + "#1024#1", h_ + "#1024#2",
                                    h_ + "#1024C", h_ + "#258#1", h_ + "#258C"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(PropNames(), expected);
  EXPECT_EQ(std::tuple(Count("C" + h_), Count(h_ + "#1024C"), Ptr("#1024#2"), reinterpret_cast<LONG_PTR>(Ptr(""))),
            std::tuple(3, 2, static_cast<ISubclass*>(&b), original));
  EXPECT_EQ(MSubclass::MessageCountName(hwnd_, 258), h_ + "#258C");
  // Detaching one of two messages keeps the window subclassed.
  gs.DetachMessage(&a, hwnd_, WM_CHAR);
  EXPECT_EQ(std::tuple(GetWindowLongPtr(hwnd_, GWL_WNDPROC), Count(h_ + "#258C"), Ptr("#258#1")),
            std::tuple(subclassed, 0, nullptr));
  gs.DetachMessage(&a, hwnd_, WM_USER);
  gs.DetachMessage(&b, hwnd_, WM_USER);
  // The last detach gives the procedure back and removes the window-level pair.
  EXPECT_EQ(std::tuple(GetWindowLongPtr(hwnd_, GWL_WNDPROC), Ptr(""), GetProp(hwnd_, ("C" + h_).c_str())),
            std::tuple(original, nullptr, nullptr));
  EXPECT_EQ(PropNames(), (std::vector<std::string>{h_ + "#1024C", h_ + "#258C"}));
  EXPECT_EQ(Send(), std::tuple(100, Calls{"original"}));
}

TEST_F(Subclassing, ClientsRunInAttachOrderTheLastAnswerDecidesAndDetachingKeepsTheOrder) {
  Client a("a", emrConsume, 1), b("b", emrConsume, 2);
  MSubclass::AttachMessage(&a, hwnd_, WM_USER);
  MSubclass::AttachMessage(&b, hwnd_, WM_USER);
  EXPECT_EQ(Send(), std::tuple(2, Calls{"a", "b"}));
  // The first client is asked only whether to pre-process, the last only whether to post-process.
  EXPECT_EQ(std::tuple(a.asked, b.asked), std::tuple(1, 1));
  b.MsgResponse(emrPostProcess);
  EXPECT_EQ(Send(), std::tuple(100, Calls{"a", "b", "original"}));
  b.MsgResponse(emrConsume);
  a.MsgResponse(emrPreprocess);
  EXPECT_EQ(Send(), std::tuple(2, Calls{"original", "a", "b"}));
  EXPECT_EQ(Send(WM_USER + 1), std::tuple(100, Calls{"original"}))
      << "a subclassed window's other messages go straight to the original";
  MSubclass::DetachMessage(&a, hwnd_, WM_USER);
  MSubclass::DetachMessage(&b, hwnd_, WM_USER);
  Client c("c", emrConsume, 3);  // detaching the first of three keeps the others in order
  for (Client* x : {&a, &b, &c}) MSubclass::AttachMessage(x, hwnd_, WM_USER);
  MSubclass::DetachMessage(&a, hwnd_, WM_USER);
  EXPECT_EQ(std::tuple(Ptr("#1024#1"), Ptr("#1024#2"), Ptr("#1024#3")),
            std::tuple(static_cast<ISubclass*>(&b), static_cast<ISubclass*>(&c), nullptr));
  EXPECT_EQ(std::tuple(Count(h_ + "#1024C"), Count("C" + h_)), std::tuple(2, 2));
  EXPECT_EQ(Send(), std::tuple(3, Calls{"b", "c"}));
  MSubclass::DetachMessage(&b, hwnd_, WM_USER);
  MSubclass::DetachMessage(&c, hwnd_, WM_USER);
  EXPECT_EQ(GetWindowLongPtr(hwnd_, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Original));
}

TEST_F(Subclassing, RefusedAttachmentsChangeNothing) {
  Client a("a", emrConsume, 1);
  MSubclass::AttachMessage(&a, hwnd_, WM_USER);
  const auto before = user::ListProps(hwnd_);
  const char* handled = "Message already handled by another class";
  EXPECT_THAT([&] { MSubclass::AttachMessage(&a, hwnd_, WM_USER); },
              AllOf(Refused(-2147208422), Throws<Error>(Property(&Error::description, handled))));
  EXPECT_EQ(user::ListProps(hwnd_), before);
  HWND foreign = CreateWindowEx(0, "SubclassTarget", "", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  user::SetWindowProcessId(foreign, GetCurrentProcessId() + 1);
  // No such window; another process's window.
  const HWND none = reinterpret_cast<HWND>(0x4321);
  EXPECT_THAT([&] { MSubclass::AttachMessage(&a, none, WM_USER); }, Refused(-2147208421));
  EXPECT_THAT([&] { MSubclass::AttachMessage(&a, foreign, WM_USER); }, Refused(-2147208420));
  EXPECT_TRUE(user::ListProps(foreign).empty());
  user::SetWindowProcessId(foreign, GetCurrentProcessId());
  DestroyWindow(foreign);
  MSubclass::DetachMessage(&a, hwnd_, WM_USER);
}

// A client that sends a nested message from its handler and then asks for the
// old procedure: the thread's slots show the nested dispatch.
class Nester : public ISubclass {
 public:
  EMsgResponse MsgResponse() override { return emrConsume; }
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM, LPARAM) override {
    if (msg != WM_USER) return 0;
    SendMessage(hwnd, WM_USER + 1, 0, 0);
    afterNested = MSubclass::CurrentMessage();
    return MSubclass::CallOldWindowProc(hwnd, msg, 0, 0) + 1;
  }
  UINT afterNested = 0;
};

TEST_F(Subclassing, CallOldWindowProcUsesTheDispatchInProgress) {
  Nester n;
  MSubclass::AttachMessage(&n, hwnd_, WM_USER);
  MSubclass::AttachMessage(&n, hwnd_, WM_USER + 1);
  EXPECT_EQ(std::get<0>(Send()), 101);
  EXPECT_EQ(n.afterNested, WM_USER + 1u);
  MSubclass::DetachMessage(&n, hwnd_, WM_USER);
  MSubclass::DetachMessage(&n, hwnd_, WM_USER + 1);
}

}  // namespace
}  // namespace ktfolio
