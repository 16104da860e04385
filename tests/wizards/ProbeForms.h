// The form file compiled into a program built for the exit test.
#pragma once

// Takes it away, so that creating the program's form fails.
void DropProbeForms();
