// Finding the controller: the download probe of a model goes out once to
// every candidate port at the same moment, and one poll loop over all of
// them collects the first reply of each within the deadline. A port that
// answers with a presence reply (8F, 7F, or 7E of a VQ-M28) holds a
// controller; nothing else (no erase, no data) is ever sent by a search.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/link_frames.h"
#include "link/port_source.h"
#include "model/text.h"

namespace vqled {

// How long a search waits for the replies of all ports together.
constexpr int kFindDeadlineMs = 2000;

enum FindResult {
  FIND_ANSWERED,     // a presence reply came: reply holds it
  FIND_SILENT,       // nothing came within the deadline
  FIND_OTHER_REPLY,  // bytes came, but no presence reply: reply holds the first
  FIND_UNUSABLE      // the port could not be opened or written, or vanished
};

struct PortAnswer {
  PortRecord port;
  FindResult result = FIND_SILENT;
  uint8_t reply = 0;   // the first byte the port sent
  int blockSize = -1;  // the block size a 7E reply carried; -1 when it carried none
  Text why;            // for every result but FIND_ANSWERED: what happened, naming the port
};

// Whether a search probes the port: every port a source lists except a
// ttyS with no UART behind it (nothing can answer there).
bool IsFindCandidate(const PortRecord& port);

// The candidates among the ports a source listed, in its order.
std::vector<PortRecord> FindCandidates(std::vector<PortRecord> ports);

// The probe a search sends for model modelIndex: the download probe with
// area 0 in the model's command-frame form. Returns its length.
int BuildFindProbe(int modelIndex, uint8_t (&out)[kCommandFrameCapacity]);

// Opens every port (exclusively, 115200 8N1, input purged), sends each the
// probe of modelIndex and waits at most deadlineMs in all for their replies.
// Returns one answer per port, in the order given.
std::vector<PortAnswer> FindControllers(const std::vector<PortRecord>& ports, int modelIndex,
                                        int deadlineMs = kFindDeadlineMs);

// The first port that answered with a presence reply, or nullptr.
const PortAnswer* FirstAnswered(const std::vector<PortAnswer>& answers);

// "/dev/ttyUSB0 answered 8F" or the like, one line a port, for status lines
// and the CLI.
Text DescribeAnswer(const PortAnswer& answer);

}  // namespace vqled
