#include "app/Settings.h"

#include "app/FileHelpers.h"
#include "app/Messages.h"
#include "app/TextHelpers.h"

#include <utility>
#include <variant>
#include <vector>

namespace
{
struct SSetting
{
    const char* pName;
    std::variant<float CSettings::*, int32_t CSettings::*, bool CSettings::*> pValue;
};

// Our own value beside the twelve: a text, stored only once there is a name to store.
constexpr const char* kDeviceNameValue = "DeviceName";

// The twelve values that load, save and import handle, in their order.
const SSetting kSettings[] = {
    {"Frequency", &CSettings::Frequency},
    {"Volume", &CSettings::Volume},
    {"Synth", &CSettings::Synth},
    {"DeviceIndex", &CSettings::DeviceIndex},
    {"SynthMode", &CSettings::SynthMode},
    {"OscilatorMode", &CSettings::OscilatorMode},
    {"ProjectType", &CSettings::ProjectType},
    {"AllPlay", &CSettings::AllPlay},
    {"PrePause", &CSettings::PrePause},
    {"PlayNoEnd", &CSettings::PlayNoEnd},
    {"BaseNote", &CSettings::BaseNote},
    {"MusicType", &CSettings::MusicType},
};

// The member a pointer to member of CSettings names, by its type.
template <class P> struct SMemberOf;
template <class T> struct SMemberOf<T CSettings::*>
{
    using Type = T;
};

void FromText(CSettings& settings, const SSetting& setting, const std::string& strText)
{
    std::visit(
        [&](auto p)
        {
            using T = typename SMemberOf<decltype(p)>::Type;
            if constexpr (std::is_same_v<T, float>)
                settings.*p = static_cast<float>(TextToFloat(strText));
            else if constexpr (std::is_same_v<T, bool>)
                settings.*p = TextToInt(strText) != 0;
            else
                settings.*p = TextToInt(strText);
        },
        setting.pValue);
}

std::string ToText(const CSettings& settings, const SSetting& setting)
{
    return std::visit(
        [&](auto p) -> std::string
        {
            using T = typename SMemberOf<decltype(p)>::Type;
            if constexpr (std::is_same_v<T, float>)
                return FloatToText(static_cast<double>(settings.*p));
            else if constexpr (std::is_same_v<T, bool>)
                return settings.*p ? "1" : "0";
            else
                return IntToText(settings.*p);
        },
        setting.pValue);
}

std::vector<std::pair<std::string, SRegValue>>
AsValues(const std::vector<std::pair<std::string, std::string>>& arrTexts)
{
    std::vector<std::pair<std::string, SRegValue>> values;
    for (const auto& [strName, strText] : arrTexts)
        values.emplace_back(strName, SRegValue{EValueType::String, strText});
    return values;
}

} // namespace

TextPieces SSettingsProblem::Pieces() const
{
    TextPieces arrText{{bWriting ? Msg::kSettingsNotSaved : Msg::kSettingsNotRead}};
    if (!strFolder.empty())
    {
        arrText.push_back({bWriting ? Msg::kSettingsNotSavedFolder : Msg::kSettingsNotReadFolder});
        arrText.push_back(Value(strFolder));
    }
    arrText.push_back(Value("\n"));
    arrText.push_back(nError == kNotRegularFileError ? STextPiece{Msg::kNotRegularFile}
                                                     : Value(SystemErrorText(nError)));
    arrText.push_back(Value("\n"));
    arrText.push_back({Msg::kSettingsInMemory});
    return arrText;
}

SSettingsProblem CSettings::Failure(int nError) const
{
    SSettingsProblem problem;
    problem.strFolder = m_store.Location(ERoot::CurrentUser);
    problem.nError = nError;
    return problem;
}

