#include "sim/sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "model/model_catalogue.h"

namespace vqled {

namespace {

Outcome Bad(const std::string& zh, const std::string& en) {
  return Outcome::Fail({zh, en});
}

bool ParseInt(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseCode(const char* text, std::initializer_list<uint8_t> allowed, uint8_t& code) {
  int value = 0;
  const std::string hex = std::string("0x") + text;
  if (!ParseInt(hex.c_str(), 0, 255, value)) return false;
  for (uint8_t candidate : allowed) {
    if (candidate == value) {
      code = candidate;
      return true;
    }
  }
  return false;
}

// "N:CODE" of --block-fault.
bool ParseBlockFault(const char* text, SimFaults& faults) {
  const char* colon = std::strchr(text, ':');
  if (colon == nullptr) return false;
  const std::string index(text, colon);
  return ParseInt(index.c_str(), 0, 1 << 24, faults.blockFaultIndex) &&
         ParseCode(colon + 1, {RPL_RECEIVE_ERROR, RPL_SEND_ERROR, RPL_RETURN_ERROR},
                   faults.blockFaultReply);
}

constexpr const char* kValueOptions[] = {
    "--model",        "--tty",         "--save-dir",   "--log",         "--baud", "--reply-delay",
    "--exit-after",   "--idle-exit",   "--present",    "--erase-reply", "--ack",  "--block-size",
    "--silent-after", "--block-fault", "--garbage-at", "--hang-up-at"};

bool TakesValue(const std::string& name) {
  for (const char* option : kValueOptions) {
    if (name == option) return true;
  }
  return false;
}

bool TakeText(const char* value, std::string& text) {
  text = value;
  return !text.empty();
}

bool TakeModel(const char* value, ModelProfile& profile) {
  const int index = ModelIndexByName(value);
  if (index < 0) return false;
  profile = CatalogueProfile(index);
  return true;
}

// Takes an option of kValueOptions with its value; false when the value is bad.
bool TakeOption(const std::string& name, const char* value, SimOptions& options) {
  SimFaults& faults = options.faults;
  SimReplies& replies = options.replies;
  if (name == "--model") return TakeModel(value, options.profile);
  if (name == "--tty") return TakeText(value, options.tty);
  if (name == "--save-dir") return TakeText(value, options.saveDir);
  if (name == "--log") return TakeText(value, options.logPath);
  if (name == "--baud") return ParseInt(value, 1, 4000000, options.baud);
  if (name == "--reply-delay") return ParseInt(value, 0, 600000, options.replyDelayMs);
  if (name == "--exit-after") return ParseInt(value, 1, 1 << 30, options.exitAfter);
  if (name == "--idle-exit") return ParseInt(value, 1, 1 << 30, options.idleExitMs);
  if (name == "--present") return ParseCode(value, {RPL_PRESENT, RPL_PRESENT_ALT}, replies.present);
  if (name == "--erase-reply") return ParseCode(value, {RPL_ERASED, RPL_ERASE_ACK}, replies.erased);
  if (name == "--ack") {
    return ParseCode(value, {RPL_BLOCK_ACK_AA, RPL_BLOCK_ACK_AE}, replies.blockAck);
  }
  if (name == "--block-size") return ParseInt(value, 0, 65535, replies.reportedBlockSize);
  if (name == "--silent-after") return ParseInt(value, 1, 1 << 30, faults.silentAfterFrame);
  if (name == "--block-fault") return ParseBlockFault(value, faults);
  if (name == "--garbage-at") return ParseInt(value, 1, 1 << 30, faults.garbageAtFrame);
  return ParseInt(value, 1, 1 << 30, faults.hangUpAtFrame);  // --hang-up-at
}

// Takes an option without a value; false when name is none.
bool TakeFlag(const std::string& name, SimOptions& options) {
  if (name == "--silent") {
    options.faults.silent = true;
  } else if (name == "--wrong-model") {
    options.faults.wrongModel = true;
  } else if (name == "--quiet") {
    options.logToStderr = false;
  } else if (name == "--exit-after-download") {
    options.exitAfter = 1;
  } else {
    return false;
  }
  return true;
}

}  // namespace

const char* SimUsage() {
  return "usage: vqled-sim --model VQ-Mnn [options]\n"
         "A virtual LED controller: prints the serial device to open, then serves it.\n"
         "  --model VQ-Mnn        the controller model (VQ-M00 .. VQ-M28)\n"
         "  --tty PATH            serve this tty instead of a new pseudo-terminal\n"
         "  --baud N              pace the line at N baud (10 bits a byte)\n"
         "  --reply-delay MS      wait MS before every reply\n"
         "  --save-dir DIR        write each stored image to DIR/area-NN.bin (settings.bin)\n"
         "  --log FILE            append the frame log to FILE instead of stderr\n"
         "  --quiet               no frame log on stderr\n"
         "  --exit-after N        exit once N transactions have ended\n"
         "  --exit-after-download exit once one transaction has ended\n"
         "  --idle-exit MS        exit after MS without a byte from the host\n"
         "  --present 8F|7F       reply to a probe (VQ-M28 always answers 7E)\n"
         "  --erase-reply 3C|9E   reply to an erase\n"
         "  --ack AA|AE           reply to a block\n"
         "  --block-size N        block size reported in the 7E reply\n"
         "faults (what a misbehaving controller does; combine them as needed):\n"
         "  --silent              answer nothing: the host gives up after its probes\n"
         "  --silent-after N      answer the first N frames, then nothing, as a controller\n"
         "                        that stops in the middle of a download\n"
         "  --block-fault K:CODE  answer block K (from 0 in each image) once with FE\n"
         "                        (receive error), FF (send error) or 55 (return error)\n"
         "                        and drop it\n"
         "  --wrong-model         answer download probes with 7E whatever the model, as a\n"
         "                        VQ-M28 controller on the line\n"
         "  --garbage-at N        answer frame N (from 1) with bytes that are no reply code\n"
         "  --hang-up-at N        close the line when frame N comes: the host sees its port\n"
         "                        vanish, as when an adapter is pulled out\n"
         "Frames are counted from the first the host sends; --reply-delay makes a slow\n"
         "controller.\n";
}

Outcome ParseSimOptions(int argc, char** argv, SimOptions& options, bool& showHelp) {
  showHelp = false;
  options.logToStderr = true;
  options.profile.modelIndex = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      showHelp = true;
      return Outcome::Ok();
    }
    if (TakeFlag(name, options)) continue;
    if (!TakesValue(name)) return Bad("未知选项 " + name, "unknown option " + name);
    const char* value = ++i < argc ? argv[i] : nullptr;
    if (value == nullptr || !TakeOption(name, value, options)) {
      const std::string shown = value == nullptr ? "(missing)" : value;
      return Bad("选项 " + name + " 的值无效: " + shown, "bad value for " + name + ": " + shown);
    }
  }
  if (options.profile.modelIndex < 0) {
    return Bad("缺少 --model VQ-Mnn", "missing --model VQ-Mnn");
  }
  if (!options.logPath.empty()) options.logToStderr = false;
  return Outcome::Ok();
}

}  // namespace vqled
