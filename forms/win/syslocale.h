// Fills the text routines' character tables from the operating system for
// the user's default locale. Both programs call it first at start-up.
#pragma once

#include "base/locale.h"

TCharLocale SystemCharLocale();
// SystemCharLocale installed with InstallCharLocale.
void InstallSystemCharLocale();
