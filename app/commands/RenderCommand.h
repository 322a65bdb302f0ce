#pragma once
#include <QByteArray>
#include <QStringList>
#include <future>

#include "store/CaptureFile.h"

namespace pelsid {

/// `pelsid --render DIR FILE [--set WINDOW.CONTROL=VALUE]... [--pick WINDOW:X,Y]...`: shows the
/// seven views offscreen, applies the settings, loads the frames of FILE `choice` names, plays
/// every packet and writes the screenshots and thumbnails into DIR, then prints the packet that
/// drew each picked pixel. Needs a QApplication. Returns the exit status; messages go to standard
/// error. `early`, when valid, is FILE being read already; `nativeDir`, when given, is DIR's bytes
/// as the command line held them (a name need not be valid text).
int runRenderCommand(const QStringList& args, std::future<CaptureFile> early = {},
                     const QByteArray& nativeDir = {}, const LoadChoice& choice = {});

}  // namespace pelsid
