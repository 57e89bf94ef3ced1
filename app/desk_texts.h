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
inline const std::string kUnnamedChapterStem = runtime::Gbk("未命名（记录");
inline const std::string kUnnamedChapterStemEnd = runtime::Gbk("）");
inline const std::string kCutNameMark = runtime::Gbk("～");
inline const std::string kChapterFilePattern = runtime::Gbk("\\小说文件\\*.txt");
inline const std::string kAutosaveFile = runtime::Gbk("\\自动保存\\自动保存文件【勿删】.txt");
inline const std::string kAutosaveBackupPrefix = runtime::Gbk("\\自动保存备份\\");
inline const std::string kAutosaveBackupSuffix = runtime::Gbk("【备份】.txt");
// The last session's autosave file, kept before this session's first rewrite.
inline const std::string kLastSessionAutosaveSuffix = runtime::Gbk("【上次自动保存】.txt");

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
inline const std::string kLockAccessDenied =
    runtime::Gbk("写作台无法占用章节文件夹：小说数据文件夹或其中的写作台.lock 不可写。");
inline const std::string kLockNotSupported =
    runtime::Gbk("写作台无法占用章节文件夹：所在的文件系统不支持文件锁。");
inline const std::string kLockFailed = runtime::Gbk("写作台无法占用章节文件夹。");
inline const std::string kFolderIs = runtime::Gbk("\r\n文件夹：");
inline const std::string kDeskFolderNotMade = runtime::Gbk("写作台无法建立章节文件夹，或无法把空的章节数据库复制进去。");
// Where the desk keeps the chapters and its first start (data_folder.h).
inline const std::string kPortableFolderReadOnly = runtime::Gbk(
    "写作台所在的文件夹不能写入（写保护的U盘、只读的磁盘或文件夹），章节无法保存在这里。"
    "写作台不会改用别处的章节：请取消写保护，或把整个文件夹复制到可以写入的地方再打开。");
inline const std::string kNoAuthorDataFolder = runtime::Gbk(
    "找不到当前用户存放章节的文件夹（HOME、XDG_DATA_HOME 或 APPDATA 都没有设置成完整的路径），"
    "写作台不会把章节存到别处。");
inline const std::string kDataFolderInTemplate = runtime::Gbk(
    "章节文件夹“小说数据”就是空章节数据库模板（empty-database）的文件夹或在它里面：写作台不在模板里写章节。");
inline const std::string kTemplateNotCopied =
    runtime::Gbk("写作台无法把空的章节数据库复制到小说数据文件夹中。");
inline const std::string kLoneMemoFile = runtime::Gbk(
    "小说数据文件夹中有 data.edt 却没有 data.edb：data.edt 里可能还有章节正文，写作台没有放入空的章节数据库。"
    "请先找回 data.edb，或把 data.edt 移到别处后再打开。");
inline const std::string kDatabaseUnavailable =
    runtime::Gbk("无法打开章节数据库，本次输入的章节不会被保存：");

// When the text cannot be saved (save_alarm.h, rescue_copy.h).
inline const std::string kRescueFolderName = runtime::Gbk("\\Inkstone 抢救");
inline const std::string kRescueUtf8Suffix = runtime::Gbk("（UTF-8）.txt");
inline const std::string kRescueStem = runtime::Gbk("【抢救】");
inline const std::string kRecordNotSaved = runtime::Gbk("章节未能保存：");
inline const std::string kAutosaveNotWritten = runtime::Gbk("自动保存文件未能写入");
inline const std::string kRescuedTo = runtime::Gbk("。正文已另存到 ");
inline const std::string kRescueFailed = runtime::Gbk("。正文无法另存，请勿关闭写作台，先腾出磁盘空间！");
inline const std::string kNewChapterFailed = runtime::Gbk("无法新建章节：");
inline const std::string kDeleteChapterFailed = runtime::Gbk("无法删除章节：");
inline const std::string kChapterUnreadablePrefix = runtime::Gbk("章节列表第");
inline const std::string kChapterUnreadableName = runtime::Gbk("项“");
inline const std::string kChapterUnreadableReason = runtime::Gbk("”的正文无法完整读出：");
inline const std::string kChapterUnreadableAdvice = runtime::Gbk(
    "。\r\n可读出的部分已显示，只能查看，不会保存到这一章。"
    "要继续写，请在正文的右键菜单中选择“以可读部分另存为新章节”。");
inline const std::string kReadablePartSuffix = runtime::Gbk("（可读部分）");
inline const std::string kCloseUnsaved = runtime::Gbk("本章还有没保存进章节数据库的正文。\r\n");
inline const std::string kCloseRescuedTo = runtime::Gbk("。\r\n正文的抢救副本：");
inline const std::string kCloseLosesText = runtime::Gbk("。\r\n正文无法另存：现在关闭会失去没保存的正文！");
inline const std::string kCloseChoices = runtime::Gbk(
    "\r\n\r\n是：再试一次保存\r\n否：关闭写作台\r\n取消：回到写作台");
inline const std::string kPackFailed = runtime::Gbk("章节数据库整理失败：");

// Chapters whose latest text is only in a rescue copy (save_alarm.h).
inline const std::string kRescueListFile = runtime::Gbk("\\小说数据\\待恢复章节.txt");
inline const std::string kRescueInTemporaryFolder =
    runtime::Gbk("（临时文件夹里的副本在电脑重启后就会消失，请尽快另存）");
