#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// A runtime error is fatal: one message box, then the program ends with exit code -1 and
// the application's end routine is skipped.

// The numbered errors that generated code raises through gate 0; null outside 1..11.
const char* RuntimeErrorText(int32_t number);  // GBK

// The box's message (GBK, CR LF line ends): the header line, an empty line, then
// "错误代码：<n>" and an empty line when `number` is not 0, then "错误信息：<text>" when
// `text` is not empty.
std::string FormatRuntimeErrorMessage(std::string_view text, int32_t number);

// Shows the error box and ends the program. `text` is GBK.
[[noreturn]] void ReportError(std::string_view text, int32_t number = 0);

// Gate 0: reports numbered error `number` with its text.
[[noreturn]] void ReportRuntimeError(int32_t number);

// Texts of the errors the runtime frame raises itself (GBK).
namespace error_text {
std::string TemplateBlockUnreadable();   // 载入窗口模板数据段出错!
std::string StartupWindowFailed();       // 载入启动窗口失败
std::string AllocationFailed(int64_t byte_count);
std::string NotANumber();                // 欲转换数据类型不是数值
std::string ConditionNotLogical();       // 用作进行条件判断的子语句参数只能接受逻辑型数据
std::string UnitNotFound();              // 指定窗口或窗口组件不存在或尚未载入
}  // namespace error_text

}  // namespace runtime
