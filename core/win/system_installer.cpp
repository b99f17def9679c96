#include "core/win/system_installer.hpp"

#include <utility>

#include "runtime/win/files.hpp"

namespace lumen {

SystemInstaller::SystemInstaller(JobControl& control, std::unique_ptr<PlacementGate> gate)
    : gate_(std::move(gate)),
      engine_({files_, web_, shortcuts_, clock_, digests_, program_directory(), gate_.get()}, control) {}

}  // namespace lumen
