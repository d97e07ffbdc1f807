// Keeps a flag set for the length of a scope: what is under way, for the code it may call back.
#pragma once

class CFlagScope
{
  public:
    explicit CFlagScope(bool& bFlag) : m_bFlag(bFlag) { m_bFlag = true; }
    ~CFlagScope() { m_bFlag = false; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

  private:
    bool& m_bFlag;
};
