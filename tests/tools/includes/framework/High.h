// A portable unit of the upper level. It includes and names Qt, which only a back end may;
// QWidget in a comment, "QWidget" in a string and QObject in a block comment are no offence.
#pragma once

#include "Low.h"

#include <QWidget>
#include <sys/mman.h>
#include <vector>

class QWidget;
const char* const Name = "QWidget \" /* QObject";
const char Quote = '"'; // QWidget after a quote character
/* QObject, and on the next line
   QObject */
void Focus(int Reason = Qt::NoFocusReason); // QWidget
