// The programs' form files are Qt resources: the exit test's build of a program drops them.
#include "ProbeForms.h"

#include <QtGlobal>

#define QUOVANT_DROP_FORMS(Name) Q_CLEANUP_RESOURCE(Name)

void DropProbeForms() {
    QUOVANT_DROP_FORMS(QUOVANT_PROBE_FORMS);
}
