// The command ids of the main window's menu, toolbar and keyboard shortcuts.
#pragma once

namespace Cmd
{
// Menu commands
inline constexpr int New = 1017;
inline constexpr int Open = 1018;
inline constexpr int Save = 1019;
inline constexpr int Cut = 1022;
inline constexpr int Copy = 1023;
inline constexpr int Paste = 1024;
inline constexpr int Delete = 1025;
inline constexpr int Playback = 1026;
inline constexpr int Pause = 1027;
inline constexpr int Stop = 1028;
inline constexpr int Play = 1029;
inline constexpr int Settings = 1030;
inline constexpr int OpenFolder = 32774;
inline constexpr int SaveAs = 32777;
inline constexpr int SaveAll = 32780;
inline constexpr int Close = 32781;
inline constexpr int Exit = 32784;
inline constexpr int RemoveGaps = 32792;
inline constexpr int SelectionMark = 32793;
inline constexpr int SelectAll = 32794;
inline constexpr int Help = 32802;
inline constexpr int About = 32803;
inline constexpr int ExportMidi = 32810;
inline constexpr int Panic = 32820; // switches off every note on every output

// Toolbar buttons
inline constexpr int TbNew = 1001;
inline constexpr int TbOpen = 1002;
inline constexpr int TbSave = 1003;
inline constexpr int TbUndo = 1004;
inline constexpr int TbRedo = 1005;
inline constexpr int TbCut = 1006;
inline constexpr int TbCopy = 1007;
inline constexpr int TbPaste = 1008;
inline constexpr int TbDelete = 1009;
inline constexpr int TbPlayback = 1010;
inline constexpr int TbPause = 1011;
inline constexpr int TbStop = 1012;
inline constexpr int TbPlay = 1013;
inline constexpr int TbSettings = 1014;

// The command a toolbar button gives; a button and its menu item are one action. Undo and redo
// are their menu items' ids as well, and stay themselves, as does every id that is not a button's.
constexpr int CommandOfButton(int nId)
{
    switch (nId)
    {
    case TbNew:
        return New;
    case TbOpen:
        return Open;
    case TbSave:
        return Save;
    case TbCut:
        return Cut;
    case TbCopy:
        return Copy;
    case TbPaste:
        return Paste;
    case TbDelete:
        return Delete;
    case TbPlayback:
        return Playback;
    case TbPause:
        return Pause;
    case TbStop:
        return Stop;
    case TbPlay:
        return Play;
    case TbSettings:
        return Settings;
    default:
        return nId;
    }
}

// Controls
inline constexpr int List = 1000;
inline constexpr int PositionBar = 1001;
inline constexpr int TimeLabel = 1002;
} // namespace Cmd
