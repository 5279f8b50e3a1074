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
inline constexpr const char* kManyRowsQuestion = QT_TRANSLATE_NOOP(
    "core", "测点 %1 将有多于 200 个读数。别的读 .ves 文件的程序可能只读每个测点的前 200 个读数。\n\n是否继续保存?");
inline constexpr const char* kLinesShareFile = QT_TRANSLATE_NOOP("core", "测线“%1”和测线“%2”都会保存为文件 %3。");
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

// The CSV import: the file as a whole (the row is part of each, so that a list in it is read
// as a list and not as the row's text).
inline constexpr const char* kCsvSameColumn = QT_TRANSLATE_NOOP("core", "第 %1 列和第 %2 列都是“%3”");
inline constexpr const char* kCsvDuplicateColumns = QT_TRANSLATE_NOOP("core", "第 %1 行：表头%2。每一列只能出现一次。");
inline constexpr const char* kCsvMixedColumns =
    QT_TRANSLATE_NOOP("core", "第 %1 行：表头既有激电参数列（%2）又有剖面的列（%3），看不出是哪一种数据。");
inline constexpr const char* kCsvNoReadingColumn = QT_TRANSLATE_NOOP("core", "第 %1 行：应是表头，却没有认出一个观测值的列。第一行要写明各列的名字，例如：测点编号、x坐标、y坐标、AB/2、视电阻率（找水数据再加 综合激电参数、半衰时、衰减度、偏离度、视极化率；剖面数据用 剖面编号、点号、AB/2、MN/2、视电阻率）。");
inline constexpr const char* kCsvMissingColumns = QT_TRANSLATE_NOOP("core", "第 %1 行：按表头这是“%2”的数据，缺少必需的列：%3。");
inline constexpr const char* kCsvMissingColumnsChosen = QT_TRANSLATE_NOOP("core", "第 %1 行：选定的“%2”数据缺少必需的列：%3。");
inline constexpr const char* kCsvUndecidedEncoding = QT_TRANSLATE_NOOP(
    "core", "第 %1 行：无法确定文件的编码：“%2”按 UTF-8 读是这样，按 GBK 读是“%3”。请选择按哪一种编码读取。");
inline constexpr const char* kCsvBadQuote = QT_TRANSLATE_NOOP("core", "第 %1 行：引号用得不对：带引号的单元格里的引号要写成两个（\"\"），右引号后面不能再跟文字，没有引号的单元格里不能有引号。从这一行起无法再读下去。");
inline constexpr const char* kCsvUnclosedQuote = QT_TRANSLATE_NOOP("core", "第 %1 行：有一个引号直到文件末尾都没有对应的右引号。");
inline constexpr const char* kCsvHeaderOnly = QT_TRANSLATE_NOOP("core", "文件只有表头（第 %1 行），没有数据。");
inline constexpr const char* kCsvCannotOpen = QT_TRANSLATE_NOOP("core", "无法打开文件 %1：%2");
// The CSV import: a column of the header row (the row is part of each: "第 N 行：第 M 列" is
// not read as the row's text).
inline constexpr const char* kCsvStationUnused =
    QT_TRANSLATE_NOOP("core", "第 %1 行：第 %2 列“%3”在联合剖面数据中不用（分支就是它的名字），这一列不导入。");
inline constexpr const char* kCsvUnknownHeader = QT_TRANSLATE_NOOP("core", "第 %1 行：第 %2 列“%3”不是认识的列名，这一列不导入。");
inline constexpr const char* kCsvFieldNotOfType =
    QT_TRANSLATE_NOOP("core", "第 %1 行：第 %2 列“%3”不属于%4数据，这一列不导入。");
