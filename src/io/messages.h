#pragma once
// Fixed texts of the file commands and readers, as UTF-8. The window shows them as they are;
// files carry their GBK form.

#include <functional>
#include <string>

namespace msg {
inline constexpr const char* kNoDataToSave = "没有数据可以保存。";
inline constexpr const char* kSaveFailed = "文件保存失败.\n非常抱歉，您的处理结果没有及时保存。";
inline constexpr const char* kNotQlFormat = "打开文件失败!\n数据格式不是QL软件支持的格式.";
inline constexpr const char* kNotVesFormat = "打开文件失败!\n数据格式不是QL软件支持的VES测深文件格式.";
inline constexpr const char* kBadFormat = "数据格式不正确，请检查数据文件。";
inline constexpr const char* kBadSpacing = "数据文件极距错误.";
inline constexpr const char* kBadRho = "数据文件数据视电阻率错误.";
inline constexpr const char* kBadThickness = "数据文件模型层厚度错误.";
inline constexpr const char* kBadLayerRho = "数据文件模型电阻率错误.";
}  // namespace msg

// A message box that a reader asks the window to show. Texts are UTF-8.
struct Notice {
  enum class Icon { Warning, Error };
  std::string text;
  Icon icon = Icon::Warning;
  bool ownerless = false;  // shown without the input window as owner
  bool operator==(const Notice&) const = default;
};
using NoticeFn = std::function<void(const Notice&)>;

// How completely a reader took in an existing file.
enum class ReadStatus {
  Complete,    // every station of the file was read
  CannotOpen,  // the file could not be opened
  Refused,     // the file's marks or station count were not accepted
  Partial,     // reading stopped before the end; only the stations before that point were kept
};
