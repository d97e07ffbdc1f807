#include "cli/EditCommand.h"

#include "app/FileHelpers.h"
#include "cli/CliFiles.h"
#include "platform/Prompter.h"
#include "project/ProjectPlayer.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

namespace
{
// Says the program's messages on standard error, and answers the open-notes question as
// --close-open-notes says; without it the question is not answered but noted, so that the
// command can refuse the edit instead of guessing.
class CEditPrompter : public IPrompter
{
  public:
    explicit CEditPrompter(std::optional<bool> answer) : m_answer(answer) {}
    EAnswer Ask(const SMessage& message) override
    {
        ++m_nSaid;
        std::fprintf(stderr, "%s: %s\n", message.strCaption.c_str(), message.strText.c_str());
        if (message.eButtons != EButtons::YesNo)
            return EAnswer::Ok;
        if (!m_answer)
        {
            m_bUnanswered = true;
            return EAnswer::No;
        }
        return *m_answer ? EAnswer::Yes : EAnswer::No;
    }
    int Said() const { return m_nSaid; }
    bool Unanswered() const { return m_bUnanswered; }

  private:
    std::optional<bool> m_answer;
    int m_nSaid = 0;
    bool m_bUnanswered = false;
};

// "A:B" as two whole numbers; false for anything else.
bool ParseRange(const std::string& strRange, int& nFirst, int& nSecond)
{
    int nRead = 0;
    return std::sscanf(strRange.c_str(), "%d:%d%n", &nFirst, &nSecond, &nRead) == 2 &&
           static_cast<size_t>(nRead) == strRange.size();
}

bool ParseWhole(const std::string& strNumber, int& nValue)
{
    int nRead = 0;
    return std::sscanf(strNumber.c_str(), "%d%n", &nValue, &nRead) == 1 &&
           static_cast<size_t>(nRead) == strNumber.size();
}

const std::pair<const char*, EEditStep> kStepOptions[] = {
    {"select", EEditStep::Select},
    {"select-all", EEditStep::SelectAll},
    {"copy", EEditStep::Copy},
    {"cut", EEditStep::Cut},
    {"delete", EEditStep::Delete},
    {"paste-after", EEditStep::PasteAfter},
    {"remove-gaps", EEditStep::RemoveGaps},
};
} // namespace

CLI::App* AddEditCommand(CLI::App& app, SEditArgs& args)
{
    CLI::App* pEdit = app.add_subcommand(
        "edit", "Edit a project as the Edit menu does, the steps in the order given, into OUT "
                "(OUT may be IN: it is replaced in one piece, never half-written)");
    pEdit->add_option("IN", args.strIn, "Project (.tgp) to edit; it is only read")->required();
    pEdit->add_option("-o,--output", args.strOut, "Project to write (OUT)")->required();
    pEdit
        ->add_option("--close-open-notes", args.strCloseOpenNotes,
                     "Answer to 'close the notes left open?' for every step that asks it; without it "
                     "such a step is refused and nothing is written")
        ->check(CLI::IsMember({"yes", "no"}));
    auto step = [](CLI::Option* pOption)
    {
        pOption->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        pOption->group("Steps (applied in the order given)");
        return pOption;
    };
    auto flag = [pEdit](const std::string& strName, const std::string& strDescription)
    { return pEdit->add_flag(strName, strDescription); };
    const CLI::Validator range(
        [](std::string& str)
        {
            int a = 0, b = 0;
            return ParseRange(str, a, b) ? std::string{} : "expected A:B, two whole record numbers";
        },
        "");
    const CLI::Validator whole(
        [](std::string& str)
        {
            int n = 0;
            return ParseWhole(str, n) ? std::string{} : "expected a whole record number";
        },
        "");
    step(pEdit->add_option("--select", "Select records A to B (counted from 1)"))
        ->expected(1)
        ->type_name("A:B")
        ->check(range);
    step(flag("--select-all", "Select every record"));
    step(flag("--copy", "Copy the selection into the clip"));
    step(flag("--cut", "Copy the selection into the clip, then delete it"));
    step(flag("--delete", "Delete the selection"));
    step(pEdit->add_option("--paste-after", "Paste the clip after record N (1 or less: after the first)"))
        ->expected(1)
        ->type_name("N")
        ->check(whole);
    step(flag("--remove-gaps", "Drop the silence before the first note"));
    return pEdit;
}

