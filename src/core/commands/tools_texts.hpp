#pragma once
// The tools window's labels, captions and column heads; its messages are in
// messages_tools.hpp, and each command's messages in that command's part of
// the catalogue.

#include <string_view>

namespace quillmere::tools_texts {

using Text = std::u16string_view;

inline constexpr Text kWindowTitle = u"Quillmere 工具箱";
inline constexpr Text kSettingsFile = u"工具箱设置.txt";
inline constexpr Text kTabs = u"工具";
inline constexpr Text kMessage = u"结果";
inline constexpr Text kProgress = u"进度";
inline constexpr Text kCancel = u"取消";
inline constexpr Text kBrowse = u"浏览…";
inline constexpr Text kBrowseFor = u"浏览：";  // + the box's label, as the button's accessible name
inline constexpr Text kRun = u"执行";
inline constexpr Text kWorking = u"正在执行…";
inline constexpr Text kAllFiles = u"所有文件|*.*";
inline constexpr Text kTableFiles = u"码表文件|*.tbl;*.txt|所有文件|*.*";
inline constexpr Text kTextFiles = u"文本文件|*.txt|所有文件|*.*";
inline constexpr Text kFromMainWindow = u"（主窗口的过滤区）";

// The settings every tab shares.
inline constexpr Text kShared = u"共用设置";
inline constexpr Text kRom = u"ROM文件";
inline constexpr Text kMode = u"ROM类型";
inline constexpr Text kModeSingle = u"单字节ROM";
inline constexpr Text kModeDouble = u"双字节ROM";
inline constexpr Text kModeBoth = u"单双字节混合ROM";
inline constexpr Text kTable2 = u"双字节码表";
inline constexpr Text kTable1 = u"单字节码表";
inline constexpr Text kFilter2 = u"双字节过滤文件";
inline constexpr Text kFilter1 = u"单字节过滤文件";
inline constexpr Text kEncoding = u"文本编码";
inline constexpr Text kGbk = u"GBK";
inline constexpr Text kUtf8 = u"UTF-8";
inline constexpr Text kHexBytes = u"{$XX}按字节读取";

// 码表: a table made for other tools.
inline constexpr Text kTableTab = u"码表";
inline constexpr Text kConvertSource = u"源码表";
inline constexpr Text kSourceEncoding = u"源编码";
inline constexpr Text kAutomatic = u"自动";
inline constexpr Text kOutEncoding = u"输出编码";
inline constexpr Text kOutTable1 = u"单字节码表（写入）";
inline constexpr Text kOutTable2 = u"双字节码表（写入）";
inline constexpr Text kOutFilter1 = u"单字节过滤文件（写入）";
inline constexpr Text kOutFilter2 = u"双字节过滤文件（写入）";
inline constexpr Text kConvert = u"转换";
inline constexpr Text kReport = u"报告";

// 检查: every entry against the tables and the box limits.
inline constexpr Text kCheckTab = u"检查";
inline constexpr Text kScript = u"脚本文件";
inline constexpr Text kRangeLow = u"控制码下限";
inline constexpr Text kRangeHigh = u"控制码上限";
inline constexpr Text kLineBreak = u"换行标记";
inline constexpr Text kPageBreak = u"换页标记";
inline constexpr Text kMaxChars = u"每行字数";
inline constexpr Text kMaxLines = u"每框行数";
inline constexpr Text kMaxWidth = u"每行像素";
inline constexpr Text kWidths = u"字宽文件";
inline constexpr Text kDefaultWidth = u"默认字宽";
inline constexpr Text kNoLimit = u"不限";
inline constexpr Text kCheckAll = u"列出所有出错条目";
inline constexpr Text kPointerList = u"指针列表";
inline constexpr Text kFreeBlocks = u"空闲空间（起-止，可多段，以空格分隔）";
inline constexpr Text kAlign = u"对齐";
inline constexpr Text kMoves = u"移动";
inline constexpr Text kCheck = u"检查";
inline constexpr Text kProblems = u"问题";
inline constexpr Text kAddress = u"地址";
inline constexpr Text kLine = u"行";
inline constexpr Text kMessageColumn = u"信息";
inline constexpr Text kEntryText = u"条目文本";

// 查找: a word in a ROM.
inline constexpr Text kFindTab = u"查找";
inline constexpr Text kFindMode = u"查找方式";
inline constexpr Text kFindRelative = u"相对差值";
inline constexpr Text kFindValues = u"编码数值";
inline constexpr Text kFindPattern = u"字形规律";
inline constexpr Text kFindText = u"按码表";
inline constexpr Text kFindQuery = u"查找内容";
inline constexpr Text kFindSequence = u"字符顺序";
inline constexpr Text kFindValueList = u"数值";
inline constexpr Text kFindRange = u"地址范围";
inline constexpr Text kFindWidth = u"编码宽度";
inline constexpr Text kFindOrder = u"字节顺序";
inline constexpr Text kLittleEndian = u"小端（LE）";
inline constexpr Text kBigEndian = u"大端（BE）";
inline constexpr Text kFindMax = u"最多列出";
inline constexpr Text kFind = u"查找";
inline constexpr Text kHits = u"结果列表";
inline constexpr Text kHitMap = u"对应";
inline constexpr Text kHitPreview = u"预览";
inline constexpr Text kMakeTable = u"由选中结果生成码表";
inline constexpr Text kMakeTableFile = u"码表文件（写入）";

// 补丁: the changes between two images, and release patches.
inline constexpr Text kPatchTab = u"补丁";
inline constexpr Text kOriginal = u"原始ROM";
inline constexpr Text kModified = u"修改后ROM";
inline constexpr Text kDiffGroup = u"差异";
inline constexpr Text kDiffScript = u"脚本文件（解释改动）";
inline constexpr Text kDiff = u"比较";
inline constexpr Text kCreateGroup = u"制作补丁";
inline constexpr Text kPatchFormat = u"补丁格式";
inline constexpr Text kPatchOut = u"补丁文件（写入）";
inline constexpr Text kMetadata = u"元数据文件（仅BPS）";
inline constexpr Text kCreate = u"制作";
inline constexpr Text kApplyGroup = u"应用补丁";
inline constexpr Text kPatchFile = u"补丁文件";
inline constexpr Text kPatchResult = u"结果ROM（写入）";
inline constexpr Text kIgnoreChecksum = u"忽略校验和不符";
inline constexpr Text kApply = u"应用";
inline constexpr Text kPatchFiles = u"补丁文件|*.bps;*.ips;*.ups|所有文件|*.*";

// 协作: a script carried to a translation team's files and back.
inline constexpr Text kExchangeTab = u"协作";
inline constexpr Text kExchangeExportGroup = u"导出为协作文件";
inline constexpr Text kExchangeImportGroup = u"由协作文件导入";
inline constexpr Text kOriginalScript = u"原脚本";
inline constexpr Text kTranslationScript = u"译文脚本（可不填）";
inline constexpr Text kExchangeFormat = u"格式";
inline constexpr Text kCsvEncoding = u"CSV编码";
inline constexpr Text kExchangeOut = u"协作文件（写入）";
inline constexpr Text kExchangeFrom = u"协作文件";
inline constexpr Text kScriptOut = u"译文脚本（写入）";
inline constexpr Text kRequireAll = u"要求全部已翻译";
inline constexpr Text kUseFuzzy = u"采用模糊条目的译文";
inline constexpr Text kExport = u"导出";
inline constexpr Text kImport = u"导入";
inline constexpr Text kExchangeFiles = u"协作文件|*.po;*.csv;*.json|所有文件|*.*";

// 字库: a new code table and font sheet for a translation.
inline constexpr Text kCharsetTab = u"字库";
inline constexpr Text kKeepTable = u"沿用的游戏码表（可不填）";
inline constexpr Text kStartCode = u"起始编码";
inline constexpr Text kSkip = u"跳过的编码段（以空格分隔）";
inline constexpr Text kTrail = u"允许的第二字节段（以空格分隔）";
inline constexpr Text kOrder = u"排列顺序";
inline constexpr Text kOrderAppearance = u"出现顺序";
inline constexpr Text kOrderFrequency = u"出现次数";
inline constexpr Text kOrderGbk = u"GBK编码顺序";
inline constexpr Text kNewTable = u"新码表（写入）";
inline constexpr Text kCharsFile = u"新增字文件（写入，可不填）";
inline constexpr Text kSheetFile = u"字模图（写入PNG，可不填）";
inline constexpr Text kGlyph = u"字模大小（宽x高）";
inline constexpr Text kFontFile = u"字体文件";
inline constexpr Text kColumns = u"每行字数";
inline constexpr Text kMake = u"生成";
inline constexpr Text kTableText = u"新码表内容";
inline constexpr Text kSheetImage = u"字模图";
inline constexpr Text kCellUnderMouse = u"鼠标所指的字";
inline constexpr Text kEmptyCell = u"（空）";
inline constexpr Text kFontFiles = u"字体文件|*.ttf;*.ttc;*.otf;*.bdf;*.pcf|所有文件|*.*";
inline constexpr Text kPngFiles = u"PNG图片|*.png";

// 指针: pointer lists, and an import whose entries move into free space.
inline constexpr Text kPointersTab = u"指针";
inline constexpr Text kListGroup = u"指针列表";
inline constexpr Text kListMethod = u"方式";
inline constexpr Text kByTable = u"按指针表";
inline constexpr Text kByScan = u"按脚本扫描";
inline constexpr Text kPointerAt = u"指针表地址";
inline constexpr Text kPointerCount = u"指针个数";
inline constexpr Text kPointerSize = u"指针字节数";
inline constexpr Text kPointerOrder = u"字节序（LE/BE）";
inline constexpr Text kPointerBase = u"基址";
inline constexpr Text kPointerMap = u"映射";
inline constexpr Text kPointerStride = u"间隔";
inline constexpr Text kSplitHigh = u"高字节表地址";
inline constexpr Text kSplitBank = u"存储体字节表地址";
inline constexpr Text kNullValue = u"空指针值";
inline constexpr Text kScanScript = u"脚本文件（扫描）";
inline constexpr Text kMinRun = u"成表的最少连续指针";
inline constexpr Text kMaxStride = u"表内最大间隔";
inline constexpr Text kTablesOnly = u"只列出指针表中的指针";
inline constexpr Text kListOut = u"指针列表文件（写入，可不填）";
inline constexpr Text kMakeList = u"生成指针列表";
inline constexpr Text kListField = u"字段";
inline constexpr Text kImportGroup = u"带指针的导入";
inline constexpr Text kFill = u"填充字节";
inline constexpr Text kImportOut = u"导入结果（写入）";
inline constexpr Text kPlan = u"预览移动";
inline constexpr Text kImportRun = u"导入";
inline constexpr Text kPlanList = u"移动计划";

}  // namespace quillmere::tools_texts