inline constexpr const char* kCsvUnnamedColumn = QT_TRANSLATE_NOOP("core", "第 %1 行：第 %2 列没有列名，其中的数据不导入。");
// The CSV import: a row (after "第 N 行：", kLineOfFile). %1 before a quoted cell is a column's name.
inline constexpr const char* kCsvTooManyCells = QT_TRANSLATE_NOOP("core", "有 %1 个单元格，比表头的 %2 列多。");
inline constexpr const char* kCsvTooManyCellsComma = QT_TRANSLATE_NOOP(
    "core", "有 %1 个单元格，比表头的 %2 列多。是不是数字里用了逗号作小数点？逗号分隔的文件里小数点要用“.”。");
inline constexpr const char* kCsvTooFewCells = QT_TRANSLATE_NOOP("core", "只有 %1 个单元格，表头有 %2 列，“%3”等列缺了。");
inline constexpr const char* kCsvNotANumber = QT_TRANSLATE_NOOP("core", "%1“%2”不是数字。");
inline constexpr const char* kCsvNotANumberComma = QT_TRANSLATE_NOOP("core", "%1“%2”不是数字：逗号分隔的文件里小数点要用“.”。");
inline constexpr const char* kCsvNotANumberThousands = QT_TRANSLATE_NOOP("core", "%1“%2”不是数字：数字里不要用千位分隔符。");
inline constexpr const char* kCsvBlank = QT_TRANSLATE_NOOP("core", "%1是空的。");
inline constexpr const char* kCsvLineBreak = QT_TRANSLATE_NOOP("core", "%1中有换行：数据文件的一行容不下它。");
inline constexpr const char* kCsvControlChar =
    QT_TRANSLATE_NOOP("core", "%1中有控制字符（如 ESC、BEL、制表符、DEL），数据文件存不下它。");
inline constexpr const char* kCsvNotGbkBytes = QT_TRANSLATE_NOOP("core", "%1“%2”中有不是 GBK 文字的字节。");
inline constexpr const char* kCsvNotUtf8Bytes =
    QT_TRANSLATE_NOOP("core", "%1“%2”中有不是 UTF-8 文字的字节（混进了 GBK 编码的文字？）。");
inline constexpr const char* kCsvReplacementChar = QT_TRANSLATE_NOOP(
    "core", "%1“%2”中有替换字符“�”：原来的文字已经丢失了（GBK 编码的文件被当作 UTF-8 打开后又保存过？）。");
inline constexpr const char* kCsvNoGbkChar = QT_TRANSLATE_NOOP("core", "%1“%2”中有 GBK 容不下的字符，数据文件存不下它。");
inline constexpr const char* kCsvNoGbkCharTryGbk = QT_TRANSLATE_NOOP(
    "core", "%1“%2”中有 GBK 容不下的字符，数据文件存不下它。这个文件也可以按 GBK 编码来读，请改按 GBK 重新预览。");
inline constexpr const char* kCsvBadBranch = QT_TRANSLATE_NOOP("core", "分支“%1”应是 A 或 B。");
inline constexpr const char* kCsvTextDiffers = QT_TRANSLATE_NOOP("core", "%1“%2”与同一测点第 %3 行的“%4”不一样。");
inline constexpr const char* kCsvRepeatedHeader = QT_TRANSLATE_NOOP("core", "与表头（第 %1 行）一样：表头重复了？");
inline constexpr const char* kCsvAfterRefused =
    QT_TRANSLATE_NOOP("core", "没有测点信息，接续的是第 %1 行的测点，而那一行被拒绝了。");
// The checks of imported stations (after "第 N 行：" when the row is known).
inline constexpr const char* kCheckTooManySpacings = QT_TRANSLATE_NOOP("core", "测点“%1”有 %2 个极距，一个测深点最多 %3 个。");
inline constexpr const char* kCheckTooManyPoints = QT_TRANSLATE_NOOP("core", "测线“%1”有 %2 个测点，一条测线最多 %3 个。");
inline constexpr const char* kCheckBadSpacing =
    QT_TRANSLATE_NOOP("core", "测点“%1”第 %2 个读数的 AB/2 是 %3，不合法：要大于 0、不超过 10000。");
