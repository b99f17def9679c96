#include "core/win/system_installer.hpp"

#include "runtime/win/files.hpp"

namespace lumen {

SystemInstaller::SystemInstaller(JobControl& control)
    : engine_({files_, web_, shortcuts_, clock_, digests_, program_directory()}, control) {}

}  // namespace lumen
