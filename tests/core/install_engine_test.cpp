// The install as the engine runs it, with the disk, the download server and
// the desktop played in memory.

#include "core/installer/install_engine.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <set>
#include <thread>
#include <vector>

#include "tests/support/memory_file_system.hpp"
#include "tests/support/scripted_web.hpp"
#include "tests/support/sha256.hpp"

namespace lumen::install {
namespace {

using test::MemoryFileSystem;
using test::ScriptedRequest;
using test::ScriptedResponse;
using test::ScriptedWeb;

constexpr std::string_view kAddress = "http://downloads.example/StarlitPad.exe";

struct MadeShortcut {
  std::string app_name;
  std::string program_path;
  std::string icon_path;
  bool icon_there = false;  // logo.ico existed when the link was made
};

class RecordingShortcuts final : public ShortcutMaker {
 public:
  explicit RecordingShortcuts(MemoryFileSystem& files) : files_(files) {}
  void MakeAppShortcut(std::string_view app_name, std::string_view program_path,
                       std::string_view icon_path) override {
    made.push_back({std::string(app_name), std::string(program_path), std::string(icon_path), files_.has(icon_path)});
  }
  std::vector<MadeShortcut> made;

 private:
  MemoryFileSystem& files_;
};

AppInfoRecord app_with_current_version(std::string_view address) {
  AppInfoRecord app;
  app.name = "StarlitPad";
  app.agent_app.app_name = "星光记事本";
  DownVersionInfo& version = app.down_model[0].value[0];
  version.is_now = 1;
  version.version = "1.2.0";
  version.address = address;
  return app;
}

AppInfoRecord app_publishing(std::string_view sha256, std::optional<double> size) {
  AppInfoRecord app = app_with_current_version(kAddress);
  app.down_model[0].value[0].sha256 = sha256;
  app.down_model[0].value[0].size = size;
  return app;
}

const InstallJob kJob{
    .folder = "C:\\StarlitPad\\",
    .program_path = "C:\\StarlitPad\\StarlitPad.exe",
    .shortcut_name = "星光记事本",
    .oem_marker = "2020202020202328E3150706F",
    .icon = {0, 0, 1, 0},
};

class Engine : public testing::Test {
 protected:
  void SetUp() override { files.add_folder("C:\\StarlitPad"); }

  InstallResult install(ScriptedWeb& web, const AppInfoRecord& app) {
    InstallEngine engine({files, web, shortcuts, clock, digests, "C:\\Setup"}, *control);
    return engine.Install(kJob, app, [&](const DownloadCount& count) {
      reports.push_back(count);
      if (cancel_after && count.downloaded >= *cancel_after) control->Stop();
    });
  }
  ManualOutcome install_from(std::string_view file) {
    ScriptedWeb no_web([](const ScriptedRequest&) { return std::optional<ScriptedResponse>(); });
    InstallEngine engine({files, no_web, shortcuts, clock, digests, "C:\\Setup"}, *control);
    return engine.InstallFromFile(file, kJob);
  }
  // Nothing but what an interrupted download leaves.
  void expect_nothing_installed() {
    for (const char* name : {"StarlitPad.exe", "OEM.key", "logo.ico"}) {
      EXPECT_FALSE(files.has(std::string("C:\\StarlitPad\\") + name)) << name;
    }
    EXPECT_TRUE(shortcuts.made.empty());
  }

