// The constants block: the literal texts of program code, laid out as one read-only block.
// A pointer into it may be freed and resized like a heap value (the runtime knows the
// block's range), so program code hands these texts out freely.
#pragma once

namespace kx::image {

struct ConstantsBlock {
    char emptyText[1];
    char localTimePrefix[sizeof "当前时间："];
    char networkTimePrefix[sizeof "北京时间："];
    char failureMarker[sizeof "100"];
    char warningTitle[sizeof "警告"];
    char fetchFailedMessage[sizeof "获取网络时间失败，请检查网络设置！"];
};

extern const ConstantsBlock kConstants;

}  // namespace kx::image
