// Telling a fresh press from a held key's repeats, the three ways a system repeats a key.
#include "keyboard/KeyPresses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
constexpr uint32_t kEnter = 36, kEsc = 9;

struct SEvent
{
    char cWhat; // 'p' press, 'r' release
    uint32_t nKey;
    uint64_t nStamp;
    bool bRepeat = false; // the platform's mark
};

TEST(KeyPresses, RepeatsAreToldFromFreshPressesHoweverTheSystemRepeats)
{
    struct SCase
    {
        const char* pszName;
        std::vector<SEvent> events;
        std::string verdicts; // per press: 'f' fresh, 'r' repeat
    };
    const SCase cases[] = {
        {"release and press pairs with one stamp",
         {{'p', kEnter, 100},
          {'r', kEnter, 600},
          {'p', kEnter, 600},
          {'r', kEnter, 633},
          {'p', kEnter, 633},
          {'r', kEnter, 700},
          {'p', kEnter, 900}},
         "frrf"},
        {"presses alone while the key is down",
         {{'p', kEnter, 100}, {'p', kEnter, 600}, {'p', kEnter, 633}, {'r', kEnter, 700}, {'p', kEnter, 900}},
         "frrf"},
        {"the platform's mark, without stamps",
         {{'p', kEnter, 0},
          {'r', kEnter, 0, true},
          {'p', kEnter, 0, true},
          {'r', kEnter, 0},
          {'p', kEnter, 0}},
         "frf"},
        {"one event seen again on its way to the parents",
         {{'p', kEnter, 100}, {'p', kEnter, 100}, {'r', kEnter, 600}, {'p', kEnter, 600}, {'p', kEnter, 600}},
         "ffrr"},
        {"each key on its own",
         {{'p', kEnter, 100},
          {'p', kEsc, 300},
          {'r', kEsc, 350},
          {'r', kEnter, 600},
          {'p', kEnter, 600},
          {'r', kEnter, 700},
          {'p', kEsc, 800}},
         "ffrf"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CKeyPresses presses;
        std::string strVerdicts;
        for (const SEvent& e : c.events)
        {
            if (e.cWhat == 'p')
                strVerdicts += presses.Press(e.nKey, e.nStamp, e.bRepeat) ? 'r' : 'f';
            else
                presses.Release(e.nKey, e.nStamp);
        }
        EXPECT_EQ(c.verdicts, strVerdicts);
    }
}

TEST(KeyPresses, AKeyLetGoOfElsewhereIsFreshOnceTheKeyboardComesBack)
{
    CKeyPresses presses;
    EXPECT_FALSE(presses.Press(kEnter, 100, false));
    // Its release went to another program.
    presses.Clear();
    EXPECT_FALSE(presses.Press(kEnter, 5000, false));
}
} // namespace
