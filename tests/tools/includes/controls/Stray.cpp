// Takes the layer's glue and Qt outside the layer.
#include "Glue.h"
#include "High.h"

#include <QWidget>
