#include "platform/null/NullMidiOut.h"

namespace
{
class CNullMidiHandle : public IMidiOutHandle
{
  public:
    void ShortMsg(uint32_t) override {}
    void Reset() override {}
};
} // namespace

std::unique_ptr<IMidiOutHandle> CNullMidiOut::Open(int nDevice)
{
    return nDevice == kMidiMapper ? std::make_unique<CNullMidiHandle>() : nullptr;
}
