#include "core/model/OutRoute.h"

CAudio_OutRoute::CAudio_OutRoute()
    : ChannelRoute({{
          {"1", RGB(6, 100, 221)},
          {"2", RGB(255, 0, 255)},
          {"3", RGB(255, 255, 196)},
          {"4", RGB(255, 128, 128)},
          {"5", RGB(128, 255, 255)},
          {"6", RGB(128, 128, 255)},
          {"7", RGB(255, 128, 192)},
          {"8", RGB(255, 128, 64)},
      }}) {}
