// A prompter for the fuzz targets: every message is answered with OK at once, nothing is shown.
#pragma once

#include "platform/Prompter.h"

class CSilentPrompter : public IPrompter
{
  public:
    EAnswer Ask(const SMessage&) override { return EAnswer::Ok; }
};
