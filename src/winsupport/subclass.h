// Message subclassing: objects of the library (and hosts, through GSubclass)
// intercept chosen messages of any window of this process.
//
// All registry state lives in window properties on the subclassed window, named
// from the decimal handle h, message m and position i:
//   "h"        the window procedure installed before ours
//   "Ch"       number of (client, message) attachments on the window
//   "h#mC"     number of clients of message m
//   "h#m#i"    the i-th client of message m (an uncounted ISubclass pointer)
#pragma once

#include <string>

#include "platform/user/user.h"

namespace ktfolio {

enum EMsgResponse {
  emrConsume = 0,      // the client handles the message instead of the previous procedure
  emrPostProcess = 1,  // the previous procedure runs after the client; its result is returned
  emrPreprocess = 2,   // the previous procedure runs before the client; the client's result is returned
};

// Error codes raised by the registry (with the object-error base added).
namespace subclass_error {
constexpr int kCantSubclass = 13081;
constexpr int kAlreadyHandled = 13082;
constexpr int kInvalidWindow = 13083;
constexpr int kExternalWindow = 13084;
}  // namespace subclass_error

// Client interface. The base itself is the empty implementation: it consumes
// every message and answers 0.
class ISubclass {
 public:
  virtual ~ISubclass() = default;
  virtual EMsgResponse MsgResponse() { return emrConsume; }
  virtual void MsgResponse(EMsgResponse) {}
  virtual win::LRESULT WindowProc(win::HWND hwnd, win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam) {
    return 0;
  }
};

// The registry module.
namespace MSubclass {
void AttachMessage(ISubclass* client, win::HWND hwnd, win::UINT iMsg);
void DetachMessage(ISubclass* client, win::HWND hwnd, win::UINT iMsg);
// The message being dispatched on this thread (valid inside a client's handler).
win::UINT CurrentMessage();
// Calls the procedure that was installed before the registry's, for the
// dispatch in progress on this thread.
win::LRESULT CallOldWindowProc(win::HWND hwnd, win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam);
// The shared procedure installed on every subclassed window.
win::LRESULT WindowProc(win::HWND hwnd, win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam);
// Property names, exposed so hosts and tests can look at the registry.
std::string HandleName(win::HWND hwnd);
std::string CountName(win::HWND hwnd);
std::string MessageCountName(win::HWND hwnd, win::UINT iMsg);
std::string ClientName(win::HWND hwnd, win::UINT iMsg, long position);
}  // namespace MSubclass

// Public class: forwards to the registry.
class GSubclass {
 public:
  void AttachMessage(ISubclass* iwp, win::HWND hwnd, win::UINT iMsg) { MSubclass::AttachMessage(iwp, hwnd, iMsg); }
  void DetachMessage(ISubclass* iwp, win::HWND hwnd, win::UINT iMsg) { MSubclass::DetachMessage(iwp, hwnd, iMsg); }
  win::UINT CurrentMessage() const { return MSubclass::CurrentMessage(); }
  win::LRESULT CallOldWindowProc(win::HWND hwnd, win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam) {
    return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
  }
};

// Source text of the errors of the support layer ("ktfolio.WindowProc").
std::string SupportErrorSource();

}  // namespace ktfolio
