#pragma once
// The installation as the running installer does it, put together once at
// start-up: the install engine on the system's files, network, clock,
// SHA-256 and desktop shortcuts, and the check of the program's signer when
// the installer was built with one.

#include "core/installer/install_engine.hpp"
#include <memory>

#include "core/win/install_desktop.hpp"
#include "core/win/sha256_digest.hpp"
#include "http/win/url_transfer.hpp"
#include "http/placement_gate.hpp"
#include "runtime/clock.hpp"
#include "runtime/job_control.hpp"
#include "runtime/win/system_file_system.hpp"

namespace lumen {

class SystemInstaller {
 public:
  // `control` is the run's job control, which the window holds and stops;
  // `gate`, when there is one, vouches for the program before it is placed.
  SystemInstaller(JobControl& control, std::unique_ptr<PlacementGate> gate);
  SystemInstaller(const SystemInstaller&) = delete;
  SystemInstaller& operator=(const SystemInstaller&) = delete;

  [[nodiscard]] install::Installer& installer() noexcept { return engine_; }

 private:
  SystemFileSystem files_;
  WinInetOpener web_;
  SteadyClock clock_;
  CryptoSha256Maker digests_;
  SystemShortcutMaker shortcuts_;
  std::unique_ptr<PlacementGate> gate_;
  install::InstallEngine engine_;
};

}  // namespace lumen