void TakeEditSteps(const CLI::App& edit, SEditArgs& args)
{
    // CLI11 keeps each option's values apart; its parse order says how they interleave.
    std::map<const CLI::Option*, size_t> used;
    for (const CLI::Option* pOption : edit.parse_order())
    {
        for (const auto& [pName, eStep] : kStepOptions)
        {
            if (!pOption->check_lname(pName))
                continue;
            SEditStep step{eStep, std::string("--") + pName};
            const size_t nIndex = used[pOption]++;
            if (eStep == EEditStep::Select || eStep == EEditStep::PasteAfter)
            {
                const std::string& strValue = pOption->results().at(nIndex);
                step.strOption += " " + strValue;
                if (eStep == EEditStep::Select)
                    ParseRange(strValue, step.nFirst, step.nSecond);
                else
                    ParseWhole(strValue, step.nFirst);
            }
            args.steps.push_back(step);
        }
    }
}

int RunEdit(const SEditArgs& args)
{
    std::vector<uint8_t> project;
    if (!ReadForCli(args.strIn, project))
        return 2;
    std::optional<bool> answer;
    if (!args.strCloseOpenNotes.empty())
        answer = args.strCloseOpenNotes == "yes";
    CEditPrompter prompter(answer);
    CProjectPlayer player(prompter);
    player.SetData(project);
    // Damage is found before the first step, so that no step half-runs on it; counting says it
    // the way Select all does.
    player.CountRecords();
    if (prompter.Said() > 0)
        return 2;

    float fSelStart = 0, fSelEnd = 0;
    std::unique_ptr<CProjectPlayer> pClip;
    int nStep = 0;
    for (const SEditStep& step : args.steps)
    {
        ++nStep;
        player.SetData(project);
        player.m_fMarkStart = fSelStart;
        player.m_fMarkEnd = fSelEnd;
        std::optional<std::vector<uint8_t>> result;
        bool bChanges = true;
        switch (step.eStep)
        {
        case EEditStep::Select:
            fSelStart = static_cast<float>(step.nFirst);
            fSelEnd = static_cast<float>(step.nSecond);
            bChanges = false;
            break;
        case EEditStep::SelectAll:
            fSelStart = 1;
            fSelEnd = static_cast<float>(player.CountRecords());
            bChanges = false;
            break;
        case EEditStep::Copy:
            pClip = player.Copy();
            bChanges = false;
            break;
        case EEditStep::Cut:
            pClip = player.Copy();
            if (!prompter.Unanswered())
                result = player.Delete();
            break;
        case EEditStep::Delete:
            result = player.Delete();
            break;
        case EEditStep::PasteAfter:
            result = player.Paste(pClip.get(), step.nFirst);
            break;
        case EEditStep::RemoveGaps:
            result = player.RemoveGaps();
            break;
        }
        if (prompter.Unanswered())
        {
            std::fprintf(stderr,
                         "%s: step %d (%s) would leave notes on without their note off, or note offs "
                         "without their note on; nothing written. Say --close-open-notes yes to close the "
                         "open notes, or no to keep the records as they are.\n",
                         args.strIn.c_str(), nStep, step.strOption.c_str());
            return 1;
        }
        if (!bChanges)
            continue;
        if (!result)
            return 2; // the step has said what is wrong with the project
        project = std::move(*result);
    }

    int nError = 0;
    if (!WriteWholeFile(args.strOut, project, &nError))
    {
        std::fprintf(stderr, "%s: %s\n", args.strOut.c_str(), std::strerror(nError));
        return 1;
    }
    return 0;
}
