#pragma once
// The installation as the running installer does it, put together once at
// start-up: the install engine on the system's files, network, clock,
// SHA-256 and desktop shortcuts.

#include "core/installer/install_engine.hpp"
#include "core/win/install_desktop.hpp"
#include "core/win/sha256_digest.hpp"
#include "http/win/url_transfer.hpp"
#include "runtime/clock.hpp"
#include "runtime/job_control.hpp"
#include "runtime/win/system_file_system.hpp"

namespace lumen {

class SystemInstaller {
 public:
  // `control` is the run's job control, which the window holds and stops.
  explicit SystemInstaller(JobControl& control);
  SystemInstaller(const SystemInstaller&) = delete;
  SystemInstaller& operator=(const SystemInstaller&) = delete;

  [[nodiscard]] install::Installer& installer() noexcept { return engine_; }

 private:
  SystemFileSystem files_;
  WinInetOpener web_;
  SteadyClock clock_;
  CryptoSha256Maker digests_;
  SystemShortcutMaker shortcuts_;
  install::InstallEngine engine_;
};

}  // namespace lumen
