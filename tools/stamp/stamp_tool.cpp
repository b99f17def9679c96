#include "tools/stamp/stamp_tool.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tools/stamp/command_line.hpp"
#include "tools/stamp/id_list.hpp"
#include "tools/stamp/installer.hpp"

namespace lumen::stamp {
namespace {

namespace fs = std::filesystem;

// Calls f with each line of text.
template <typename F>
void for_each_line(std::string_view text, F f) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    f(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

// The message with every line saying which file it is about.
[[nodiscard]] Error about(const fs::path& file, std::string_view message) {
  std::string lines;
  for_each_line(message, [&](std::string_view line) {
    if (!lines.empty()) lines += '\n';
    lines.append(file.string()).append(": ").append(line);
  });
  return Error{lines};
}

int refuse(std::ostream& err, std::string_view message) {
  for_each_line(message, [&](std::string_view line) { err << "stamp: " << line << '\n'; });
  return kExitRefused;
}

// An installer read and checked to be a PE32 image with at most a stamp after it.
struct Source {
  Installer installer;
  fs::perms permissions;
};

[[nodiscard]] Result<Source> load_source(StampFiles& files, const fs::path& path) {
  Result<FileContent> content = files.read(path);
  if (!content.ok()) return Error{content.error()};
  const fs::perms permissions = content.value().permissions;
  Result<Installer> installer = Installer::from_file_content(std::move(content).value().bytes);
  if (!installer.ok()) return about(path, installer.error());
  return Source{.installer = std::move(installer).value(), .permissions = permissions};
}

// An installer read for stamping: a signed one must still be the one its
// signature signed, or its copies would not verify.
[[nodiscard]] Result<Source> load_source_to_stamp(StampFiles& files, const fs::path& path) {
  Result<Source> source = load_source(files, path);
  if (!source.ok()) return source;
  const Status checked = source.value().installer.check_signature();
  if (!checked.ok()) return about(path, checked.error());
  return source;
}

[[nodiscard]] std::string_view place_name(StampPlace place) noexcept {
  return place == StampPlace::InSignature ? "inside the signature" : "after the image";
}

// Writes one stamped copy and says where the stamp went and what it replaced.
[[nodiscard]] Status write_copy(StampFiles& files, const Source& source, const Stamp& stamp, const fs::path& output,
                                std::ostream& out) {
  const Installer& installer = source.installer;
  const Status written = files.replace(output, installer.stamped_with(stamp), source.permissions);
  if (!written.ok()) return written;
  out << output.string() << ": stamped " << stamp.digits() << ' ' << place_name(installer.stamp_place());
  if (installer.stamp() && installer.stamp() != stamp) out << " (was " << installer.stamp()->digits() << ")";
  out << '\n';
  return Done{};
}

int show(const ShowStamp& command, StampFiles& files, std::ostream& out, std::ostream& err) {
  const Result<Source> source = load_source(files, command.installer);
  if (!source.ok()) return refuse(err, source.error());
  const std::optional<Stamp>& stamp = source.value().installer.stamp();
  if (!stamp) return refuse(err, about(command.installer, "not stamped").message);
  out << stamp->digits() << '\n';
  return kExitDone;
}

int stamp_one(const StampOne& command, StampFiles& files, std::ostream& out, std::ostream& err) {
  const Result<Stamp> stamp = Stamp::from_agent_id(command.agent_id);
  if (!stamp.ok()) return refuse(err, stamp.error());
  if (!command.in_place && files.same_file(command.installer, command.output)) {
    return refuse(err, about(command.output, "this is the input installer; add --in-place to stamp it itself").message);
  }
  const Result<Source> source = load_source_to_stamp(files, command.installer);
  if (!source.ok()) return refuse(err, source.error());
  const Status written = write_copy(files, source.value(), stamp.value(), command.output, out);
  return written.ok() ? kExitDone : refuse(err, written.error());
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

struct BatchCopy {
  Stamp stamp;
  fs::path output;
};

struct BatchPlan {
  Source source;
  std::vector<BatchCopy> copies;
};

// Everything a batch will write, checked before the first file is written.
[[nodiscard]] Result<BatchPlan> plan_batch(const StampBatch& command, StampFiles& files) {
  const Result<FileContent> list = files.read(command.id_list);
  if (!list.ok()) return Error{list.error()};
  const ByteBuffer& bytes = list.value().bytes;
  Result<std::vector<Stamp>> ids =
      parse_id_list(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (!ids.ok()) return about(command.id_list, ids.error());
  Result<Source> source = load_source_to_stamp(files, command.installer);
  if (!source.ok()) return Error{source.error()};

  BatchPlan plan{.source = std::move(source).value(), .copies = {}};
  for (const Stamp& id : ids.value()) {
    fs::path output = batch_output(command, plan.source.installer, id);
    if (files.same_file(command.installer, output)) {
      return about(output, "this is the input installer; the batch would overwrite it");
    }
    plan.copies.push_back({.stamp = id, .output = std::move(output)});
  }
  return plan;
}

int stamp_batch(const StampBatch& command, StampFiles& files, std::ostream& out, std::ostream& err) {
  const Result<BatchPlan> plan = plan_batch(command, files);
  if (!plan.ok()) return refuse(err, plan.error());
  const Status folder = files.make_folder(command.output_folder);
  if (!folder.ok()) return refuse(err, folder.error());

  const std::vector<BatchCopy>& copies = plan.value().copies;
  for (std::size_t written = 0; written < copies.size(); ++written) {
    const Status copied = write_copy(files, plan.value().source, copies[written].stamp, copies[written].output, out);
    if (!copied.ok()) {
      return refuse(err, copied.error() + "\nbatch stopped after " + std::to_string(written) + " of " +
                             std::to_string(copies.size()) + " stamped copies");
    }
  }
  return kExitDone;
}

template <typename... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};

}  // namespace

int run_stamp_tool(std::span<const std::string_view> args, StampFiles& files, std::ostream& out, std::ostream& err) {
  const Result<Command> command = parse_command_line(args);
  if (!command.ok()) {
    err << "stamp: " << command.error() << '\n' << kUsage;
    return kExitUsage;
  }
  return std::visit(Overloaded{[&](const ShowHelp&) {
                                 out << kUsage;
                                 return kExitDone;
                               },
                               [&](const ShowStamp& c) { return show(c, files, out, err); },
                               [&](const StampOne& c) { return stamp_one(c, files, out, err); },
                               [&](const StampBatch& c) { return stamp_batch(c, files, out, err); }},
                    command.value());
}

}  // namespace lumen::stamp
