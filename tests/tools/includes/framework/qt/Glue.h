// The back end of the upper unit: it may include the toolkit and the system and name Qt types.
#pragma once

#include "High.h"

#include <QWidget>
#include <unistd.h>

QWidget* Window();
