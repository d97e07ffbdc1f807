// The update check: the version the update server offers and its update note, read from the
// two files on the server, and what the About box shows of them. Plain C++, run on a worker
// thread of the About box.
#pragma once

#include "platform/Translatable.h"
#include "platform/UpdateSession.h"

#include <optional>
#include <string>

class CSettings;

inline constexpr const char* kUpdateHostSetting = "UpdateHost";
inline constexpr const char* kUpdateUrlEnv = "TONEGROVE_UPDATE_URL";
inline constexpr const char* kDefaultUpdateHost = "update.tonegrove.org";
inline constexpr const char* kVersionsPath = "/_download/versions.dat";
inline constexpr const char* kNotePath = "/_download/update.dat";
inline constexpr const char* kDownloadPagePath = "/_download/";

// The value of the last line of strText meant for this program: a line whose first word (after
// leading spaces) is "Tonegrove", its value what follows the word's length and one more
// character from the line's start, without the line's carriage return. Lines are split at line
// feeds; empty lines do not count. Nothing when no line qualifies.
std::optional<std::u16string> ScanUpdateText(const std::u16string& strText);

// The server's address, without a final "/": strEnvUrl (a whole "http://host[:port]" address)
// when given and not empty, else "http://" and strHost when given and not empty, else our own
// host.
std::string UpdateServerUrl(const std::optional<std::string>& strEnvUrl,
                            const std::optional<std::string>& strHost);
// The same read from the environment (TONEGROVE_UPDATE_URL) and the settings store (UpdateHost).
std::string ConfiguredUpdateServer(const CSettings& settings);

// What the check writes into the About box; called on the thread that runs the check. Texts
// are UTF-8.
class IUpdateView
{
  public:
    virtual ~IUpdateView() = default;
    virtual void SetOfferedLine(const std::string& strText) = 0; // control 1104
    virtual void SetNoteLine(const std::string& strText) = 0;    // control 1106
    virtual void ShowUpdateButton() = 0;                         // control 1105
    // The lines made of our own texts and what the server said, for a view that translates.
    virtual void SetOfferedText(const TextPieces& arrText) { SetOfferedLine(JoinPieces(arrText)); }
    virtual void SetNoteText(const TextPieces& arrText) { SetNoteLine(JoinPieces(arrText)); }
};

// Downloads versions.dat and update.dat from strServer in turn and shows their status lines and
// what they hold. strVersion: the running version, compared exactly with the offered one.
// strCodePage: the iconv name the files' text is read in.
void CheckForUpdate(IUpdateSession& session, const std::string& strServer, const std::string& strVersion,
                    const std::string& strCodePage, IUpdateView& view);
