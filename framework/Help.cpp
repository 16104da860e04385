#include "Help.h"

#include "Controls.h"

namespace {

THelpHandler& HelpHandler() {
    static THelpHandler Handler;
    return Handler;
}

} // namespace

const std::vector<const char*>& HelpTypeNames() {
    static const std::vector<const char*> Names{"htKeyword", "htContext"};
    return Names;
}

bool HasHelp(const TControl* Control) {
    return Control->HelpType() == htKeyword ? !Control->HelpKeyword().empty()
                                            : Control->HelpContext() != 0;
}

const TControl* HelpControl(const TControl* Focused) {
    for (const TControl* C = Focused; C; C = C->Parent())
        if (HasHelp(C))
            return C;
    return nullptr;
}

void SetHelpHandler(THelpHandler Handler) {
    HelpHandler() = std::move(Handler);
}

void ShowHelp(const TControl* Focused) {
    const TControl* Control = HelpControl(Focused);
    if (Control && HelpHandler())
        HelpHandler()(Control);
}
