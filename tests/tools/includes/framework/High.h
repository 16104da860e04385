// A unit of the upper level.
#pragma once

#include "Low.h"
