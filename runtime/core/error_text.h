// The texts of run-time errors: the numbered messages, the fixed messages of the runtime,
// and the full text of the error box. Pure logic; any thread.
#pragma once

#include <cstdint>
#include <string>

#include "form_collection.h"

namespace kx {

inline constexpr std::int32_t kErrorMessageCount = 11;

// Message of numbered error `code` (1 to 11); empty for any other code.
const char* NumberedErrorMessage(std::int32_t code);

namespace fixed_error {
inline constexpr const char kOutOfMemoryFormat[] = "分配 %d 字节内存失败!";
inline constexpr const char kFormBlockUnreadable[] = "载入窗口模板数据段出错!";
inline constexpr const char kStartFormFailed[] = "载入启动窗口失败";
inline constexpr const char kDllExportMissingFormat[] = "无法找到指定DLL库文件“%s”中的输出命令“%s”";
inline constexpr const char kDllExportMissingNoLibraryFormat[] = "无法找到指定DLL库文件中的输出命令“%s”";
inline constexpr const char kNoExternalSubroutine[] =
    "静态编译的程序不支持调用位于外部支持包中的子程序";
inline constexpr const char kAddressAboveWordRange[] = "地址超出了32位字的范围";
inline constexpr const char kRemainderByZero[] = "不能求余数于零";
inline constexpr const char kEventFormMissing[] = "未找到引发事件的窗口";
inline constexpr const char kEventUnitMissing[] = "未找到引发事件的窗口组件";
inline constexpr const char kEventUnitInvalid[] = "引发事件的窗口组件无效";
inline constexpr const char kPropertyFormMissing[] = "未载入欲访问窗口组件所在的窗口";
inline constexpr const char kReadUnitNotLoaded[] = "读取组件属性时发现指定窗口尚未载入";
inline constexpr const char kWriteUnitNotLoaded[] = "修改组件属性时发现指定窗口尚未载入";
inline constexpr const char kUnitWindowMissing[] = "指定窗口或窗口组件不存在或尚未载入";
}  // namespace fixed_error

inline constexpr char kErrorBoxCaption[] = "错误";
inline constexpr unsigned kErrorBoxStyle = 0x10;  // stop icon, OK button

// Location1 of this kind names a form, and location2 a unit of it (0: the form itself).
inline constexpr std::uint32_t kLocationKindMask = 0x0F000000;
inline constexpr std::uint32_t kLocationKindForm = 0x02000000;

// The whole text of the error box.
std::string BuildErrorReportText(const char* message, std::int32_t code, std::int32_t location1,
                                 std::int32_t location2, const forms::FormCollection& forms);

// printf-style "%d" of the requested size, as the out-of-memory message shows it.
std::string OutOfMemoryMessage(std::uint32_t requestedSize);

}  // namespace kx
