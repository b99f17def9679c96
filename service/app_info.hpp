#pragma once
// The application's record as the service describes it.

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/text.hpp"

namespace lumen {

struct ModelEntry {
  std::int32_t id = 0;
  Text name;
  Text value;
};

struct DownVersionInfo {
  std::int32_t id = 0;
  Text address;  // download URL of the application's executable
  std::int32_t is_now = 0;  // 1 marks the current version
  std::int32_t is_up = 0;
  Text version;
  Text up_log;  // release notes
  Text sha256;  // the executable's SHA-256 in hexadecimal, or empty: not published
  // The number the version gives as `size`, meant as the executable's size
  // in bytes; nothing when it gives none or a value of another kind. What
  // counts of it is the install's judgement.
  std::optional<double> size;
};

struct DownModelInfo {
  std::int32_t model_id = 0;
  Text name;
  std::vector<DownVersionInfo> value = std::vector<DownVersionInfo>(1);
};

struct AgentAppInfo {
  Text app_name;  // window title and shortcut name
  Text app_icon;  // address of the distributor's icon
  std::vector<ModelEntry> agent_model = std::vector<ModelEntry>(1);
};

// A fresh record holds one empty entry in each list, and its download model
// one zeroed version.
struct AppInfoRecord {
  Text name;  // also the base name of the executable and the default folder
  Text tryout_time;
  Text tryout_points;
  Text icon;
  Text unbind_dec_time;
  Text unbind_dec_points;
  Text unbind_dec_score;
  AgentAppInfo agent_app;
  std::vector<DownModelInfo> down_model = std::vector<DownModelInfo>(1);
  std::vector<ModelEntry> file_model = std::vector<ModelEntry>(1);
};

}  // namespace lumen
