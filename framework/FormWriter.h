// Writes a root component and the components nested under it in the text form format that
// FormReader reads: only what differs from the declared defaults, in registry order.
#pragma once

#include "Classes.h"

#include <string>

// UTF-8 text. EWriteError when a class is not registered or a string cannot be written.
std::string WriteComponentText(const TComponent* Root);
