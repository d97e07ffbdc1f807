// tonegrove-cli: the engine without a window, for scripts and checks.
#include "cli/InfoCommand.h"

#include <CLI/CLI.hpp>
#include <clocale>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    CLI::App app{"Tonegrove without a window"};
    app.require_subcommand(1);

    std::vector<std::string> infoFiles;
    CLI::App* pInfo = app.add_subcommand("info", "Version, records and playing time of project files");
    pInfo->add_option("files", infoFiles, "Project files (.tgp)")->required();

    CLI11_PARSE(app, argc, argv);

    if (pInfo->parsed())
        return RunInfo(infoFiles);
    return 0;
}
