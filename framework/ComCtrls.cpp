#include "Classes.h"
