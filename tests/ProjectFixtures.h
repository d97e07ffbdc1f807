// Small projects the tests build: the one-note melody in both versions, and helpers.
#pragma once

#include "project/ProjectFormat.h"

#include <string>
#include <vector>

inline std::vector<uint8_t> OneNoteProject(int nVersion)
{
    std::vector<uint8_t> p = MakeHeader(nVersion);
    if (nVersion == 0)
    {
        AppendNoteOnRecord(p, 100, 48, 12, 127, 0);
        AppendNoteOffRecord(p, 500, 48, 12, 0);
    }
    else
    {
        AppendEventRecord(p, 100, 0x7F3C90);
        AppendEventRecord(p, 500, 0x3C80);
    }
    return p;
}

// The one-note project with the note off's marker (byte 39) broken: damaged in the middle.
inline std::vector<uint8_t> DamagedOneNoteProject(int nVersion)
{
    std::vector<uint8_t> p = OneNoteProject(nVersion);
    p[39] = 'X';
    return p;
}

// The one-note project with the version "0.2", one this program does not know yet.
inline std::vector<uint8_t> FutureVersionProject(int nVersion)
{
    std::vector<uint8_t> p = OneNoteProject(nVersion);
    p[26] = '2';
    return p;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

inline std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
