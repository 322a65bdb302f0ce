#pragma once
#include <QByteArray>
#include <QStringList>
#include <future>

#include "store/CaptureFile.h"

namespace pelsid {

/// `pelsid --render DIR FILE [--set WINDOW.CONTROL=VALUE]... [--pick WINDOW:X,Y]...`: applies
/// the settings to the seven views' renderers (no window is built), loads the frames of FILE
/// `choice` names, plays every packet through every view and writes the screenshots and
/// thumbnails into DIR, then prints the packet that drew each picked pixel. Needs a
/// QGuiApplication (for fonts), no widgets. Returns the exit status; messages go to standard
/// error. `early`, when valid, is FILE being read already; `nativeDir`, when given, is DIR's bytes
/// as the command line held them (a name need not be valid text).
int runRenderCommand(const QStringList& args, std::future<CaptureFile> early = {},
                     const QByteArray& nativeDir = {}, const LoadChoice& choice = {});

}  // namespace pelsid