inline constexpr const char* kCheckBadRho =
    QT_TRANSLATE_NOOP("core", "测点“%1”第 %2 个读数的 视电阻率 是 %3，不合法：要大于 0、不超过 50000。");
inline constexpr const char* kCheckNoRho =
    QT_TRANSLATE_NOOP("core", "测点“%1”第 %2 个读数的 视电阻率缺了，不合法：要大于 0、不超过 50000。");
inline constexpr const char* kCheckBadPointNo =
    QT_TRANSLATE_NOOP("core", "测线“%1”第 %2 个读数的 点号 是 %3，不合法：要大于 0、不超过 10000。");
inline constexpr const char* kCheckBadProfileSpacing =
    QT_TRANSLATE_NOOP("core", "测线“%1”第 %2 个读数的 AB/2 是 %3，不合法：要大于 0、不超过 50000。");
inline constexpr const char* kCheckNoProfileSpacing =
    QT_TRANSLATE_NOOP("core", "测线“%1”第 %2 个读数的 AB/2缺了，不合法：要大于 0、不超过 50000。");
inline constexpr const char* kCheckSpacingNearRow =
    QT_TRANSLATE_NOOP("core", "测点“%1”第 %2 个读数的 AB/2 %3 与第 %4 行的 %5 相差不到 0.1，极距重复了。");
inline constexpr const char* kCheckSpacingNearReading =
    QT_TRANSLATE_NOOP("core", "测点“%1”第 %2 个读数的 AB/2 %3 与第 %4 个读数的 %5 相差不到 0.1，极距重复了。");
inline constexpr const char* kCheckPointNearRow =
    QT_TRANSLATE_NOOP("core", "测线“%1”第 %2 个读数的 点号 %3 与第 %4 行的 %5 相差不到 0.1，点号重复了。");
inline constexpr const char* kCheckPointNearReading =
    QT_TRANSLATE_NOOP("core", "测线“%1”第 %2 个读数的 点号 %3 与第 %4 个读数的 %5 相差不到 0.1，点号重复了。");
inline constexpr const char* kCheckBranchesFull =
    QT_TRANSLATE_NOOP("core", "一条联合剖面测线最多 %1 个分支，已经满了，分支“%2”加不进去。");
inline constexpr const char* kCheckSameAsSurvey =
    QT_TRANSLATE_NOOP("core", "测点“%1”与已输入的测点“%2”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。");
inline constexpr const char* kCheckSameAsRow =
    QT_TRANSLATE_NOOP("core", "测点“%1”与第 %2 行的测点“%3”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。");
inline constexpr const char* kCheckSameAsImported =
    QT_TRANSLATE_NOOP("core", "测点“%1”与导入的测点“%2”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。");
// Commands without window (fieldinput --fit, --export-csv).
inline constexpr const char* kBatchMissingValue = QT_TRANSLATE_NOOP("core", "选项 %1 后面缺少值。");
inline constexpr const char* kBatchBadLayers = QT_TRANSLATE_NOOP("core", "--layers 应是 1 到 %2 的整数或 auto，不是“%1”。");
inline constexpr const char* kBatchBadError = QT_TRANSLATE_NOOP("core", "--error 应是大于 0、不超过 100 的百分数，不是“%1”。");
inline constexpr const char* kBatchUnknownOption = QT_TRANSLATE_NOOP("core", "不认识的选项：%1");
inline constexpr const char* kBatchExtraArgument = QT_TRANSLATE_NOOP("core", "多余的参数：%1");
inline constexpr const char* kBatchWriteFailed = QT_TRANSLATE_NOOP("core", "无法写入文件 %1：%2");
inline constexpr const char* kBatchNotGbk = QT_TRANSLATE_NOOP("core", "文件“%1”中有不是 GBK 编码的文字，没有导出：%2");
inline constexpr const char* kBatchNotFitted = QT_TRANSLATE_NOOP("core", "测点“%1”没有拟合，保留原来的模型：%2");
// Lists of column names, joined with "、" (JoinNames). The longest list a message holds has
// eight names: a list longer than six is read as six, the last of them a list again. They
// come last in kAll, so that every other template is tried before them.
inline constexpr const char* kList2 = QT_TRANSLATE_NOOP("core", "%1、%2");
inline constexpr const char* kList3 = QT_TRANSLATE_NOOP("core", "%1、%2、%3");
inline constexpr const char* kList4 = QT_TRANSLATE_NOOP("core", "%1、%2、%3、%4");
inline constexpr const char* kList5 = QT_TRANSLATE_NOOP("core", "%1、%2、%3、%4、%5");
inline constexpr const char* kList6 = QT_TRANSLATE_NOOP("core", "%1、%2、%3、%4、%5、%6");

