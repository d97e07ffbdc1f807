// The running program's version: the four numbers of the build, "major.minor.patch.tweak".
#pragma once

#include <string>

std::string ProgramVersion();
