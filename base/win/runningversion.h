// The running system's version, read once (GetVersionExA).
#pragma once

#include "base/winversion.h"

const TWindowsVersion& RunningWindowsVersion();
