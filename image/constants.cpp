#include "kx/constants.h"

namespace kx::image {

const ConstantsBlock kConstants = {
    "",
    "当前时间：",
    "北京时间：",
    "100",
    "警告",
    "获取网络时间失败，请检查网络设置！",
};

}  // namespace kx::image
