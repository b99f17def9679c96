#include "tools/stamp/command_line.hpp"

#include <optional>
#include <vector>

namespace lumen::stamp {
namespace {

struct Arguments {
  std::vector<std::string_view> positional;
  std::optional<std::string_view> output;
  std::optional<std::string_view> batch;
  bool show = false;
  bool in_place = false;
  bool help = false;
};

[[nodiscard]] Error repeated(std::string_view option) { return Error{std::string(option) + " is given twice"}; }

// The value after an option, taken once.
[[nodiscard]] Status take_value(std::optional<std::string_view>& slot, std::string_view option,
                                std::span<const std::string_view> args, std::size_t& i) {
  if (slot) return repeated(option);
  if (i + 1 >= args.size()) return Error{std::string(option) + " needs a value"};
  slot = args[++i];
  return Done{};
}

[[nodiscard]] Status take_flag(bool& flag, std::string_view option) {
  if (flag) return repeated(option);
  flag = true;
  return Done{};
}

[[nodiscard]] Result<Arguments> split_arguments(std::span<const std::string_view> args) {
  Arguments parsed;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    Status taken = Done{};
    if (options_ended || arg.size() < 2 || !arg.starts_with('-')) {
      parsed.positional.push_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg == "-o" || arg == "--output") {
      taken = take_value(parsed.output, arg, args, i);
    } else if (arg == "--batch") {
      taken = take_value(parsed.batch, arg, args, i);
    } else if (arg == "--show") {
      taken = take_flag(parsed.show, arg);
    } else if (arg == "--in-place") {
      taken = take_flag(parsed.in_place, arg);
    } else if (arg == "-h" || arg == "--help") {
      parsed.help = true;
    } else {
      return Error{"unknown option " + std::string(arg)};
    }
    if (!taken.ok()) return Error{taken.error()};
  }
  return parsed;
}

[[nodiscard]] Result<Command> show_command(const Arguments& a) {
  if (a.output || a.batch || a.in_place) return Error{"--show takes no other option"};
  if (a.positional.size() != 1) return Error{"--show takes one INSTALLER"};
  return Command{ShowStamp{.installer = a.positional[0]}};
}

[[nodiscard]] Result<Command> batch_command(const Arguments& a) {
  if (a.in_place) return Error{"--in-place does not go with --batch"};
  if (!a.output) return Error{"--batch needs -o DIR for the stamped copies"};
  if (a.positional.size() != 1) return Error{"--batch takes one INSTALLER (the ids come from the list)"};
  return Command{StampBatch{.installer = a.positional[0], .id_list = *a.batch, .output_folder = *a.output}};
}

[[nodiscard]] Result<Command> stamp_command(const Arguments& a) {
  if (a.positional.size() != 2) return Error{"expected INSTALLER and AGENT_ID"};
  if (a.output && a.in_place) return Error{"give either -o OUT or --in-place, not both"};
  if (!a.output && !a.in_place) return Error{"missing -o OUT (or --in-place to stamp INSTALLER itself)"};
  const std::filesystem::path installer = a.positional[0];
  return Command{StampOne{.installer = installer,
                          .agent_id = std::string(a.positional[1]),
                          .output = a.output ? std::filesystem::path(*a.output) : installer,
                          .in_place = a.in_place}};
}

}  // namespace

Result<Command> parse_command_line(std::span<const std::string_view> args) {
  Result<Arguments> split = split_arguments(args);
  if (!split.ok()) return Error{split.error()};
  const Arguments& a = split.value();
  if (a.help) return Command{ShowHelp{}};
  if (a.show) return show_command(a);
  if (a.batch) return batch_command(a);
  return stamp_command(a);
}

}  // namespace lumen::stamp
