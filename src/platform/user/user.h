// Win32-shaped window manager, in process.
//
// Windows, classes, window procedures, messages, properties, timers, focus,
// capture, input state, painting, scroll bars, caret, clipboard and the built-in
// "Edit" class, with the names, flag values and wParam/lParam packing of Win32.
// Windows live in a tree owned by this module; a backend presents top-level
// windows (headless by default, GTK 3 on request). Handles are small numbers
// dressed as typed pointers, never dereferenced, never reused.
//
// This header gathers the subjects, each in a header of its own.
#pragma once

#include "platform/user/user_calls.h"
#include "platform/user/user_controls.h"
#include "platform/user/user_extensions.h"
#include "platform/user/user_flags.h"
#include "platform/user/user_messages.h"
#include "platform/user/user_types.h"
