#include "platform/null/NullSynthesizer.h"

#include <algorithm>

void CNullSynthesizer::Render(float* pStereo, int nFrames)
{
    std::fill(pStereo, pStereo + 2 * std::max(nFrames, 0), 0.0f);
}
