#include "runtime/error_report.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

#include "runtime/gbk_literal.h"
#include "runtime/runtime_state.h"
#include "runtime/shutdown.h"
#include "runtime/user_interface.h"

namespace runtime {

namespace {

const std::array<std::string, 12>& NumberedErrorTexts() {
  static const std::array<std::string, 12> texts = {
      "",
      Gbk("数组成员引用下标超出定义范围"),
      Gbk("未得到所需要的数值型数据"),
      Gbk("引用数组成员时维数不为1且不等于该数组目前所具有的维数"),
      Gbk("数组成员引用下标必须大于等于1"),
      Gbk("数据或数组类型不匹配"),
      Gbk("调用DLL命令后发现堆栈错误"),
      Gbk("子语句参数未返回数据或者返回了非系统基本类型或数组型数据"),
      Gbk("被比较数据只能使用等于或不等于命令比较"),
      Gbk("“多项选择”命令的索引值参数小于零或超出了所提供参数表范围"),
      Gbk("“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零"),
      Gbk("所提供参数的数据类型不符合要求"),
  };
  return texts;
}

}  // namespace

const char* RuntimeErrorText(int32_t number) {
  if (number < 1 || number > 11) return nullptr;
  return NumberedErrorTexts()[number].c_str();
}

std::string FormatRuntimeErrorMessage(std::string_view text, int32_t number) {
  std::string message = Gbk("运行时出错!") + "\r\n\r\n";
  if (number != 0) message += Gbk("错误代码：") + std::to_string(number) + "\r\n\r\n";
  if (!text.empty()) message += Gbk("错误信息：") + std::string(text) + "\r\n";
  return message;
}

void ReportError(std::string_view text, int32_t number) {
  RuntimeState& state = Runtime();
  ++state.nesting;
  const std::string message = FormatRuntimeErrorMessage(text, number);
  if (state.ui != nullptr) {
    state.ui->ShowMessageBox(message, Gbk("错误"),
                             message_box::kOk | message_box::kIconError);
  } else {
    // A program without a window system (a tool, a test) still tells what happened.
    std::fputs(platform::GbkToUtf8(message).c_str(), stderr);
  }
  // An image of kind 2 would hand over to a debugger here; every kind ends the program.
  state.end_routine = nullptr;
  EndProgram(-1);
  // EndProgram returns only on a thread other than the main thread while the main thread
  // is already ending the program; that thread must not go on.
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

void ReportRuntimeError(int32_t number) {
  const char* text = RuntimeErrorText(number);
  ReportError(text != nullptr ? text : "", number);
}

namespace error_text {
std::string TemplateBlockUnreadable() { return Gbk("载入窗口模板数据段出错!"); }
std::string StartupWindowFailed() { return Gbk("载入启动窗口失败"); }
std::string AllocationFailed(int64_t byte_count) {
  return Gbk("分配 ") + std::to_string(byte_count) + Gbk(" 字节内存失败!");
}
std::string NotANumber() { return Gbk("欲转换数据类型不是数值"); }
std::string ConditionNotLogical() { return Gbk("用作进行条件判断的子语句参数只能接受逻辑型数据"); }
std::string UnitNotFound() { return Gbk("指定窗口或窗口组件不存在或尚未载入"); }
}  // namespace error_text

}  // namespace runtime
