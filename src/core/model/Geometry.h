#pragma once

#include "core/plot/Geometry.h"
