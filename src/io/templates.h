#pragma once
// The core's texts composed from parts, each one template (filled by Fill). The window finds
// the template a shown text was made from and translates it whole (src/ui/coretext.h), so
// every such template is listed in CoreTemplates.

#include "io/translatable.h"

namespace tmpl {
// The status line.
inline constexpr const char* kStationCount = QT_TRANSLATE_NOOP("core", "已输入%1个测点");
// Grid checks: a row's spacing and the cell a message names.
inline constexpr const char* kIllegalSpacing = QT_TRANSLATE_NOOP("core", "第 %1 个极距数据非法。\n\n\n\t请检查。");
inline constexpr const char* kRepeatedSpacing = QT_TRANSLATE_NOOP("core", "第 %1 个极距数据重复。\n\n\n\t请检查。");
inline constexpr const char* kCellName = QT_TRANSLATE_NOOP("core", "第 %1 行，%2");
// Default spacings.
inline constexpr const char* kSpacingCount = QT_TRANSLATE_NOOP("core", "默认极距至少要有 1 个，最多 %1 个。");
inline constexpr const char* kSpacingNotNumber = QT_TRANSLATE_NOOP("core", "第 %1 个默认极距“%2”不是数字。");
inline constexpr const char* kSpacingRange = QT_TRANSLATE_NOOP("core", "第 %1 个默认极距不在 0 到 10000 之间。");
inline constexpr const char* kSpacingOrder =
    QT_TRANSLATE_NOOP("core", "第 %1 个默认极距没有比前一个大 0.1 以上：极距应从小到大排列。");
// A field whose text cannot be saved; %2 is the command (插入 or 更新).
inline constexpr const char* kUnsavableField = QT_TRANSLATE_NOOP("core", "%1中有不能保存到数据文件的字符，请修改后再%2。");
inline constexpr const char* kDeleteStation = QT_TRANSLATE_NOOP("core", "是否删除当前测点 %1 (x=%2)?");
// The clipboard and the import.
inline constexpr const char* kPasteTooLong =
    QT_TRANSLATE_NOOP("core", "粘贴这些数据需要 %1 行，超过了本数据类型最多 %2 行的限制，没有粘贴。");
inline constexpr const char* kPasteDropped = QT_TRANSLATE_NOOP("core", "有 %1 个单元格落在序号列或最后一列之外，没有粘贴。");
inline constexpr const char* kMoreProblems = QT_TRANSLATE_NOOP("core", "……另有 %1 个问题。");
// Saving.
inline constexpr const char* kDroppedRecords = QT_TRANSLATE_NOOP(
    "core",
    "数据文件中有 %1 条记录不符合测深数据要求(|N|>10000、视电阻率≤0 或 AB/2<0.1)，追加保存后文件中将不再有这些记录。\n\n是否继续保存?");
inline constexpr const char* kReplaceLineFile = QT_TRANSLATE_NOOP("core", "文件 %1 已经存在，是否用当前测线的数据替换它?");
inline constexpr const char* kLineNameFault = QT_TRANSLATE_NOOP("core", "测线 %1：%2");
inline constexpr const char* kSaveFileFailed = QT_TRANSLATE_NOOP("core", "保存文件%1\n失败.\n非常抱歉，您的处理结果没有及时保存。");
inline constexpr const char* kFileTooLarge = QT_TRANSLATE_NOOP("core", "文件大于 %1，超出允许读取的大小，未读取。");
inline constexpr const char* kBytes = QT_TRANSLATE_NOOP("core", "%1 字节");
// The recovery file.
inline constexpr const char* kRecoveryVersion = QT_TRANSLATE_NOOP("core", "恢复文件的版本是 %1，本程序只能读版本 %2。");
inline constexpr const char* kRecoveryShort = QT_TRANSLATE_NOOP("core", "文件不完整：应有 %1 字节，只有 %2 字节。");
inline constexpr const char* kRecoveryExtra = QT_TRANSLATE_NOOP("core", "文件末尾多出 %1 字节。");
inline constexpr const char* kRecoveryUnreadable = QT_TRANSLATE_NOOP("core", "文件不能读取：%1");
// Opening files.
inline constexpr const char* kStationsInFile = QT_TRANSLATE_NOOP("core", "%1 个测点");
inline constexpr const char* kLinesInFile = QT_TRANSLATE_NOOP("core", "%1 条测线（共 %2 个点）");
inline constexpr const char* kBranchesInFile = QT_TRANSLATE_NOOP("core", "%1 个分支（共 %2 个点）");
inline constexpr const char* kNamedFile = QT_TRANSLATE_NOOP("core", "文件“%1”：%2");
inline constexpr const char* kLineOnly = QT_TRANSLATE_NOOP("core", "第 %1 行。");
inline constexpr const char* kLineOfFile = QT_TRANSLATE_NOOP("core", "第 %1 行：%2");
inline constexpr const char* kCannotOpenFile = QT_TRANSLATE_NOOP("core", "文件不能打开：%1");
inline constexpr const char* kReadFailed = QT_TRANSLATE_NOOP("core", "读取文件失败：%1");
inline constexpr const char* kOpenTooLarge = QT_TRANSLATE_NOOP("core", "文件大于 %1 MB，不是本程序的数据文件。");
inline constexpr const char* kNotFourPole =
    QT_TRANSLATE_NOOP("core", "这是%1。几个文件一起打开时，每个都应是对称四极剖面文件。");
inline constexpr const char* kCountSaysMore = QT_TRANSLATE_NOOP("core", "文件第 3 行说有 %1 个测点，其后却还有数据。");
inline constexpr const char* kTooManyRows = QT_TRANSLATE_NOOP("core", "第 %1 个测点的极距或模型层多于 200 个。");
inline constexpr const char* kEndsInStation =
    QT_TRANSLATE_NOOP("core", "文件在第 %1 个测点的数据中结束（文件第 3 行说有 %2 个测点）。");
inline constexpr const char* kStationNotNumber = QT_TRANSLATE_NOOP("core", "第 %1 个测点的数据有误：这里应是数字。");
inline constexpr const char* kSkippedRecords = QT_TRANSLATE_NOOP(
    "core", "从这一行起，有 %1 条记录超出格式的范围（|N| > 10000、RO ≤ 0 或 AB/2 < 0.1），读不进来。");
inline constexpr const char* kOpenPart = QT_TRANSLATE_NOOP("core", "是否打开已经读到的 %1？");
inline constexpr const char* kTooFewNumbers = QT_TRANSLATE_NOOP("core", "应有 12 个数，却只有 %1 个。");
inline constexpr const char* kNotANumberField = QT_TRANSLATE_NOOP("core", "%1 不是数字。");
inline constexpr const char* kNoValueField = QT_TRANSLATE_NOOP("core", "%1 应是 -9999（本文件不存此项）。");
inline constexpr const char* kTooManyPoints = QT_TRANSLATE_NOOP("core", "一条测线或一个分支最多 %1 个点。");

// Every template above, for the window's translation of composed texts.
inline constexpr const char* kAll[] = {
    kStationCount,    kIllegalSpacing,  kRepeatedSpacing, kCellName,         kLineOnly,        kSpacingCount,   kSpacingNotNumber,
    kSpacingRange,    kSpacingOrder,    kUnsavableField,  kDeleteStation,    kPasteTooLong,   kPasteDropped,
    kMoreProblems,    kDroppedRecords,  kReplaceLineFile, kLineNameFault,    kSaveFileFailed, kFileTooLarge,
    kBytes,           kRecoveryVersion, kRecoveryShort,   kRecoveryExtra,    kRecoveryUnreadable, kStationsInFile,
    kLinesInFile,     kBranchesInFile,  kNamedFile,       kLineOfFile,       kCannotOpenFile, kReadFailed,
    kOpenTooLarge,    kNotFourPole,     kCountSaysMore,   kTooManyRows,      kEndsInStation,  kStationNotNumber,
    kSkippedRecords,  kOpenPart,        kTooFewNumbers,   kNotANumberField,  kNoValueField,   kTooManyPoints,
};
}  // namespace tmpl
