// The main of every test program: the environment CMake chose for the tests (a private settings
// folder, no display, no sound card), then GoogleTest.
#include <gtest/gtest.h>

#ifdef TG_QT_TESTS
#include <QApplication>
#endif

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    std::string strEnv = TG_TEST_ENV;
    size_t nStart = 0;
    while (nStart < strEnv.size())
    {
        size_t nEnd = strEnv.find('|', nStart);
        if (nEnd == std::string::npos)
            nEnd = strEnv.size();
        std::string strLine = strEnv.substr(nStart, nEnd - nStart);
        size_t nEq = strLine.find('=');
        if (nEq != std::string::npos)
            setenv(strLine.substr(0, nEq).c_str(), strLine.substr(nEq + 1).c_str(), 1);
        nStart = nEnd + 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
#ifdef TG_QT_TESTS
    QApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
