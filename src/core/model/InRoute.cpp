#include "core/model/InRoute.h"

CAudio_InRoute::CAudio_InRoute()
    : ChannelRoute({{
          {"A", RGB(255, 0, 0)},
          {"B", RGB(255, 255, 0)},
          {"C", RGB(0, 255, 0)},
          {"D", RGB(34, 188, 211)},
      }}) {}
