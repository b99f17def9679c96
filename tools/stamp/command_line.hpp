#pragma once
// What the distributor asked for on the command line.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "tools/stamp/result.hpp"

namespace lumen::stamp {

inline constexpr std::string_view kUsage =
    "usage: stamp INSTALLER AGENT_ID -o OUT      write a copy of INSTALLER stamped with AGENT_ID\n"
    "       stamp INSTALLER AGENT_ID --in-place  stamp INSTALLER itself\n"
    "       stamp --show INSTALLER               print the stamp INSTALLER carries\n"
    "       stamp INSTALLER --batch IDS -o DIR   write DIR/NAME-ID.EXT for every id listed in IDS\n"
    "\n"
    "AGENT_ID is exactly 8 ASCII digits, for example 00000038. A stamp already\n"
    "there is replaced, never doubled. A signed INSTALLER gets the id inside its\n"
    "signature, which still verifies. IDS holds one id per line; blank lines and\n"
    "lines starting with # are skipped; the batch writes nothing unless every\n"
    "line is good. Exit status: 0 done, 1 refused or failed, 2 bad command line.\n";

struct ShowHelp {};

struct ShowStamp {
  std::filesystem::path installer;
};

struct StampOne {
  std::filesystem::path installer;
  std::string agent_id;
  // The installer itself when stamping in place.
  std::filesystem::path output;
  bool in_place = false;
};

struct StampBatch {
  std::filesystem::path installer;
  std::filesystem::path id_list;
  std::filesystem::path output_folder;
};

using Command = std::variant<ShowHelp, ShowStamp, StampOne, StampBatch>;

// The arguments after the program name.
[[nodiscard]] Result<Command> parse_command_line(std::span<const std::string_view> args);

}  // namespace lumen::stamp
