#pragma once

#include <string>

#include "runtime/gbk_literal.h"

// The constant texts of the writing window, as GBK. Paths are relative to the program's
// folder (GetProgramDirectory, which has no trailing backslash).
namespace app::texts {

inline const std::string kLineBreak = "\r\n";
inline const std::string kChapterFolder = runtime::Gbk("\\小说文件");
inline const std::string kChapterBackupFolder = runtime::Gbk("\\小说文件备份");
inline const std::string kAutosaveFolder = runtime::Gbk("\\自动保存");
inline const std::string kAutosaveBackupFolder = runtime::Gbk("\\自动保存备份");
inline const std::string kDatabasePath = runtime::Gbk("\\小说数据\\data.edb");
inline const std::string kNameField = runtime::Gbk("姓名");
inline const std::string kTextField = runtime::Gbk("学号");
inline const std::string kChapterFilePrefix = runtime::Gbk("\\小说文件\\");
inline const std::string kChapterFileSuffix = ".txt";
inline const std::string kChapterFilePattern = runtime::Gbk("\\小说文件\\*.txt");
inline const std::string kAutosaveFile = runtime::Gbk("\\自动保存\\自动保存文件【勿删】.txt");
inline const std::string kAutosaveBackupPrefix = runtime::Gbk("\\自动保存备份\\");
inline const std::string kAutosaveBackupSuffix = runtime::Gbk("【备份】.txt");

inline const std::string kWarningCaption = runtime::Gbk("警告");
inline const std::string kConfirmDelete = runtime::Gbk("确认删除该章节吗，删除后可能会导致章节丢失。");
inline const std::string kErrorCaption = runtime::Gbk("错误");
inline const std::string kRecordJumpError = runtime::Gbk("系统数据库指针跳转错误");
inline const std::string kChapterBackupDone = runtime::Gbk("小说文件备份成功");
inline const std::string kAutosaveBackupDone = runtime::Gbk("自动保存文件备份成功");
// Said instead of the success messages when a copy failed.
inline const std::string kChapterBackupFailed = runtime::Gbk("小说文件备份失败：");
inline const std::string kAutosaveBackupFailed = runtime::Gbk("自动保存文件备份失败");
inline const std::string kAlreadyOpen =
    runtime::Gbk("写作台已经打开：同一文件夹中的章节只能由一个写作台编辑。");
inline const std::string kDatabaseUnavailable =
    runtime::Gbk("无法打开章节数据库，本次输入的章节不会被保存：");

inline const std::string kDatePrefix = runtime::Gbk("日期：");
inline const std::string kHourPrefix = runtime::Gbk("时：");
inline const std::string kMinutePrefix = runtime::Gbk("分：");
inline const std::string kSecondPrefix = runtime::Gbk("秒：");

// Our own forum: the discussions of the project; its host is in the forum label's caption.
inline const std::string kForumAddress = "https://github.com/inkstone-writer/inkstone/discussions";

// A search page that takes GBK words as the value of the query key "word".
inline const std::string kWebSearchAddress = "https://www.baidu.com/s?ie=gbk&word=";

}  // namespace app::texts
