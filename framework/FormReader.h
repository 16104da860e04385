// Reads a stored form definition in the text form format into a root component (a form) and
// the components it names: properties, nested objects, collections, string lists, binary data,
// component references and event handlers bound to the root's published methods.
#pragma once

#include "Classes.h"

#include <string_view>

// Text is the UTF-8 form file. Every failure is an EReadError naming the line; the components
// created before it are freed again.
void ReadComponentText(TComponent* Root, std::string_view Text);
// Reads the form file compiled into the program as the resource ":/forms/<ResourceName>".
void ReadComponentRes(TComponent* Root, const AnsiString& ResourceName);
