#pragma once
#include <string>

#include "store/ByteInput.h"
#include "store/FrameIntake.h"
#include "store/ReadOptions.h"
#include "store/RecordSet.h"

namespace pelsid {

enum class CaptureFormat { Unreadable, NotPelsid, Dataset, Pcap, Pcapng };

/// Reads `input` by the format its first bytes name (never its name), and
/// hands each frame the options choose to `sink`, converted to Ethernet and
/// cut to a slot, until the buffer's limit is passed. Problems and counters go
/// into `set`; `fileName` names the file in messages. A filter that cannot be
/// compiled refuses the read with libpcap's message.
CaptureFormat readCapture(ByteInput& input, const std::string& fileName, const ReadOptions& options,
                          RecordSet& set, FrameIntake::Sink sink);

}  // namespace pelsid
