#include "app/demo_image.h"

#include <string>

#include "commands/system_commands.h"
#include "libraries/library_table.h"
#include "runtime/gates.h"
#include "runtime/gbk_literal.h"

namespace app {

namespace {

// The constant pool: the literal texts the routines use, each NUL-terminated.
const std::string& ConstantPool() {
  static const std::string pool = runtime::Gbk(
      "Inkstone 运行时已就绪：程序映像已载入，六个支持库已连接。\r\n"
      "写作窗口尚未加入此版本。") + std::string(1, '\0') + runtime::Gbk("Inkstone") +
      std::string(1, '\0');
  return pool;
}

const char* PoolText(size_t index) {
  const std::string& pool = ConstantPool();
  size_t offset = 0;
  for (size_t i = 0; i < index; ++i) offset = pool.find('\0', offset) + 1;
  return pool.c_str() + offset;
}

void StartRoutine() {
  constexpr int32_t kInformationIcon = 0x40;
  runtime::CallCoreCommand(&commands::MessageBox,
                           {runtime::ArgCell::Text(PoolText(0)), runtime::ArgCell::Int(kInformationIcon),
                            runtime::ArgCell::Text(PoolText(1))});
}

void EndRoutine() {}

}  // namespace

const runtime::ProgramImage& DemoImage() {
  static const runtime::ProgramImage image = [] {
    runtime::ProgramImage header;
    header.image_kind = 3;
    header.id_seed = 0x000100F1;
    header.constant_pool = reinterpret_cast<const uint8_t*>(ConstantPool().data());
    header.constant_pool_size = static_cast<int32_t>(ConstantPool().size());
    header.library_count = libraries::kLibraryCount;
    header.libraries = libraries::LibraryTable();
    return header;
  }();
  return image;
}

int32_t DemoEntryRoutine() {
  runtime::RuntimeService(6);
  StartRoutine();
  runtime::RuntimeService(3, reinterpret_cast<intptr_t>(&EndRoutine));
  runtime::RunMessageLoop();
  return 0;
}

}  // namespace app