  const ByteBuffer program = ByteBuffer(70000, 0x5A);
  MemoryFileSystem files;
  RecordingShortcuts shortcuts{files};
  SteadyClock clock;
  test::Sha256Maker digests;
  // A new one for each run of the installer: a stopped job stays stopped.
  std::unique_ptr<JobControl> control = std::make_unique<JobControl>();
  std::optional<std::int64_t> cancel_after;
  std::vector<DownloadCount> reports;
};

TEST_F(Engine, InstallsTheProgramItsShortcutMarkerAndIcon) {
  ScriptedWeb web = ScriptedWeb::serving(program);
  EXPECT_EQ(install(web, app_with_current_version(kAddress)), InstallResult{Outcome::Done});

  EXPECT_EQ(files.content("C:\\StarlitPad\\StarlitPad.exe"), program);
  EXPECT_FALSE(files.has("C:\\StarlitPad\\StarlitPad.exe.tmp"));
  EXPECT_EQ(to_text(files.content("C:\\StarlitPad\\OEM.key")), kJob.oem_marker);
  EXPECT_EQ(files.content("C:\\StarlitPad\\logo.ico"), kJob.icon);
  ASSERT_EQ(shortcuts.made.size(), 1u);
  EXPECT_EQ(shortcuts.made[0].app_name, "星光记事本");
  EXPECT_EQ(shortcuts.made[0].program_path, kJob.program_path);
  EXPECT_EQ(shortcuts.made[0].icon_path, "C:\\StarlitPad\\logo.ico");
  EXPECT_FALSE(shortcuts.made[0].icon_there) << "the shortcut comes before the files";

  ASSERT_EQ(web.requests.size(), 1u);
  EXPECT_EQ(web.requests[0].url, kAddress);
  ASSERT_EQ(reports.size(), 3u) << "a report per read: 20480 bytes, 40960, the rest";
  EXPECT_EQ(reports.back().downloaded, 70000);
  EXPECT_EQ(reports.back().total, 70000);
}

// The platform sends a space escaped: an address holding one is asked as it
// stands.
TEST_F(Engine, AnAddressWithASpaceIsFetchedAsItStands) {
  const Text address = "http://downloads.example/files/My App.exe";
  ScriptedWeb web = ScriptedWeb::serving(program);
  EXPECT_EQ(install(web, app_with_current_version(address)), InstallResult{Outcome::Done});
  ASSERT_EQ(web.requests.size(), 1u);
  EXPECT_EQ(web.requests[0].url, address);
}

TEST_F(Engine, WithoutAnAddressNothingIsFetched) {
  AppInfoRecord none_current = app_with_current_version(kAddress);
  none_current.down_model[0].value[0].is_now = 0;
  AppInfoRecord no_models = app_with_current_version(kAddress);
  no_models.down_model.clear();
  struct Case { const char* name; AppInfoRecord app; };
  const Case cases[] = {
      {"no current version", none_current},
      {"no download model", no_models},
      {"a current version without an address", app_with_current_version("")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedWeb web = ScriptedWeb::serving(program);
    EXPECT_EQ(install(web, c.app), InstallResult{Outcome::NoDownloadAddress});
    EXPECT_TRUE(web.requests.empty());
    expect_nothing_installed();
  }
}

// An address no request may be made with is a download that cannot start,
// not a missing one: the service named a file, the installer will not ask
// for it.
TEST_F(Engine, AnAddressThatWouldCarryItsOwnHeaderLinesIsNeverRequested) {
  for (const char* address : {"http://downloads.example/a\r\nX-Injected: 1", "http://downloads.example/a\x7f.exe",
                              "http://downloads.example/a\tb.exe"}) {
    SCOPED_TRACE(testing::PrintToString(address));
    ScriptedWeb web = ScriptedWeb::serving(program);
    EXPECT_EQ(install(web, app_with_current_version(address)),
              (InstallResult{Outcome::DownloadFailed, DownloadFailure::Connect}));
    EXPECT_TRUE(web.requests.empty());
    expect_nothing_installed();
  }
}

TEST_F(Engine, AFailedDownloadSaysWhyAndInstallsNothing) {
  struct Case {
    const char* name;
    ScriptedWeb::Answer answer;
    std::optional<std::int64_t> space;
    bool moves_fail = false;
    DownloadFailure reason;
  };
  const auto file_cut_at = [&](std::size_t at) {
    return [&, at](const ScriptedRequest& r) {
      ScriptedResponse response = test::serve_file(program, r.headers);
      response.cut_after = at;
      return std::optional(response);
    };
  };
  const Case cases[] = {
      {"no connection", [](const ScriptedRequest&) { return std::optional<ScriptedResponse>(); }, {}, false,
       DownloadFailure::Connect},
      {"server error", [](const ScriptedRequest&) { return std::optional(ScriptedResponse{.status = 500}); }, {},
       false, DownloadFailure::Status},
      {"connection cut", file_cut_at(30000), {}, false, DownloadFailure::Cut},
      {"disk full", [&](const ScriptedRequest& r) { return std::optional(test::serve_file(program, r.headers)); },
       50000, false, DownloadFailure::Write},
      {"the move fails", [&](const ScriptedRequest& r) { return std::optional(test::serve_file(program, r.headers)); },
       {}, true, DownloadFailure::Move},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\StarlitPad");
    disk.space_left = c.space;
    disk.moves_fail = c.moves_fail;
    RecordingShortcuts made(disk);
    ScriptedWeb web(c.answer);
    InstallEngine engine({disk, web, made, clock, digests, "C:\\Setup"}, *control);
    EXPECT_EQ(engine.Install(kJob, app_with_current_version(kAddress), nullptr),
              (InstallResult{Outcome::DownloadFailed, c.reason}));
    EXPECT_FALSE(disk.has("C:\\StarlitPad\\StarlitPad.exe"));
    EXPECT_FALSE(disk.has("C:\\StarlitPad\\OEM.key"));
    EXPECT_FALSE(disk.has("C:\\StarlitPad\\logo.ico"));
    EXPECT_TRUE(made.made.empty());
  }
}

TEST_F(Engine, AQuitDuringTheDownloadKeepsTheTemporaryFileAndStops) {
  cancel_after = 20000;
  ScriptedWeb web = ScriptedWeb::serving(program);
  // The published checksum vouches for continuing the part.
  AppInfoRecord app = app_with_current_version(kAddress);
  app.down_model[0].value[0].sha256 = test::sha256_hex(program);
  EXPECT_EQ(install(web, app), InstallResult{Outcome::Cancelled});
  EXPECT_EQ(files.content("C:\\StarlitPad\\StarlitPad.exe.tmp").size(), 20480u);
  expect_nothing_installed();

  // The next run resumes from there.
  control = std::make_unique<JobControl>();
  cancel_after.reset();
  EXPECT_EQ(install(web, app), InstallResult{Outcome::Done});
  EXPECT_TRUE(web.requests.back().headers.ends_with("\r\nRange:bytes=20480-"));
  EXPECT_EQ(files.content("C:\\StarlitPad\\StarlitPad.exe"), program);
}

// The window's quit question holds the job; OK stops it. A stop reaches a
// read that waits on a stalled server, and one that comes once the program
// is in place lets the installation finish instead of leaving half of it.
TEST_F(Engine, AStopEndsAReadThatWaitsOnAStalledServerAndKeepsWhatArrived) {
  ScriptedWeb web([&](const ScriptedRequest& r) {
    ScriptedResponse response = test::serve_file(program, r.headers);
    response.stall_after = 30000;
    return std::optional(response);
  });
  auto installing = std::async(std::launch::async, [&] { return install(web, app_with_current_version(kAddress)); });
  web.reads->wait_until_stalled();
  control->Stop();
  EXPECT_EQ(installing.get(), InstallResult{Outcome::Cancelled});
  EXPECT_EQ(files.content("C:\\StarlitPad\\StarlitPad.exe.tmp"), ByteBuffer(program.begin(), program.begin() + 30000));
  EXPECT_TRUE(files.has("C:\\StarlitPad\\StarlitPad.exe.tmp.source")) << "the record stays for the next run";
  expect_nothing_installed();
}

// Stops the job when the installer reaches its shortcut: the program is in
// place by then.
class StoppingShortcuts final : public ShortcutMaker {
 public:
  explicit StoppingShortcuts(JobControl& control) : control_(control) {}
  void MakeAppShortcut(std::string_view, std::string_view, std::string_view) override {
    control_.Stop();
    ++made;
  }
  int made = 0;

 private:
  JobControl& control_;
};

TEST_F(Engine, AStopOnceTheProgramIsInPlaceStillWritesItsFiles) {
  StoppingShortcuts stopping(*control);
  ScriptedWeb web = ScriptedWeb::serving(program);
  InstallEngine engine({files, web, stopping, clock, digests, "C:\\Setup"}, *control);
  EXPECT_EQ(engine.Install(kJob, app_with_current_version(kAddress), nullptr), InstallResult{Outcome::Done});
  EXPECT_EQ(stopping.made, 1);
  EXPECT_EQ(files.content(kJob.program_path), program);
  EXPECT_EQ(to_text(files.content("C:\\StarlitPad\\OEM.key")), kJob.oem_marker);
  EXPECT_EQ(files.content("C:\\StarlitPad\\logo.ico"), kJob.icon);
}

// While the question is open nothing is read, placed, written or linked;
// the answer decides what follows.
TEST_F(Engine, AHeldJobReadsAndPlacesNothingUntilTheQuestionIsAnswered) {
  struct Case { const char* name; std::int64_t held_at; bool quit; };
  const Case cases[] = {
      {"held mid-download, then Cancel", 20480, false},
      {"held mid-download, then OK", 20480, true},
      {"held after the last block, then Cancel", 70000, false},
      {"held after the last block, then OK", 70000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\StarlitPad");
    RecordingShortcuts made(disk);
    ScriptedWeb web = ScriptedWeb::serving(program);
    JobControl job;
    InstallEngine engine({disk, web, made, clock, digests, "C:\\Setup"}, job);
    std::promise<void> asked;
    auto installing = std::async(std::launch::async, [&] {
      return engine.Install(kJob, app_with_current_version(kAddress), [&](const DownloadCount& count) {
        if (count.downloaded != c.held_at) return;
        job.Hold();
        asked.set_value();
      });
    });
    asked.get_future().wait();
    const int reads = web.reads->reads();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(web.reads->reads(), reads) << "no read while the question is open";
    EXPECT_FALSE(disk.has(kJob.program_path)) << "nothing placed while the question is open";
    EXPECT_TRUE(made.made.empty());
    if (c.quit) {
      job.Stop();
    } else {
      job.Release();
    }
    const InstallResult result = installing.get();
    if (!c.quit) {
      EXPECT_EQ(result, InstallResult{Outcome::Done});
      EXPECT_EQ(disk.content(kJob.program_path), program);
      EXPECT_EQ(made.made.size(), 1u);
      continue;
    }
    EXPECT_EQ(result, InstallResult{Outcome::Cancelled});
    EXPECT_EQ(web.reads->reads(), reads) << "no read after OK";
    EXPECT_EQ(std::ssize(disk.content("C:\\StarlitPad\\StarlitPad.exe.tmp")), c.held_at) << "what arrived, kept";
    EXPECT_TRUE(disk.has("C:\\StarlitPad\\StarlitPad.exe.tmp.source"));
    EXPECT_FALSE(disk.has(kJob.program_path));
    EXPECT_FALSE(disk.has("C:\\StarlitPad\\OEM.key"));
    EXPECT_TRUE(made.made.empty());
  }
}

TEST_F(Engine, PreparesOnlyFoldersThatTakeTheInstall) {
  files.put("C:\\taken", to_buffer("a file, not a folder"));
  files.add_folder("C:\\locked");
  files.read_only_folders.insert("C:\\locked");
  struct Case { const char* folder; bool takes; };
  const Case cases[] = {
      {"C:\\Games\\StarlitPad\\", true},  // created, two levels deep
      {"C:\\StarlitPad\\", true},         // already there
      {"C:\\taken\\", false},
      {"C:\\taken\\StarlitPad\\", false},
      {"C:\\locked\\", false},
  };
  ScriptedWeb web = ScriptedWeb::serving(program);
  InstallEngine engine({files, web, shortcuts, clock, digests, "C:\\Setup"}, *control);
  for (const Case& c : cases) EXPECT_EQ(engine.PrepareFolder(c.folder), c.takes) << c.folder;
  EXPECT_TRUE(files.is_existing_folder("C:\\Games\\StarlitPad"));
  EXPECT_EQ(to_text(files.content("C:\\taken")), "a file, not a folder");
}

// A folder the install created is gone again when the install ends without
// the program and leaves it empty; one that holds a resumable temporary file,
// or that was there before, stays.
TEST_F(Engine, RemovesTheFoldersItCreatedWhenAFailedInstallLeavesThemEmpty) {
  const auto no_server = [](const ScriptedRequest&) { return std::optional<ScriptedResponse>(); };
  const auto cut_server = [&](const ScriptedRequest& r) {
    ScriptedResponse response = test::serve_file(program, r.headers);
    response.cut_after = 30000;
    return std::optional(response);
  };
  struct Case {
    const char* name;
    const char* folder;
    AppInfoRecord app;
    ScriptedWeb::Answer answer;
    std::vector<const char*> left;
    std::vector<const char*> gone;
  };
  const Case cases[] = {
      {"no address, two levels created", "C:\\Games\\StarlitPad\\", app_with_current_version(""), no_server, {},
       {"C:\\Games\\StarlitPad", "C:\\Games"}},
      {"no server, one level created", "C:\\Tools\\StarlitPad\\", app_with_current_version(kAddress), no_server,
       {"C:\\Tools"}, {"C:\\Tools\\StarlitPad"}},
      {"a cut download keeps its temporary file", "C:\\Games\\StarlitPad\\",
       app_with_current_version(kAddress), cut_server, {"C:\\Games\\StarlitPad", "C:\\Games"}, {}},
      {"a folder that was there", "C:\\StarlitPad\\", app_with_current_version(""), no_server, {"C:\\StarlitPad"}, {}},
      {"a malformed checksum", "C:\\Games\\StarlitPad\\", app_publishing("not a checksum", 0), no_server, {},
       {"C:\\Games\\StarlitPad", "C:\\Games"}},
      {"a refused address", "C:\\Games\\StarlitPad\\", app_with_current_version("http://a/\r\nX: 1"), no_server, {},
       {"C:\\Games\\StarlitPad", "C:\\Games"}},
      // A name whose last character's second byte is 0x5C: the folder
      // itself goes, not "C:\" and half of that character.
      {"a folder named with a character ending in 0x5C", "C:\\\x95\x5C\\", app_with_current_version(""), no_server,
       {}, {"C:\\\x95\x5C"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\StarlitPad");
    disk.add_folder("C:\\Tools");
    RecordingShortcuts made(disk);
    ScriptedWeb web(c.answer);
    InstallEngine engine({disk, web, made, clock, digests, "C:\\Setup"}, *control);
    ASSERT_TRUE(engine.PrepareFolder(c.folder));
    const InstallJob job{.folder = c.folder,
                         .program_path = std::string(c.folder) + "StarlitPad.exe",
                         .shortcut_name = kJob.shortcut_name,
                         .oem_marker = kJob.oem_marker,
                         .icon = kJob.icon};
    EXPECT_NE(engine.Install(job, c.app, nullptr).outcome, Outcome::Done);
    for (const char* folder : c.left) EXPECT_TRUE(disk.is_existing_folder(folder)) << folder;
    for (const char* folder : c.gone) EXPECT_FALSE(disk.is_existing_folder(folder)) << folder;
    EXPECT_FALSE(disk.has(job.program_path));
  }
}

TEST_F(Engine, ManualInstallAfterAFailedDownloadMakesTheFolderAgain) {
  files.put("D:\\Downloads\\by hand.exe", program);
  ScriptedWeb web = ScriptedWeb::serving(program);
  InstallEngine engine({files, web, shortcuts, clock, digests, "C:\\Setup"}, *control);
  const InstallJob job{.folder = "C:\\Games\\StarlitPad\\",
                       .program_path = "C:\\Games\\StarlitPad\\StarlitPad.exe",
                       .shortcut_name = kJob.shortcut_name,
                       .oem_marker = kJob.oem_marker,
                       .icon = kJob.icon};
  ASSERT_TRUE(engine.PrepareFolder(job.folder));
  EXPECT_EQ(engine.Install(job, app_with_current_version(""), nullptr).outcome, Outcome::NoDownloadAddress);
  ASSERT_FALSE(files.is_existing_folder("C:\\Games"));
  EXPECT_EQ(engine.InstallFromFile("D:\\Downloads\\by hand.exe", job), ManualOutcome::Done);
  EXPECT_EQ(files.content(job.program_path), program);
}

TEST_F(Engine, ManualInstallCopiesTheChosenFileUnderTheApplicationsName) {
  files.put("D:\\Downloads\\by hand.exe", program);
  files.put("D:\\Downloads\\empty.exe", {});
  struct Case { const char* name; std::string file; ManualOutcome outcome; };
  const Case cases[] = {
      {"no path", "", ManualOutcome::NoPath},
      {"no such file", "D:\\Downloads\\missing.exe", ManualOutcome::BadFile},
      {"an empty file", "D:\\Downloads\\empty.exe", ManualOutcome::BadFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(install_from(c.file), c.outcome);
    expect_nothing_installed();
  }

  EXPECT_EQ(install_from("D:\\Downloads\\by hand.exe"), ManualOutcome::Done);
  EXPECT_EQ(files.content("C:\\StarlitPad\\StarlitPad.exe"), program);
  EXPECT_EQ(to_text(files.content("C:\\StarlitPad\\OEM.key")), kJob.oem_marker);
  EXPECT_EQ(files.content("C:\\StarlitPad\\logo.ico"), kJob.icon);
  ASSERT_EQ(shortcuts.made.size(), 1u);
  EXPECT_TRUE(shortcuts.made[0].icon_there) << "the files come before the shortcut";
}

TEST_F(Engine, ManualInstallThatCannotWriteTheProgramIsNotComplete) {
  files.put("D:\\Downloads\\by hand.exe", program);
  files.space_left = 1000;
  EXPECT_EQ(install_from("D:\\Downloads\\by hand.exe"), ManualOutcome::CopyFailed);
  EXPECT_FALSE(files.has("C:\\StarlitPad\\OEM.key"));
  EXPECT_TRUE(shortcuts.made.empty());
}

// What the service publishes about the file decides whether it is
// installed; what cannot be checked is refused before anything is fetched.
TEST_F(Engine, InstallsOnlyAFileThatMatchesWhatTheServicePublished) {
  const std::string right = test::sha256_hex(program);
  struct Case {
    const char* name;
    std::string sha256;
    std::optional<double> size;
    Outcome outcome;
    std::size_t requests;
  };
  const Case cases[] = {
      {"nothing published", "", std::nullopt, Outcome::Done, 1},
      {"right checksum and size", right, 70000, Outcome::Done, 1},
      {"right size only", "", 70000, Outcome::Done, 1},
      {"wrong checksum", test::sha256_hex(to_buffer("another program")), 70000, Outcome::DownloadFailed, 1},
      {"wrong size", right, 69999, Outcome::DownloadFailed, 1},
      {"a checksum one digit short", right.substr(1), 0, Outcome::DownloadFailed, 0},
      {"a checksum that is not hexadecimal", "g" + right.substr(1), 0, Outcome::DownloadFailed, 0},
      {"a size that is no byte count is some other field", right, 35.2, Outcome::Done, 1},
      {"a wrong size without a checksum is some other field", "", 293, Outcome::Done, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\StarlitPad");
    RecordingShortcuts made(disk);
    ScriptedWeb web = ScriptedWeb::serving(program);
    InstallEngine engine({disk, web, made, clock, digests, "C:\\Setup"}, *control);
    const InstallResult result = engine.Install(kJob, app_publishing(c.sha256, c.size), nullptr);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(web.requests.size(), c.requests);
    if (c.outcome == Outcome::Done) {
      EXPECT_EQ(disk.content(kJob.program_path), program);
      EXPECT_EQ(made.made.size(), 1u);
      continue;
    }
    EXPECT_EQ(result.reason, DownloadFailure::Check);
    EXPECT_TRUE(disk.files().empty()) << "no program, no partial file, no record, no marker";
    EXPECT_TRUE(made.made.empty());
  }
}

// An installed older program is only ever replaced whole: whatever stops
// the new one leaves the old one's bytes under its name.
// A gate that admits or refuses every file it is asked about; its hold
// looks, when released, whether the file had been moved to the program's
// name meanwhile.
class ScriptedGate final : public PlacementGate {
 public:
  ScriptedGate(MemoryFileSystem& files, bool admits) : files_(files), admits_(admits) {}

  std::unique_ptr<HeldFile> Admit(std::string_view path) override {
    judged.emplace_back(path);
    if (!admits_) return nullptr;
    return std::make_unique<Hold>(*this, path);
  }

  std::vector<std::string> judged;
  bool moved_while_held = false;

 private:
  class Hold final : public HeldFile {
   public:
    Hold(ScriptedGate& gate, std::string_view path) : gate_(gate), path_(path) {}
    ~Hold() override { gate_.moved_while_held = !gate_.files_.has(path_) && gate_.files_.has(kJob.program_path); }

   private:
    ScriptedGate& gate_;
    std::string path_;
  };

  MemoryFileSystem& files_;
  bool admits_;
};

// Built with a pinned signer, the installer places only what the gate
// admits, downloaded or copied by hand; a refused program leaves the old one
// byte for byte, and nothing of itself to resume.
TEST_F(Engine, PlacesOnlyAProgramTheGateAdmits) {
  const ByteBuffer old_program(50000, 0x01);
  files.put("D:\\Downloads\\by hand.exe", program);
  for (const bool admits : {false, true}) {
    for (const bool by_hand : {false, true}) {
      SCOPED_TRACE(std::string(admits ? "admitted" : "refused") + (by_hand ? ", by hand" : ", downloaded"));
      files.put(kJob.program_path, old_program);
      shortcuts.made.clear();
      (void)files.remove("C:\\StarlitPad\\OEM.key");
      ScriptedGate gate(files, admits);
      ScriptedWeb web = ScriptedWeb::serving(program);
      InstallEngine engine({files, web, shortcuts, clock, digests, "C:\\Setup", &gate}, *control);
      if (by_hand) {
        EXPECT_EQ(engine.InstallFromFile("D:\\Downloads\\by hand.exe", kJob),
                  admits ? ManualOutcome::Done : ManualOutcome::SignerRefused);
        EXPECT_EQ(gate.judged, std::vector<std::string>{kJob.program_path + ".new"});
      } else {
        EXPECT_EQ(engine.Install(kJob, app_publishing(test::sha256_hex(program), 70000), nullptr),
                  (admits ? InstallResult{Outcome::Done} : InstallResult{Outcome::DownloadFailed, DownloadFailure::Signer}));
        EXPECT_EQ(gate.judged, std::vector<std::string>{kJob.program_path + ".tmp"});
      }
      if (admits) {
        EXPECT_EQ(files.content(kJob.program_path), program);
        EXPECT_TRUE(gate.moved_while_held) << "the file was held from its judgement to its move";
        EXPECT_EQ(shortcuts.made.size(), 1u);
        continue;
      }
      EXPECT_EQ(files.content(kJob.program_path), old_program);
      EXPECT_TRUE(shortcuts.made.empty());
      EXPECT_FALSE(files.has("C:\\StarlitPad\\OEM.key"));
      EXPECT_EQ(files.files(), (std::set<std::string>{"D:\\Downloads\\by hand.exe", kJob.program_path}))
          << "no partial file, record or copy left";
    }
  }
}

TEST_F(Engine, KeepsTheOldProgramWhenTheNewOneCannotReplaceIt) {
  const ByteBuffer old_program(50000, 0x01);
  struct Case {
    const char* name;
    std::string sha256;
    std::optional<std::int64_t> space;
    bool moves_copy = false;
    bool moves_fail = false;
    DownloadFailure reason;
  };
  const std::string right = test::sha256_hex(program);
  const Case cases[] = {
      {"the new one fails its check", std::string(64, 'a'), {}, false, false, DownloadFailure::Check},
      {"no room for the new one", right, 40000, false, false, DownloadFailure::Write},
      {"room for the download but not for a copy", right, 100000, true, false, DownloadFailure::Move},
      {"the old one is locked", right, {}, false, true, DownloadFailure::Move},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.put(kJob.program_path, old_program);
    disk.space_left = c.space;
    disk.moves_copy = c.moves_copy;
    disk.moves_fail = c.moves_fail;
    RecordingShortcuts made(disk);
    ScriptedWeb web = ScriptedWeb::serving(program);
    InstallEngine engine({disk, web, made, clock, digests, "C:\\Setup"}, *control);
    EXPECT_EQ(engine.Install(kJob, app_publishing(c.sha256, std::nullopt), nullptr),
              (InstallResult{Outcome::DownloadFailed, c.reason}));
    EXPECT_EQ(disk.content(kJob.program_path), old_program);
    EXPECT_TRUE(made.made.empty());
  }

  // With room for both, the copy route replaces it.
  MemoryFileSystem disk;
  disk.put(kJob.program_path, old_program);
  disk.space_left = 150000;
  disk.moves_copy = true;
  ScriptedWeb web = ScriptedWeb::serving(program);
  InstallEngine engine({disk, web, shortcuts, clock, digests, "C:\\Setup"}, *control);
  EXPECT_EQ(engine.Install(kJob, app_publishing(right, 70000), nullptr), InstallResult{Outcome::Done});
  EXPECT_EQ(disk.content(kJob.program_path), program);
}

TEST_F(Engine, ManualInstallOnAFullDiskKeepsTheOldProgram) {
  const ByteBuffer old_program(50000, 0x01);
  files.put(kJob.program_path, old_program);
  files.put("D:\\Downloads\\by hand.exe", program);
  files.space_left = 60000;
  EXPECT_EQ(install_from("D:\\Downloads\\by hand.exe"), ManualOutcome::CopyFailed);
  EXPECT_EQ(files.content(kJob.program_path), old_program);
  EXPECT_EQ(files.files(), (std::set<std::string>{"D:\\Downloads\\by hand.exe", kJob.program_path}));
}

}  // namespace
}  // namespace lumen::install
