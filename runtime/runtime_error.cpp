#include "runtime/runtime_error.hpp"

#include "runtime/convert.hpp"

namespace lumen {

std::string runtime_error_text(int code, std::string_view message) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) {
    text += "错误代码：" + to_text(code) + "\r\n\r\n";
  }
  if (!message.empty()) {
    text += "错误信息：";
    text += message;
    text += "\r\n";
  }
  return text;
}

void report_runtime_error(RuntimeError error) {
  switch (error) {
    case RuntimeError::IndexAboveCount:
      report_runtime_error(1, "数组成员引用下标超出定义范围");
    case RuntimeError::IndexBelowOne:
      report_runtime_error(4, "数组成员引用下标必须大于等于1");
  }
  report_runtime_error(0, {});
}

}  // namespace lumen
