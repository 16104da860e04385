// Takes the back end's glue and Qt outside the back end.
#include "Glue.h"
#include "High.h"

#include <QWidget>
