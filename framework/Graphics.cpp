#include "Graphics.h"
