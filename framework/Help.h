// Context help: what a control names for F1 (a keyword or a context number), and where the
// request goes (the application installs the handler).
#pragma once

#include "Classes.h"

#include <vector>

class TControl;

enum THelpType { htKeyword, htContext };
const std::vector<const char*>& HelpTypeNames();

// Whether Control names any help: a keyword for htKeyword, a context number other than 0 for
// htContext.
bool HasHelp(const TControl* Control);
// The control whose help F1 on Focused shows: Focused itself, else the nearest of its parents
// (the form last) that names help; null when none does.
const TControl* HelpControl(const TControl* Focused);

using THelpHandler = std::function<void(const TControl* Control)>;
void SetHelpHandler(THelpHandler Handler);
// F1 on Focused: hands the help of HelpControl(Focused), if any, to the installed handler.
void ShowHelp(const TControl* Focused);
