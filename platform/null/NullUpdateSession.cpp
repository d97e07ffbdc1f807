#include "platform/null/NullUpdateSession.h"

#include "platform/UpdateStatus.h"

bool CNullUpdateSession::Download(const std::string&, std::string&, const FStatusLine& fStatus)
{
    if (fStatus)
        fStatus(UpdateStatus::kNoSession);
    return false;
}
