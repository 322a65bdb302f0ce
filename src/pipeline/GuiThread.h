#pragma once

namespace pelsid {

/// True on the thread that owns the widgets and the event loop (or before
/// there is an application object).
bool onGuiThread();

/// Ends the program with a message naming `function`, which ran off the GUI thread.
[[noreturn]] void offGuiThread(const char* function);

}  // namespace pelsid

/// For a method that must run on the GUI thread: it touches widgets, timers
/// or state that the drawing thread must not see change. Checked in debug
/// and sanitized builds.
#if !defined(QT_NO_DEBUG) || defined(PELSID_THREAD_CHECKS)
#define PELSID_ASSERT_GUI_THREAD() \
    (::pelsid::onGuiThread() ? void() : ::pelsid::offGuiThread(__PRETTY_FUNCTION__))
#else
#define PELSID_ASSERT_GUI_THREAD() void()
#endif
