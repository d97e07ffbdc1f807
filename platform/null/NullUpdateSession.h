// The update session of a build or a machine without network access: nothing is downloaded.
#pragma once

#include "platform/UpdateSession.h"

class CNullUpdateSession : public IUpdateSession
{
  public:
    bool Connect() override { return false; }
    bool Download(const std::string& strUrl, std::string& strBody, const FStatusLine& fStatus) override;
    void Cancel() override {}
};