inline const std::string kPendingLineStart = runtime::Gbk("有 ");
inline const std::string kPendingLineEnd =
    runtime::Gbk(" 个章节的最新正文还只在抢救副本里，选中该章节即可取回（点这里查看）");
inline const std::string kPendingIntro =
    runtime::Gbk("以下章节的最新正文还只在抢救副本里，没有回到章节中：\r\n");
inline const std::string kPendingFailedAt = runtime::Gbk(" 未能保存），抢救副本：");
inline const std::string kPendingAdvice =
    runtime::Gbk("\r\n在章节列表中选中这一章，即可取回抢救副本里的正文。");
inline const std::string kPendingGone =
    runtime::Gbk("\r\n以下章节已不在章节列表中，它们的抢救副本仍在原处：\r\n");
inline const std::string kPendingUnreadable =
    runtime::Gbk("待恢复章节清单暂时无法读出，稍后会再试：");
inline const std::string kPendingDamaged =
    runtime::Gbk("待恢复章节清单无法识别，已改名保留为：");
inline const std::string kOfferStart = runtime::Gbk("这一章在 ");
inline const std::string kOfferMiddle = runtime::Gbk(" 未能保存，最新的正文在抢救副本里：\r\n");
inline const std::string kOfferChoices = runtime::Gbk(
    "\r\n\r\n是：换成抢救副本里的正文（现在的正文先另存一份）\r\n"
    "否：保留现在的正文，不再提醒（抢救副本仍在原处）\r\n取消：以后再决定");
inline const std::string kRescueUnreadable = runtime::Gbk("抢救副本无法读出：");
inline const std::string kReplacedStem = runtime::Gbk("【替换前】");
inline const std::string kReplacedNotKept = runtime::Gbk(
    "现在的正文无法另存一份，所以没有换成抢救副本里的正文。请先腾出磁盘空间再选中这一章。");
inline const std::string kClosePending =
    runtime::Gbk("\r\n关闭后，下次启动时会再提醒。要关闭写作台吗？");

// The chapter history (chapter_versions.h, chapter_history_window.h).
inline const std::string kChapterHistoryFile = runtime::Gbk("\\小说数据\\章节历史.dat");
inline const std::string kVersionsUnavailable = runtime::Gbk(
    "章节历史文件无法打开或创建，本次不保留章节的历史版本（章节正文照常保存）：");
inline const std::string kVersionsSetAside = runtime::Gbk(
    "章节历史文件已损坏，已原样另存一份，能读出的版本都已移入新的章节历史。损坏的文件：");
inline const std::string kVersionsLostStart = runtime::Gbk("\r\n有 ");
inline const std::string kVersionsLostEnd = runtime::Gbk(" 个历史版本无法读出。");
inline const std::string kVersionNotKept = runtime::Gbk(
    "章节历史无法写入（磁盘已满或文件不可写），这次的历史版本没有保留；章节正文照常保存。"
    "本次不再提醒。章节历史文件：");

// Laying out and copying out chapters (publishing_actions.h).
inline const std::string kPublishingSettingsFile = runtime::Gbk("\\小说数据\\排版与发布设置.txt");
inline const std::string kAvoidWordsFile = runtime::Gbk("\\小说数据\\避免使用的词.txt");
inline const std::string kPublishingCaption = runtime::Gbk("复制为发布格式");
inline const std::string kCopiedForPublishing = runtime::Gbk("已复制为发布格式（");
inline const std::string kCopiedCharacters = runtime::Gbk(" 字）。");
inline const std::string kCopiedButNote = runtime::Gbk("发布前请留意：\r\n");
inline const std::string kPublishingSettingsNotSaved =
    runtime::Gbk("排版与发布设置无法保存，本次照新设置使用，下次启动时仍是原来的设置：");
inline const std::string kAvoidWordsNotMade = runtime::Gbk("避免使用的词表无法创建：");

// A novel in and out (novel_transfer.h).
inline const std::string kNovelTransferCaption = runtime::Gbk("导入和导出");

// Find and replace (find_in_novel.h).
inline const std::string kReplaceNotWritten = runtime::Gbk("替换没有全部写入：有 ");
inline const std::string kReplaceNotWrittenReason = runtime::Gbk(" 章未能写入（它们保持原样）。原因：");

// The writing history (daily_progress.h).
inline const std::string kWritingHistoryFile = runtime::Gbk("\\小说数据\\写作记录.json");
inline const std::string kHistoryNotSaved = runtime::Gbk("（记录未能保存）");
inline const std::string kHistoryDamaged =
    runtime::Gbk("写作记录文件无法读出，从今天起重新记录。原来的文件改名保留为：");
inline const std::string kHistoryUnreadable = runtime::Gbk(
    "写作记录文件暂时无法读出，稍后会再试；读出之前不会改写它，今天的记录先记在内存里：");
inline const std::string kHistoryDamagedInPlace = runtime::Gbk(
    "写作记录文件无法读出，也无法改名保留。为了不覆盖它，本次的写作记录不会保存：");

inline const std::string kDatePrefix = runtime::Gbk("日期：");
inline const std::string kHourPrefix = runtime::Gbk("时：");
inline const std::string kMinutePrefix = runtime::Gbk("分：");
inline const std::string kSecondPrefix = runtime::Gbk("秒：");

// Our own forum: the discussions of the project; its host is in the forum label's caption.
inline const std::string kForumAddress = "https://github.com/inkstone-writer/inkstone/discussions";

// A search page that takes GBK words as the value of the query key "word".
inline const std::string kWebSearchAddress = "https://www.baidu.com/s?ie=gbk&word=";

}  // namespace app::texts
