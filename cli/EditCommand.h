// tonegrove-cli edit: the Edit menu's operations on a project file, as steps in the order the
// command line gives them, written into another file (or the same one) in one piece.
#pragma once

#include <string>
#include <vector>

namespace CLI
{
class App;
}

enum class EEditStep
{
    Select,     // --select A:B: the selection marks, as the window's selection mark sets them
    SelectAll,  // --select-all
    Copy,       // --copy
    Cut,        // --cut: copy, then delete with the same selection
    Delete,     // --delete
    PasteAfter, // --paste-after N
    RemoveGaps, // --remove-gaps
};

struct SEditStep
{
    EEditStep eStep;
    std::string strOption; // as the command line gave it, for the messages
    int nFirst = 0;        // Select: A; PasteAfter: N
    int nSecond = 0;       // Select: B
};

struct SEditArgs
{
    std::string strIn;
    std::string strOut;
    std::string strCloseOpenNotes; // "yes", "no", or empty: refuse an edit that would ask
    std::vector<SEditStep> steps;
};

// Adds the subcommand and its options to app; after app has parsed, TakeEditSteps() gives the steps
// in the order they came.
CLI::App* AddEditCommand(CLI::App& app, SEditArgs& args);
void TakeEditSteps(const CLI::App& edit, SEditArgs& args);

// Exit code: 0 written; 1 an edit would have asked the open-notes question without
// --close-open-notes, or OUT could not be written; 2 IN cannot be read, or is damaged or from a
// future version. OUT is written only when every step succeeded.
int RunEdit(const SEditArgs& args);
