// The error texts of the serial port layer: the COMM_ASSERT text with the
// platform's error code and message, and the messages for the user that say
// in both variants why a port cannot be used.
#pragma once

#include <cstdint>
#include <string>

#include "link/link_port.h"
#include "model/text.h"

namespace vqled {

// The COMM_ASSERT text, at most 255 bytes: assertText as given ("COMM_ASSERT(
// ...) failed; SerialComm(n); "), then, when err is not 0, "Code:%d; " with
// err and strerror(err) written over its final blank.
std::string CommAssertText(const char* assertText, int err);

// Raises a CommError with the COMM_ASSERT text and the user message.
[[noreturn]] void RaiseComm(const char* assertText, int err, Text userMessage = {});

// Why device could not be opened, for errno err: no permission (naming the
// device's group and how to join it), held by another program, missing, not
// a serial port, or the platform's reason.
Text PortOpenMessage(const std::string& device, int err);

// The device went away while it was in use (unplugged, hung up).
Text PortVanishedMessage(const std::string& device);

// The port of a "COMn" text or an Open call lies outside 1 to 1024; port is
// named as the user gave it ("COM99999").
Text PortRangeMessage(const std::string& port);

// The device has not taken the bytes written to it within the write time-out.
Text PortStalledMessage(const std::string& device);

}  // namespace vqled
