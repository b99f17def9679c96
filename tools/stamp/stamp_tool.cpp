#include "tools/stamp/stamp_tool.hpp"

#include <string>
#include <vector>

#include "tools/stamp/command_line.hpp"
#include "tools/stamp/id_list.hpp"
#include "tools/stamp/installer.hpp"

namespace lumen::stamp {
namespace {

namespace fs = std::filesystem;

// Reports a refusal, one "stamp: " line per line of the message.
int refuse(std::ostream& err, std::string_view context, std::string_view message) {
  while (!message.empty()) {
    const std::size_t end = std::min(message.find('\n'), message.size());
    err << "stamp: " << context << message.substr(0, end) << '\n';
    message.remove_prefix(std::min(end + 1, message.size()));
  }
  return kExitRefused;
}

[[nodiscard]] std::string about(const fs::path& file) { return file.string() + ": "; }

// The installer at path, checked to be a PE32 image with at most a stamp after it.
struct LoadedInstaller {
  Installer installer;
  fs::perms permissions;
};

[[nodiscard]] Result<LoadedInstaller> load_installer(StampFiles& files, const fs::path& path) {
  Result<FileContent> content = files.read(path);
  if (!content.ok()) return Error{content.error()};
  const fs::perms permissions = content.value().permissions;
  Result<Installer> installer = Installer::from_file_content(std::move(content).value().bytes);
  if (!installer.ok()) return Error{about(path) + installer.error()};
  return LoadedInstaller{.installer = std::move(installer).value(), .permissions = permissions};
}

// Writes one stamped copy and says what it replaced.
[[nodiscard]] bool write_stamped(StampFiles& files, const LoadedInstaller& loaded, const Stamp& stamp,
                                 const fs::path& output, std::ostream& out, std::ostream& err) {
  const Installer& installer = loaded.installer;
  const Status written = files.replace(output, installer.stamped_with(stamp), loaded.permissions);
  if (!written.ok()) {
    refuse(err, "", written.error());
    return false;
  }
  out << output.string() << ": stamped " << stamp.digits();
  if (installer.stamp() && installer.stamp() != stamp) out << " (was " << installer.stamp()->digits() << ")";
  out << '\n';
  return true;
}

int show(const ShowStamp& command, StampFiles& files, std::ostream& out, std::ostream& err) {
  const Result<LoadedInstaller> loaded = load_installer(files, command.installer);
  if (!loaded.ok()) return refuse(err, "", loaded.error());
  const std::optional<Stamp>& stamp = loaded.value().installer.stamp();
  if (!stamp) return refuse(err, about(command.installer), "not stamped");
  out << stamp->digits() << '\n';
  return kExitDone;
}

int stamp_one(const StampOne& command, StampFiles& files, std::ostream& out, std::ostream& err) {
  const Result<Stamp> stamp = Stamp::from_agent_id(command.agent_id);
  if (!stamp.ok()) return refuse(err, "", stamp.error());
  if (!command.in_place && files.same_file(command.installer, command.output)) {
    return refuse(err, about(command.output), "this is the input installer; add --in-place to stamp it itself");
  }
  const Result<LoadedInstaller> loaded = load_installer(files, command.installer);
  if (!loaded.ok()) return refuse(err, "", loaded.error());
  return write_stamped(files, loaded.value(), stamp.value(), command.output, out, err)
             ? kExitDone
             : kExitRefused;
}

// OUTDIR/NAME-ID.EXT for the installer NAME.EXT. A NAME that ends in the
// installer's own stamp ("installer-00000038") loses it, so that no copy's
// name shows an id other than the one it carries.
[[nodiscard]] fs::path batch_output(const StampBatch& command, const Installer& installer, const Stamp& stamp) {
  const fs::path name = command.installer.filename();
  std::string base = name.stem().string();
  if (installer.stamp()) {
    std::string own_suffix(1, '-');
    own_suffix += installer.stamp()->digits();
    if (base.size() > own_suffix.size() && base.ends_with(own_suffix)) base.resize(base.size() - own_suffix.size());
  }
  base += '-';
  base += stamp.digits();
  base += name.extension().string();
  return command.output_folder / base;
}

int stamp_batch(const StampBatch& command, StampFiles& files, std::ostream& out, std::ostream& err) {
  // Everything is checked before the first file is written.
  const Result<FileContent> list = files.read(command.id_list);
  if (!list.ok()) return refuse(err, "", list.error());
  const Result<std::vector<Stamp>> ids = parse_id_list(
      std::string_view(reinterpret_cast<const char*>(list.value().bytes.data()), list.value().bytes.size()));
  if (!ids.ok()) return refuse(err, about(command.id_list), ids.error());
  const Result<LoadedInstaller> loaded = load_installer(files, command.installer);
  if (!loaded.ok()) return refuse(err, "", loaded.error());
  const Installer& installer = loaded.value().installer;
  for (const Stamp& id : ids.value()) {
    const fs::path output = batch_output(command, installer, id);
    if (files.same_file(command.installer, output)) {
      return refuse(err, about(output), "this is the input installer; the batch would overwrite it");
    }
  }

  const Status folder = files.make_folder(command.output_folder);
  if (!folder.ok()) return refuse(err, "", folder.error());
  std::size_t written = 0;
  for (const Stamp& id : ids.value()) {
    if (!write_stamped(files, loaded.value(), id, batch_output(command, installer, id), out, err)) {
      return refuse(err, "", "batch stopped after " + std::to_string(written) + " of " +
                                 std::to_string(ids.value().size()) + " stamped copies");
    }
    ++written;
  }
  return kExitDone;
}

}  // namespace

int run_stamp_tool(std::span<const std::string_view> args, StampFiles& files, std::ostream& out, std::ostream& err) {
  const Result<Command> command = parse_command_line(args);
  if (!command.ok()) {
    err << "stamp: " << command.error() << '\n' << kUsage;
    return kExitUsage;
  }
  return std::visit(
      [&](const auto& c) -> int {
        using Kind = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<Kind, ShowHelp>) {
          out << kUsage;
          return kExitDone;
        } else if constexpr (std::is_same_v<Kind, ShowStamp>) {
          return show(c, files, out, err);
        } else if constexpr (std::is_same_v<Kind, StampOne>) {
          return stamp_one(c, files, out, err);
        } else {
          return stamp_batch(c, files, out, err);
        }
      },
      command.value());
}

}  // namespace lumen::stamp
