#pragma once

namespace pelsid::test {

/// Calls of widget and timer methods made on any thread but the main one.
/// Linking WidgetCallWatch.cpp puts a counting definition of each watched
/// method (drop-down index and text, toggle state, spin box and scroll bar
/// values, label and text box text, widget update, timer start) in front of
/// Qt's own; each counts and passes the call on.
long widgetCallsOffMainThread();
/// Method names and their counts, one a line, for a failure message.
const char* widgetCallReport();
void resetWidgetCalls();

}  // namespace pelsid::test
