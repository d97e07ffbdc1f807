#include "app/Settings.h"

#include "app/FileHelpers.h"
#include "app/Messages.h"
#include "app/TextHelpers.h"
#include "platform/Prompter.h"

#include <utility>
#include <variant>
#include <vector>

float Frequency = 0;
float Volume = 0;
float Synth = 0;
int32_t DeviceIndex = 0;
int32_t SynthMode = 0;
int32_t OscilatorMode = 0;
int32_t ProjectType = 1;
bool AllPlay = false;
bool PrePause = false;
bool PlayNoEnd = false;
int32_t BaseNote = 0;
int32_t MusicType = 0;
bool ExtView = false;

namespace
{
struct SSetting
{
    const char* pName;
    std::variant<float*, int32_t*, bool*> pValue;
};

// The twelve values that load, save and import handle, in their order.
const SSetting kSettings[] = {
    {"Frequency", &Frequency},     {"Volume", &Volume},       {"Synth", &Synth},
    {"DeviceIndex", &DeviceIndex}, {"SynthMode", &SynthMode}, {"OscilatorMode", &OscilatorMode},
    {"ProjectType", &ProjectType}, {"AllPlay", &AllPlay},     {"PrePause", &PrePause},
    {"PlayNoEnd", &PlayNoEnd},     {"BaseNote", &BaseNote},   {"MusicType", &MusicType},
};

void FromText(const SSetting& setting, const std::string& strText)
{
    std::visit(
        [&](auto* p)
        {
            using T = std::remove_pointer_t<decltype(p)>;
            if constexpr (std::is_same_v<T, float>)
                *p = static_cast<float>(TextToFloat(strText));
            else if constexpr (std::is_same_v<T, bool>)
                *p = TextToInt(strText) != 0;
            else
                *p = TextToInt(strText);
        },
        setting.pValue);
}

std::string ToText(const SSetting& setting)
{
    return std::visit(
        [](auto* p) -> std::string
        {
            using T = std::remove_pointer_t<decltype(p)>;
            if constexpr (std::is_same_v<T, float>)
                return FloatToText(static_cast<double>(*p));
            else if constexpr (std::is_same_v<T, bool>)
                return *p ? "1" : "0";
            else
                return IntToText(*p);
        },
        setting.pValue);
}

std::vector<std::pair<std::string, SRegValue>> AsValues(const std::vector<std::pair<std::string, std::string>>& arrTexts)
{
    std::vector<std::pair<std::string, SRegValue>> values;
    for (const auto& [strName, strText] : arrTexts)
        values.emplace_back(strName, SRegValue{EValueType::String, strText});
    return values;
}

SSettingsProblem Failure(int nError)
{
    SSettingsProblem problem;
    problem.strFolder = Registry().Location(ERoot::CurrentUser);
    problem.nError = nError;
    return problem;
}

// One write for all of them: one failure to report, and the file rewritten once.
std::optional<SSettingsProblem> StoreValues(const std::vector<std::pair<std::string, SRegValue>>& values)
{
    if (int nError = Registry().WriteValues(ERoot::CurrentUser, kSettingsKey, values))
        return Failure(nError);
    return std::nullopt;
}

void LoadFrom(ERoot eRoot)
{
    for (const SSetting& setting : kSettings)
    {
        if (auto text = ReadSettingText(eRoot, setting.pName))
            FromText(setting, *text);
    }
}
} // namespace

std::string SSettingsProblem::Text() const
{
    std::string strText = bWriting ? Msg::kSettingsNotSaved : Msg::kSettingsNotRead;
    if (!strFolder.empty())
        strText += (bWriting ? Msg::kSettingsNotSavedFolder : Msg::kSettingsNotReadFolder) + strFolder;
    strText += "\n";
    strText += nError == kNotRegularFileError ? Msg::kNotRegularFile : SystemErrorText(nError);
    return strText + "\n" + Msg::kSettingsInMemory;
}

void ShowSettingsProblem(const SSettingsProblem& problem)
{
    ShowMessage(problem.Text(), Msg::kRegisterErrorCaption, EIcon::Error);
}

std::optional<std::string> ReadSettingText(ERoot eRoot, const std::string& strName)
{
    auto value = Registry().Read(eRoot, kSettingsKey, strName);
    if (!value || (value->eType != EValueType::String && value->eType != EValueType::ExpandString))
        return std::nullopt;
    // A value written by another program may hold a zero byte: the text ends there.
    std::string strText = value->strData;
    strText.resize(strText.find('\0') == std::string::npos ? strText.size() : strText.find('\0'));
    return strText;
}

bool WriteSettingText(const std::string& strName, const std::string& strText)
{
    int nError =
        Registry().Write(ERoot::CurrentUser, kSettingsKey, strName, SRegValue{EValueType::String, strText});
    if (nError == 0)
        return true;
    ShowSettingsProblem(Failure(nError));
    return false;
}

void LoadSettings()
{
    LoadFrom(ERoot::CurrentUser);
}

std::vector<std::pair<std::string, std::string>> SettingTexts()
{
    std::vector<std::pair<std::string, std::string>> arrTexts;
    for (const SSetting& setting : kSettings)
        arrTexts.emplace_back(setting.pName, ToText(setting));
    return arrTexts;
}

bool SaveSettingTexts(const std::vector<std::pair<std::string, std::string>>& arrTexts)
{
    if (auto problem = StoreValues(AsValues(arrTexts)))
    {
        ShowSettingsProblem(*problem);
        return false;
    }
    return true;
}

void SaveSettings()
{
    SaveSettingTexts(SettingTexts());
}

std::optional<SSettingsProblem> ImportSettings()
{
    LoadFrom(ERoot::LocalMachine);
    auto arrTexts = SettingTexts();
    arrTexts.emplace_back("", ModuleFolder());
    return StoreValues(AsValues(arrTexts));
}

void LoadExtView()
{
    std::string strText = ReadSettingText(ERoot::CurrentUser, "ExtView").value_or("No");
    if (strText == "Yes")
        ExtView = true;
    else if (strText == "No")
        ExtView = false;
}

std::optional<SSettingsProblem> LoadSettingsAtStartup()
{
    std::optional<SSettingsProblem> problem;
    if (int nError = Registry().CheckReadable(ERoot::CurrentUser))
    {
        // Every read comes back empty, and the import would only be refused when it writes:
        // say it once and go on with what is in memory.
        problem = Failure(nError);
        problem->bWriting = false;
    }
    else if (!ReadSettingText(ERoot::CurrentUser, ""))
        problem = ImportSettings();
    LoadExtView();
    LoadSettings();
    if (problem)
        ShowSettingsProblem(*problem);
    return problem;
}

void ResetSettingsToDefaults()
{
    Frequency = Volume = Synth = 0;
    DeviceIndex = SynthMode = OscilatorMode = 0;
    ProjectType = 1;
    AllPlay = PrePause = PlayNoEnd = false;
    BaseNote = MusicType = 0;
    ExtView = false;
}