// One write for all of them: one failure to report, and the file rewritten once.
std::optional<SSettingsProblem>
CSettings::StoreValues(const std::vector<std::pair<std::string, SRegValue>>& values) const
{
    if (int nError = m_store.WriteValues(ERoot::CurrentUser, kSettingsKey, values))
        return Failure(nError);
    return std::nullopt;
}

void CSettings::LoadFrom(ERoot eRoot)
{
    for (const SSetting& setting : kSettings)
    {
        if (auto text = ReadText(eRoot, setting.pName))
            FromText(*this, setting, *text);
    }
    if (auto text = ReadText(eRoot, kDeviceNameValue))
        DeviceName = *text;
}

void CSettings::ShowProblem(const SSettingsProblem& problem) const
{
    ShowMessage(m_prompter, problem.Pieces(), Msg::kRegisterErrorCaption, EIcon::Error);
}

std::optional<std::string> CSettings::ReadText(ERoot eRoot, const std::string& strName) const
{
    auto value = m_store.Read(eRoot, kSettingsKey, strName);
    if (!value || (value->eType != EValueType::String && value->eType != EValueType::ExpandString))
        return std::nullopt;
    // A value written by another program may hold a zero byte: the text ends there.
    std::string strText = value->strData;
    strText.resize(strText.find('\0') == std::string::npos ? strText.size() : strText.find('\0'));
    return strText;
}

bool CSettings::WriteText(const std::string& strName, const std::string& strText) const
{
    int nError =
        m_store.Write(ERoot::CurrentUser, kSettingsKey, strName, SRegValue{EValueType::String, strText});
    if (nError == 0)
        return true;
    ShowProblem(Failure(nError));
    return false;
}

void CSettings::Load()
{
    LoadFrom(ERoot::CurrentUser);
    if (auto text = ReadText(ERoot::CurrentUser, kMidiInSetting))
        MidiInName = *text;
}

std::vector<std::pair<std::string, std::string>> CSettings::OwnTexts() const
{
    return {{kMidiInSetting, MidiInName}};
}

std::vector<std::pair<std::string, std::string>> CSettings::Texts() const
{
    std::vector<std::pair<std::string, std::string>> arrTexts;
    for (const SSetting& setting : kSettings)
        arrTexts.emplace_back(setting.pName, ToText(*this, setting));
    if (!DeviceName.empty())
        arrTexts.emplace_back(kDeviceNameValue, DeviceName);
    return arrTexts;
}

bool CSettings::SaveTexts(const std::vector<std::pair<std::string, std::string>>& arrTexts) const
{
    if (auto problem = StoreValues(AsValues(arrTexts)))
    {
        ShowProblem(*problem);
        return false;
    }
    return true;
}

void CSettings::Save() const
{
    SaveTexts(Texts());
}

std::optional<SSettingsProblem> CSettings::Import()
{
    LoadFrom(ERoot::LocalMachine);
    auto arrTexts = Texts();
    arrTexts.emplace_back("", DataFolder());
    return StoreValues(AsValues(arrTexts));
}

void CSettings::LoadExtView()
{
    std::string strText = ReadText(ERoot::CurrentUser, "ExtView").value_or("No");
    if (strText == "Yes")
        ExtView = true;
    else if (strText == "No")
        ExtView = false;
}

std::optional<SSettingsProblem> CSettings::LoadAtStartup()
{
    std::optional<SSettingsProblem> problem;
    if (int nError = m_store.CheckReadable(ERoot::CurrentUser))
    {
        // Every read comes back empty, and the import would only be refused when it writes:
        // say it once and go on with what is in memory.
        problem = Failure(nError);
        problem->bWriting = false;
    }
    else if (!ReadText(ERoot::CurrentUser, ""))
        problem = Import();
    LoadExtView();
    Load();
    if (problem)
        ShowProblem(*problem);
    return problem;
}

const std::string& CSettings::CodePage() const
{
    if (!m_strCodePage)
        m_strCodePage = CodePageName(m_store);
    return *m_strCodePage;
}
