#include "database/error_codes.h"

#include <array>
#include <string_view>

#include "runtime/gbk_literal.h"

namespace database {
namespace {

// Messages of codes -1 to -80, in order; an empty entry has no message of its own.
constexpr std::array<std::string_view, 80> kMessages = {
    "未知错误",
    "创建数据库失败",
    "指定文件未找到",
    "无效的路径",
    "打开文件过多",
    "指定文件不能被访问",
    "无效的文件号",
    "不能删除现行工作目录",
    "创建目录过多",
    "文件指针定位失败",
    "访问文件时硬件产生故障",
    "访问文件时产生共享冲突",
    "加锁文件失败",
    "磁盘空间不够",
    "已经到达文件尾",
    "字段数目必须大于 0 ",
    "无效的字段类型",
    "无效的字段名称。名称首字符必须为全半角字母或汉字，其他字符必须为全半角字母、全半角数字或汉字。"
    "名称长度必须小于 16 字符",
    "无效的字段尺寸",
    "存在重复的字段名称",
    "打开指定数据库失败",
    "指定文件不是数据库文件",
    "指定数据库文件版本太高，无法读入，请升级系统软件",
    "无效的别名。别名首字符必须为全半角字母或汉字，其他字符必须为全半角字母、全半角数字或汉字",
    "已经越过数据库的首记录",
    "已经越过数据库的末记录",
    "当前未打开数据库",
    "加锁失败",
    "解锁失败",
    "打开指定索引文件失败",
    "指定文件不是数据库索引文件或已被损坏",
    "索引文件的版本与数据库本身不一致",
    "索引文件已经被打开",
    "为同一数据库打开索引文件过多",
    "读入数据库辅助文件失败",
    "数据库辅助文件的版本与数据库本身不一致",
    "指定文件不是数据库辅助文件或已被损坏",
    "指定数据库已经被打开",
    "索引所使用的字段太多",
    "未找到指定字段",
    "创建数据库索引文件失败",
    "索引所使用的字段不能为备注或者字节集类型",
    "不能找到索引所使用的字段",
    "指定记录不存在",
    "分配内存空间失败",
    "读指定字段失败",
    "写指定字段失败",
    "数据库文件尺寸错误",
    "数据库索引文件尺寸错误",
    "创建数据库辅助文件失败",
    "加入索引项目失败",
    "访问索引项目失败",
    "索引所使用字段的尺寸与数据库内的字段不一致",
    "索引所使用字段的类型与数据库内的字段不一致",
    "内存不足",
    "索引字段的尺寸过大",
    "已到最后一个索引项",
    "找不到指定记录的索引项",
    "访问数据库的辅助文件失败",
    "现行记录不存在",
    "指定字段不存在",
    "读记录失败",
    "写记录失败",
    "更改索引失败",
    "取数据库记录数失败",
    "未打开指定数据库",
    "未设置当前数据库",
    "找不到指定的索引",
    "未设置当前索引",
    "字段类型错误",
    "未指定字段或者字段类型错误",
    "所提供数据的类型与字段类型不匹配",
    "所提供欲查找数据的数目与当前索引的索引字段数不相等",
    "数据库的共享打开方式不是“#禁止读写”",
    "计算表达式出错",
    "表达式类型错误",
    "",  // -77 has no message
    "未提供数据库访问密码或提供了错误的密码",
    "修改访问密码时更新数据库数据失败",
    "无效的密码文本",
};

}  // namespace

std::string ErrorText(int32_t error_code) {
  if (error_code == 0) return "";
  // Codes of this engine's own, past the numbered messages.
  if (error_code == code::kFilesReplaced) return runtime::Gbk("数据库文件已被其他程序替换");
  if (error_code == code::kFileCheckFailed) {
    return runtime::Gbk("系统暂时无法查看数据库文件，稍后将重试");
  }
  if (error_code == code::kLocksUnsupported) {
    return runtime::Gbk("数据库所在的文件系统不支持文件锁，无法写入");
  }
  if (error_code == code::kPackJournalUnreadable) {
    return runtime::Gbk("读取数据库的整理日志失败，日志已保留");
  }
  if (error_code < 0 && error_code >= -80) {
    const std::string_view message = kMessages[static_cast<size_t>(-error_code - 1)];
    if (!message.empty()) return runtime::Gbk(message);
  }
  return runtime::Gbk(kMessages[0]);
}

int32_t FileErrorCode(platform::FileError error) {
  using platform::FileError;
  switch (error) {
    case FileError::kNone:
      return code::kOk;
    case FileError::kNotFound:
      return code::kFileNotFound;
    case FileError::kPathNotFound:
      return code::kBadPath;
    case FileError::kAccessDenied:
      return code::kAccessDenied;
    case FileError::kSharingViolation:
      return code::kSharingViolation;
    case FileError::kLockViolation:
      return code::kLockViolation;
    case FileError::kDiskFull:
      return code::kDiskFull;
    default:
      return code::kUnknown;
  }
}

}  // namespace database
