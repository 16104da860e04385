// Qt glue of the lower unit.
#pragma once

#include <QWidget>