// Every template above, for the window's translation of composed texts.
inline constexpr const char* kAll[] = {
    kStationCount,    kIllegalSpacing,  kRepeatedSpacing, kCellName,         kLineOnly,        kSpacingCount,   kSpacingNotNumber,
    kSpacingRange,    kSpacingOrder,    kUnsavableField,  kDeleteStation,    kPasteTooLong,   kPasteDropped,
    kMoreProblems,    kDroppedRecords,  kReplaceLineFile, kLineNameFault,    kLinesShareFile, kManyRowsQuestion, kSaveFileFailed, kFileTooLarge,
    kBytes,           kRecoveryVersion, kRecoveryShort,   kRecoveryExtra,    kRecoveryUnreadable, kStationsInFile,
    kLinesInFile,     kBranchesInFile,  kNamedFile,       kLineOfFile,       kCannotOpenFile, kReadFailed,
    kOpenTooLarge,    kNotFourPole,     kCountSaysMore,   kTooManyRows,      kEndsInStation,  kStationNotNumber,
    kSkippedRecords,  kOpenPart,        kTooFewNumbers,   kNotANumberField,  kNoValueField,   kTooManyPoints,
    kCsvSameColumn, kCsvDuplicateColumns, kCsvMixedColumns, kCsvNoReadingColumn, kCsvMissingColumns,
    kCsvUndecidedEncoding, kCsvBadQuote, kCsvUnclosedQuote, kCsvHeaderOnly, kCsvCannotOpen, kCsvStationUnused,
    kCsvUnknownHeader, kCsvFieldNotOfType, kCsvMissingColumnsChosen, kCsvUnnamedColumn, kCsvTooManyCells, kCsvTooManyCellsComma, kCsvTooFewCells, kCsvNotANumber,
    kCsvNotANumberComma, kCsvNotANumberThousands, kCsvBlank, kCsvLineBreak, kCsvControlChar, kCsvNotGbkBytes, kCsvNotUtf8Bytes,
    kCsvReplacementChar, kCsvNoGbkChar, kCsvNoGbkCharTryGbk, kCsvBadBranch, kCsvTextDiffers, kCsvRepeatedHeader,
    kCsvAfterRefused, kCheckTooManySpacings, kCheckTooManyPoints, kCheckBadSpacing, kCheckBadRho, kCheckNoRho,
    kCheckBadPointNo, kCheckBadProfileSpacing, kCheckNoProfileSpacing, kCheckSpacingNearRow, kCheckSpacingNearReading,
    kCheckPointNearRow, kCheckPointNearReading, kCheckBranchesFull, kCheckSameAsSurvey, kCheckSameAsRow,
    kCheckSameAsImported, kBatchMissingValue, kBatchBadLayers, kBatchBadError, kBatchUnknownOption,
    kBatchExtraArgument, kBatchWriteFailed, kBatchNotGbk, kBatchNotFitted,
    // Lists last (see above).
    kList6, kList5, kList4, kList3, kList2,
};
}  // namespace tmpl

// A text about a row of a file ("第 N 行：" and the text), or the text alone when the row is
// unknown (0).
inline std::string AtFileRow(int row, const std::string& text) {
  return row > 0 ? Fill(tmpl::kLineOfFile, {std::to_string(row), text}) : text;
}
