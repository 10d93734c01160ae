// The subclassing registry, observed through window properties, call order and
// the values returned to the window manager.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/automation/error.h"
#include "platform/user/user.h"
#include "winsupport/subclass.h"

namespace ktfolio {
namespace {

using namespace win;

std::vector<std::string> g_calls;

LRESULT Original(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_USER) {
    g_calls.push_back("original");
    return 100;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

class Client : public ISubclass {
 public:
  Client(std::string name, EMsgResponse response, LRESULT result) : name_(std::move(name)), response_(response), result_(result) {}
  EMsgResponse MsgResponse() override {
    ++asked;
    return response_;
  }
  void MsgResponse(EMsgResponse r) override { response_ = r; }
  LRESULT WindowProc(HWND, UINT msg, WPARAM, LPARAM) override {
    g_calls.push_back(name_);
    seenCurrent = MSubclass::CurrentMessage();
    return result_;
  }
  int asked = 0;
  UINT seenCurrent = 0;

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
  void TearDown() override {
    DestroyWindow(hwnd_);
    EXPECT_EQ(user::LivePropertyCount(), baseProps_);
  }
  long Prop(const std::string& name) {
    return static_cast<long>(reinterpret_cast<std::intptr_t>(GetProp(hwnd_, name.c_str())));
  }
  std::vector<std::string> PropNames() {
    std::vector<std::string> names;
    for (auto& [n, v] : user::ListProps(hwnd_)) names.push_back(n);
    std::sort(names.begin(), names.end());
    return names;
  }
  int ErrorOf(ISubclass* c, HWND h, UINT m) {
    try {
      MSubclass::AttachMessage(c, h, m);
    } catch (const Error& e) {
      EXPECT_EQ(e.source(), "ktfolio.WindowProc");
      return e.number();
    }
    return 0;
  }
  HWND hwnd_ = nullptr;
  std::string h_;
  int baseProps_ = 0;
};

TEST_F(Subclassing, PropertiesNameTheWindowTheMessageAndEachClient) {
  Client a("a", emrConsume, 1), b("b", emrConsume, 2);
  auto original = GetWindowLongPtr(hwnd_, GWL_WNDPROC);
  GSubclass gs;
  gs.AttachMessage(&a, hwnd_, WM_USER);
  gs.AttachMessage(&b, hwnd_, WM_USER);
  gs.AttachMessage(&a, hwnd_, WM_CHAR);
  EXPECT_EQ(GetWindowLongPtr(hwnd_, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&MSubclass::WindowProc));
  std::vector<std::string> expected{"C" + h_, h_, h_ + "#1024#1", h_ + "#1024#2", h_ + "#1024C", h_ + "#258#1",
                                    h_ + "#258C"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(PropNames(), expected);
  EXPECT_EQ(Prop("C" + h_), 3);
  EXPECT_EQ(Prop(h_ + "#1024C"), 2);
  EXPECT_EQ(GetProp(hwnd_, (h_ + "#1024#2").c_str()), static_cast<ISubclass*>(&b));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetProp(hwnd_, h_.c_str())), original);
  EXPECT_EQ(MSubclass::MessageCountName(hwnd_, 258), h_ + "#258C");

  // detaching one of two messages keeps the window subclassed
  gs.DetachMessage(&a, hwnd_, WM_CHAR);
  EXPECT_EQ(GetWindowLongPtr(hwnd_, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&MSubclass::WindowProc));
  EXPECT_EQ(Prop(h_ + "#258C"), 0);
  EXPECT_EQ(GetProp(hwnd_, (h_ + "#258#1").c_str()), nullptr);
  gs.DetachMessage(&a, hwnd_, WM_USER);
  gs.DetachMessage(&b, hwnd_, WM_USER);
  // the last detach gives the procedure back and removes the window-level pair
  EXPECT_EQ(GetWindowLongPtr(hwnd_, GWL_WNDPROC), original);
  EXPECT_EQ(GetProp(hwnd_, h_.c_str()), nullptr);
  EXPECT_EQ(GetProp(hwnd_, ("C" + h_).c_str()), nullptr);
  // the per-message counts stay behind at zero, as the registry leaves them
  std::vector<std::string> left{h_ + "#1024C", h_ + "#258C"};
  EXPECT_EQ(PropNames(), left);
  EXPECT_EQ(SendMessage(hwnd_, WM_USER, 0, 0), 100);
  for (auto& n : left) RemoveProp(hwnd_, n.c_str());
}

TEST_F(Subclassing, ClientsRunInAttachOrderAndTheLastAnswerDecides) {
  Client a("a", emrConsume, 1), b("b", emrConsume, 2);
  MSubclass::AttachMessage(&a, hwnd_, WM_USER);
  MSubclass::AttachMessage(&b, hwnd_, WM_USER);
  EXPECT_EQ(SendMessage(hwnd_, WM_USER, 0, 0), 2);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(a.asked, 1) << "the first client is asked only whether to pre-process";
  EXPECT_EQ(b.asked, 1) << "the last only whether to post-process";

  g_calls.clear();
  b.MsgResponse(emrPostProcess);
  EXPECT_EQ(SendMessage(hwnd_, WM_USER, 0, 0), 100);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "b", "original"}));

  g_calls.clear();
  b.MsgResponse(emrConsume);
  a.MsgResponse(emrPreprocess);
  EXPECT_EQ(SendMessage(hwnd_, WM_USER, 0, 0), 2);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"original", "a", "b"}));

  // a subclassed window's other messages go straight to the original
  g_calls.clear();
  EXPECT_EQ(SendMessage(hwnd_, WM_USER + 1, 0, 0), 100);
  EXPECT_EQ(g_calls, std::vector<std::string>{"original"});
  MSubclass::DetachMessage(&a, hwnd_, WM_USER);
  MSubclass::DetachMessage(&b, hwnd_, WM_USER);
  RemoveProp(hwnd_, (h_ + "#1024C").c_str());
}

