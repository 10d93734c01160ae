#include "winsupport/subclass.h"

#include "platform/automation/error.h"

namespace ktfolio {

using namespace win;

std::string SupportErrorSource() { return std::string(kLibraryName) + ".WindowProc"; }

namespace MSubclass {
namespace {

// Per thread: what the dispatcher is working on, for CurrentMessage and
// CallOldWindowProc. A nested dispatch overwrites both.
thread_local UINT t_currentMessage = 0;
thread_local WNDPROC t_previousProc = nullptr;

[[noreturn]] void Raise(int code) {
  const char* text = "";
  switch (code) {
    case subclass_error::kCantSubclass: text = "Can't subclass window"; break;
    case subclass_error::kAlreadyHandled: text = "Message already handled by another class"; break;
    case subclass_error::kInvalidWindow: text = "Invalid window"; break;
    case subclass_error::kExternalWindow: text = "Can't modify external window"; break;
    default: break;
  }
  throw Error(ObjectError(code), SupportErrorSource(), text);
}

long ReadLong(HWND hwnd, const std::string& name) {
  return static_cast<long>(reinterpret_cast<std::intptr_t>(GetProp(hwnd, name.c_str())));
}
void WriteLong(HWND hwnd, const std::string& name, long value) {
  SetProp(hwnd, name.c_str(), reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value)));
}
std::string Dec(std::uintptr_t v) { return std::to_string(v); }

}  // namespace

std::string HandleName(HWND hwnd) { return Dec(reinterpret_cast<std::uintptr_t>(hwnd)); }
std::string CountName(HWND hwnd) { return "C" + HandleName(hwnd); }
std::string MessageCountName(HWND hwnd, UINT iMsg) { return HandleName(hwnd) + "#" + std::to_string(iMsg) + "C"; }
std::string ClientName(HWND hwnd, UINT iMsg, long position) {
  return HandleName(hwnd) + "#" + std::to_string(iMsg) + "#" + std::to_string(position);
}

void AttachMessage(ISubclass* client, HWND hwnd, UINT iMsg) {
  if (!IsWindow(hwnd)) Raise(subclass_error::kInvalidWindow);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId()) Raise(subclass_error::kExternalWindow);

  long n = ReadLong(hwnd, MessageCountName(hwnd, iMsg));
  for (long i = 1; i <= n; ++i)
    if (GetProp(hwnd, ClientName(hwnd, iMsg, i).c_str()) == client) Raise(subclass_error::kAlreadyHandled);

  long c = ReadLong(hwnd, CountName(hwnd));
  if (c == 0) {
    LONG_PTR previous = SetWindowLongPtr(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&MSubclass::WindowProc));
    if (previous == 0) Raise(subclass_error::kCantSubclass);
    SetProp(hwnd, HandleName(hwnd).c_str(), reinterpret_cast<HANDLE>(previous));
    WriteLong(hwnd, CountName(hwnd), 1);
  } else {
    WriteLong(hwnd, CountName(hwnd), c + 1);
  }
  WriteLong(hwnd, MessageCountName(hwnd, iMsg), n + 1);
  SetProp(hwnd, ClientName(hwnd, iMsg, n + 1).c_str(), client);
}

void DetachMessage(ISubclass* client, HWND hwnd, UINT iMsg) {
  long c = ReadLong(hwnd, CountName(hwnd));
  if (c == 1) {
    // the window's last attachment: give it back its own procedure
    HANDLE previous = GetProp(hwnd, HandleName(hwnd).c_str());
    SetWindowLongPtr(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemoveProp(hwnd, HandleName(hwnd).c_str());
    RemoveProp(hwnd, CountName(hwnd).c_str());
  } else {
    WriteLong(hwnd, CountName(hwnd), c - 1);
  }
  long n = ReadLong(hwnd, MessageCountName(hwnd, iMsg));
  if (n < 1) return;
  long i = 1;
  while (i <= n && GetProp(hwnd, ClientName(hwnd, iMsg, i).c_str()) != client) ++i;
  for (long j = i + 1; j <= n; ++j)
    SetProp(hwnd, ClientName(hwnd, iMsg, j - 1).c_str(), GetProp(hwnd, ClientName(hwnd, iMsg, j).c_str()));
  RemoveProp(hwnd, ClientName(hwnd, iMsg, n).c_str());
  WriteLong(hwnd, MessageCountName(hwnd, iMsg), n - 1);
}

UINT CurrentMessage() { return t_currentMessage; }

LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProc(t_previousProc, hwnd, iMsg, wParam, lParam);
}

LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetProp(hwnd, HandleName(hwnd).c_str()));
  long n = ReadLong(hwnd, MessageCountName(hwnd, iMsg));
  if (n < 1) return CallWindowProc(previous, hwnd, iMsg, wParam, lParam);
  LRESULT result = 0;
  bool calledPrevious = false;
  for (long i = 1; i <= n; ++i) {
    auto* client = static_cast<ISubclass*>(GetProp(hwnd, ClientName(hwnd, iMsg, i).c_str()));
    if (!client) {
      result = CallWindowProc(previous, hwnd, iMsg, wParam, lParam);
      continue;
    }
    t_currentMessage = iMsg;
    t_previousProc = previous;
    if (i == 1 && client->MsgResponse() == emrPreprocess && !calledPrevious) {
      CallWindowProc(previous, hwnd, iMsg, wParam, lParam);
      calledPrevious = true;
    }
    result = client->WindowProc(hwnd, iMsg, wParam, lParam);
    if (i == n && client->MsgResponse() == emrPostProcess && !calledPrevious) {
      result = CallWindowProc(previous, hwnd, iMsg, wParam, lParam);
      calledPrevious = true;
    }
  }
  return result;
}

}  // namespace MSubclass
}  // namespace ktfolio
