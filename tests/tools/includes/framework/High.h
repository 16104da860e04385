// A unit of the upper level. It names Qt types, which a public header must not; QWidget
// in a comment, "QWidget" in a string and QObject in a block comment are no offence.
#pragma once

#include "Low.h"

class QWidget;
const char* const Name = "QWidget \" /* QObject";
const char Quote = '"'; // QWidget after a quote character
/* QObject, and on the next line
   QObject */
void Focus(int Reason = Qt::NoFocusReason); // QWidget
