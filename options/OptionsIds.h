// The control ids of the Options dialog and its pages; the pages' controls carry them (as the
// property "tgId" and the object name "id<number>") so that the dialog and tests find them.
#pragma once

namespace OptId
{
// The dialog's own buttons
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;

// Page "Общие"
inline constexpr int KeyboardGroup = 1065;
inline constexpr int ExtView = 1066;
inline constexpr int MusicType = 1101;
inline constexpr int ProjectGroup = 1067;
inline constexpr int ProjectType = 1068;
inline constexpr int PlayGroup = 1069;
inline constexpr int AllPlay = 1070;
inline constexpr int PlayNoEnd = 1071;

// Page "MIDI"
inline constexpr int DeviceGroup = 1072;
inline constexpr int Device = 1073;
inline constexpr int OtherMidiGroup = 1074;
inline constexpr int BaseNoteLabel = 1075;
inline constexpr int BaseNote = 1076;
// The built-in synthesizer's SoundFont
inline constexpr int SynthGroup = 1110;
inline constexpr int SoundFontLabel = 1111;
inline constexpr int SoundFont = 1112;
inline constexpr int Browse = 1113;
// The MIDI input the live window plays from
inline constexpr int MidiInGroup = 1114;
inline constexpr int MidiIn = 1115;

// Page "DirectX Music (Осцилятор)"; its group box has no id of its own
inline constexpr int FrequencyLabel = 1077;
inline constexpr int FrequencyBar = 1078;
inline constexpr int FrequencyEdit = 1079;
inline constexpr int VolumeLabel = 1080;
inline constexpr int VolumeBar = 1081;
inline constexpr int VolumeEdit = 1082;
inline constexpr int ResonanceLabel = 1083;
inline constexpr int ResonanceBar = 1084;
inline constexpr int ResonanceEdit = 1085;
inline constexpr int SynthModeLabel = 1086;
inline constexpr int SynthMode = 1087;
inline constexpr int OscilatorModeLabel = 1088;
inline constexpr int OscilatorMode = 1089;
} // namespace OptId
