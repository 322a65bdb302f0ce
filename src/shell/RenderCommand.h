#pragma once
#include <QByteArray>
#include <QStringList>
#include <future>

#include "store/CaptureFile.h"

namespace pelsid {

/// `pelsid --render DIR FILE [--set WINDOW.CONTROL=VALUE]...`: shows the seven
/// views offscreen, applies the settings, loads FILE, plays every packet and
/// writes the screenshots and thumbnails into DIR. Needs a QApplication.
/// Returns the exit status; messages go to standard error. `early`, when
/// valid, is FILE being read already; `nativeDir`, when given, is DIR's bytes
/// as the command line held them (a name need not be valid text).
int runRenderCommand(const QStringList& args, std::future<CaptureFile> early = {},
                     const QByteArray& nativeDir = {});

}  // namespace pelsid
