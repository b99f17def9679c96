#include "core/install_messages.hpp"

namespace lumen {

Text FolderRefusedText(std::string_view folder) {
  return "请确认所选的安装位置是否合法，程序无法在该位置安装\r\n“" + Text(folder) + "”";
}

}  // namespace lumen
