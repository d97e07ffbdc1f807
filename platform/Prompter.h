// Every modal question the program asks (message boxes, later the file dialogs) goes through
// this seam, so that the engine never opens a window and tests can script the answers.
#pragma once

#include "platform/Translatable.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

enum class EIcon
{
    None,
    Error,
    Warning,
    Information,
    Question,
};

enum class EButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
};

enum class EAnswer
{
    Ok,
    Cancel,
    Yes,
    No,
};

// One message box. Texts are UTF-8. bOwned is true when the box belongs to the main window;
// boxes of the settings store, the project checks and the worker threads have no owner.
struct SMessage
{
    // Made as a list of its fields, the pieces last and mostly left out.
    SMessage() = default;
    SMessage(std::string strTextOf, std::string strCaptionOf, EIcon eIconOf = EIcon::None,
             EButtons eButtonsOf = EButtons::Ok, bool bOwnedOf = false, TextPieces arrPiecesOf = {})
        : strText(std::move(strTextOf)), strCaption(std::move(strCaptionOf)), eIcon(eIconOf),
          eButtons(eButtonsOf), bOwned(bOwnedOf), arrPieces(std::move(arrPiecesOf))
    {
    }

    std::string strText;
    std::string strCaption;
    EIcon eIcon = EIcon::None;
    EButtons eButtons = EButtons::Ok;
    bool bOwned = false;
    // When the text joins the program's own texts with values (a number, a path): the pieces
    // strText is made of, so that a prompter that translates can translate our pieces and keep
    // the values. Empty when strText is one text of ours as a whole, or none.
    TextPieces arrPieces;
};

class IPrompter
{
  public:
    virtual ~IPrompter() = default;
    // Shows the message and waits for the answer. May be called from any thread; a GUI backend
    // hands the box over to the window thread.
    virtual EAnswer Ask(const SMessage& message) = 0;

    // Says something that asks nothing, from any thread, without waiting for the user to read
    // it: for news from where nobody may wait (a player thread that holds the outputs' lock,
    // the window thread in the middle of a command). A GUI backend shows it later, on the
    // window thread, in a box no loop waits for.
    virtual void Tell(const SMessage& message) { Ask(message); }

    // The file dialogs of the main window; each gives a path, or an empty text when the user
    // cancels. Paths are the system's bytes (UTF-8).
    // Open: title "Открыть", the four file filters; an empty folder lets the platform choose.
    virtual std::string AskOpenPath(const std::string& strInitialFolder) { return {}; }
    // Save: the given title, the project filter, starting in strInitialFolder (empty lets the
    // platform choose). The path comes back as typed, without the platform's replace question:
    // AskSavePath() below completes the name, and the caller asks before replacing a file.
    virtual std::string AskSavePathAsChosen(const std::string& strTitle, const std::string& strInitialFolder)
    {
        return {};
    }
    // Folder: title "Открыть папку".
    virtual std::string AskFolder() { return {}; }
    // Any other file to open: the given title and filter (Qt's form, "Name (*.ext);;..."),
    // starting at strInitialPath (a file or a folder; empty lets the platform choose).
    virtual std::string AskOpenFilePath(const std::string& strTitle, const std::string& strFilter,
                                        const std::string& strInitialPath)
    {
        return {};
    }
    // Any other file to write: the given title and filter, starting at strInitialPath; the
    // platform asks before a file is replaced. An empty text when the user cancels.
    virtual std::string AskSaveFilePath(const std::string& strTitle, const std::string& strFilter,
                                        const std::string& strInitialPath)
    {
        return {};
    }
    // Shows a document (the help page) in the desktop's viewer; false when it could not.
    virtual bool OpenDocument(const std::string& strPath) { return false; }

    // A worker thread's message is on screen or on its way there. That worker waits for the
    // user, so the window must neither wait for it nor start anything it would wait for.
    virtual bool IsWorkerAsking() const { return false; }
    // bEnd: the program is ending. Worker messages on screen are closed as their close box
    // does, and later ones are answered at once without a box, so that every worker can come
    // to its end. false: worker messages are shown again.
    virtual void EndWorkerMessages(bool bEnd) {}
};

// Writes "caption: text" to standard error and answers with the first button (Ok or Yes).
// It is what the command-line program uses.
class CStderrPrompter : public IPrompter
{
  public:
    EAnswer Ask(const SMessage& message) override;
};

// The save dialog of prompter: ".tgp" is added to a chosen name that does not already end with
// it (in any letter case), so "Song v1.2" becomes "Song v1.2.tgp".
std::string AskSavePath(IPrompter& prompter, const std::string& strTitle,
                        const std::string& strInitialFolder = {});

// strPath with strExtension (".tgp", in small letters) added unless its name already ends with
// it, in any letter case; a name that is only the extension gets it added too.
std::string WithExtension(const std::string& strPath, std::string_view strExtension);

// Shorthand for a box without owner with one OK button.
EAnswer ShowMessage(IPrompter& prompter, const std::string& strText, const std::string& strCaption,
                    EIcon eIcon);
// The same with a text made of pieces (strText their join).
EAnswer ShowMessage(IPrompter& prompter, const TextPieces& arrText, const std::string& strCaption,
                    EIcon eIcon);
