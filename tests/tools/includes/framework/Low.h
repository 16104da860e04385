// Includes the unit above it.
#pragma once

#include "High.h"