TEST_F(Subclassing, RefusedAttachmentsChangeNothing) {
  Client a("a", emrConsume, 1);
  MSubclass::AttachMessage(&a, hwnd_, WM_USER);
  auto before = user::ListProps(hwnd_);
  EXPECT_EQ(ErrorOf(&a, hwnd_, WM_USER), -2147208422);
  EXPECT_EQ(user::ListProps(hwnd_), before);
  EXPECT_THROW(
      {
        try {
          MSubclass::AttachMessage(&a, hwnd_, WM_USER);
        } catch (const Error& e) {
          EXPECT_STREQ(e.what(), "Message already handled by another class");
          throw;
        }
      },
      Error);
  EXPECT_EQ(ErrorOf(&a, reinterpret_cast<HWND>(0x4321), WM_USER), -2147208421);

  HWND foreign = CreateWindowEx(0, "SubclassTarget", "", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  user::SetWindowProcessId(foreign, GetCurrentProcessId() + 1);
  EXPECT_EQ(ErrorOf(&a, foreign, WM_USER), -2147208420);
  EXPECT_TRUE(user::ListProps(foreign).empty());
  user::SetWindowProcessId(foreign, GetCurrentProcessId());
  DestroyWindow(foreign);
  MSubclass::DetachMessage(&a, hwnd_, WM_USER);
  RemoveProp(hwnd_, (h_ + "#1024C").c_str());
}

TEST_F(Subclassing, DetachingTheFirstOfThreeKeepsTheOthersInOrder) {
  Client a("a", emrConsume, 1), b("b", emrConsume, 2), c("c", emrConsume, 3);
  for (Client* x : {&a, &b, &c}) MSubclass::AttachMessage(x, hwnd_, WM_USER);
  MSubclass::DetachMessage(&a, hwnd_, WM_USER);
  EXPECT_EQ(GetProp(hwnd_, (h_ + "#1024#1").c_str()), static_cast<ISubclass*>(&b));
  EXPECT_EQ(GetProp(hwnd_, (h_ + "#1024#2").c_str()), static_cast<ISubclass*>(&c));
  EXPECT_EQ(GetProp(hwnd_, (h_ + "#1024#3").c_str()), nullptr);
  EXPECT_EQ(Prop(h_ + "#1024C"), 2);
  EXPECT_EQ(Prop("C" + h_), 2);
  EXPECT_EQ(SendMessage(hwnd_, WM_USER, 0, 0), 3);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"b", "c"}));
  MSubclass::DetachMessage(&b, hwnd_, WM_USER);
  MSubclass::DetachMessage(&c, hwnd_, WM_USER);
  EXPECT_EQ(GetWindowLongPtr(hwnd_, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Original));
  RemoveProp(hwnd_, (h_ + "#1024C").c_str());
}

// A client that sends a nested message from its handler and then asks for the
// old procedure: the thread's slots show the nested dispatch.
class Nester : public ISubclass {
 public:
  EMsgResponse MsgResponse() override { return emrConsume; }
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM, LPARAM) override {
    if (msg == WM_USER) {
      SendMessage(hwnd, WM_USER + 1, 0, 0);
      afterNested = MSubclass::CurrentMessage();
      return MSubclass::CallOldWindowProc(hwnd, msg, 0, 0) + 1;
    }
    return 0;
  }
  UINT afterNested = 0;
};

TEST_F(Subclassing, CallOldWindowProcUsesTheDispatchInProgress) {
  Nester n;
  MSubclass::AttachMessage(&n, hwnd_, WM_USER);
  MSubclass::AttachMessage(&n, hwnd_, WM_USER + 1);
  EXPECT_EQ(SendMessage(hwnd_, WM_USER, 0, 0), 101);
  EXPECT_EQ(n.afterNested, WM_USER + 1u);
  MSubclass::DetachMessage(&n, hwnd_, WM_USER);
  MSubclass::DetachMessage(&n, hwnd_, WM_USER + 1);
  RemoveProp(hwnd_, (h_ + "#1024C").c_str());
  RemoveProp(hwnd_, (h_ + "#1025C").c_str());
}

}  // namespace
}  // namespace ktfolio
