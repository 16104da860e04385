// The control library's registration: what a program that reads form files calls first.
#pragma once

// Registers the classes and published properties of the platform layer
// (RegisterFrameworkClasses) and of every control of the library, once.
void RegisterControlClasses();
