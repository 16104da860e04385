// Qt glue of the lower unit: it may name Qt types.
#pragma once

#include <QWidget>

QWidget* Window();
