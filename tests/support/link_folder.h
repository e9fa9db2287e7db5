// A folder like /dev/serial/by-id whose links lead to pseudo-terminals: a
// test plugs an adapter by making a link and pulls it by removing the link
// (or by closing the pseudo-terminal behind it).
#pragma once

#include <filesystem>
#include <string>

#include "scratch_dir.h"
#include "serial_pty.h"

namespace vqled::test {

class LinkFolder {
 public:
  explicit LinkFolder(std::string_view tag = "links") : scratch_(tag) {}

  // The folder; it exists only once Make or Plug made it.
  std::string Folder() const { return scratch_.File("by-id"); }
  std::string Link(const std::string& name) const { return Folder() + "/" + name; }
  void Make() const { std::filesystem::create_directories(Folder()); }
  void Plug(const std::string& name, const std::string& device) const {
    Make();
    std::filesystem::create_symlink(device, Link(name));
  }
  void Plug(const std::string& name, const Pty& pty) const { Plug(name, pty.SlavePath()); }
  void Unplug(const std::string& name) const { std::filesystem::remove(Link(name)); }

 private:
  ScratchDir scratch_;
};

}  // namespace vqled::test
