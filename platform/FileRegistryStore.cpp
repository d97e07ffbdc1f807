#include "platform/FileRegistryStore.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

// The file, line by line:
//   ; comment
//   [Software\Tonegrove]
//   "Frequency" = string "440"
// Types are "string", "expand" and "other". A line we cannot make sense of (an edit by hand
// gone wrong, a newer program's line) reads as nothing but is written back as it stood, so a
// damaged file never loses what it held.

namespace
{
const char* const kFileName = "registry.txt";
const char* const kHeading =
    "; Tonegrove settings. [key], then one value a line: \"name\" = type \"text\"\n"
    "; (type: string, expand or other; in quotes \\\\ \\\" \\n \\r \\t and \\xHH stand for bytes)\n";

struct SLine
{
    enum EKind
    {
        Raw,
        Key,
        Value
    } eKind = Raw;
    std::string strRaw;  // the line as read, for Raw lines
    std::string strKey;  // Key lines: the key; Value lines: the key they belong to
    std::string strName; // Value lines
    SRegValue value;     // Value lines
};

const char* TypeWord(EValueType e)
{
    switch (e)
    {
    case EValueType::String:
        return "string";
    case EValueType::ExpandString:
        return "expand";
    default:
        return "other";
    }
}

bool ParseValueLine(const std::string& strLine, std::string& strName, SRegValue& value)
{
    size_t pos = 0;
    if (!RegistryText::Unquote(strLine, pos, strName))
        return false;
    auto skipBlanks = [&] {
        while (pos < strLine.size() && (strLine[pos] == ' ' || strLine[pos] == '\t'))
            ++pos;
    };
    skipBlanks();
    if (pos >= strLine.size() || strLine[pos] != '=')
        return false;
    ++pos;
    skipBlanks();
    size_t nWordEnd = strLine.find_first_of(" \t", pos);
    if (nWordEnd == std::string::npos)
        return false;
    std::string strType = strLine.substr(pos, nWordEnd - pos);
    if (strType == "string")
        value.eType = EValueType::String;
    else if (strType == "expand")
        value.eType = EValueType::ExpandString;
    else if (strType == "other")
        value.eType = EValueType::Other;
    else
        return false;
    pos = nWordEnd;
    skipBlanks();
    if (!RegistryText::Unquote(strLine, pos, value.strData))
        return false;
    skipBlanks();
    return pos == strLine.size();
}

std::vector<SLine> ParseFile(const std::string& strText)
{
    std::vector<SLine> lines;
    std::string strKey;
    bool bKeyValid = false;
    size_t nStart = 0;
    while (nStart < strText.size())
    {
        size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;

        SLine line;
        line.strRaw = strLine;
        if (strLine.size() >= 2 && strLine.front() == '[' && strLine.back() == ']')
        {
            line.eKind = SLine::Key;
            strKey = strLine.substr(1, strLine.size() - 2);
            line.strKey = strKey;
            bKeyValid = true;
        }
        else if (bKeyValid && !strLine.empty() && strLine.front() == '"' &&
                 ParseValueLine(strLine, line.strName, line.value))
        {
            line.eKind = SLine::Value;
            line.strKey = strKey;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string FormatFile(const std::vector<SLine>& lines)
{
    std::string strOut;
    for (const SLine& line : lines)
    {
        switch (line.eKind)
        {
        case SLine::Key:
            strOut += "[" + line.strKey + "]";
            break;
        case SLine::Value:
            strOut += RegistryText::Quote(line.strName) + " = " + TypeWord(line.value.eType) + " " +
                      RegistryText::Quote(line.value.strData);
            break;
        default:
            strOut += line.strRaw;
        }
        strOut += '\n';
    }
    return strOut;
}

// Reads the file: 0 with its text, ENOENT when there is none, or another errno.
int LoadText(const std::string& strPath, std::string& strText)
{
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        return errno ? errno : EACCES;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad())
        return EIO;
    strText = ss.str();
    return 0;
}
} // namespace

std::string RegistryText::Quote(const std::string& str)
{
    static const char* const kHex = "0123456789ABCDEF";
    std::string strOut = "\"";
    for (unsigned char c : str)
    {
        switch (c)
        {
        case '"':
            strOut += "\\\"";
            break;
        case '\\':
            strOut += "\\\\";
            break;
        case '\n':
            strOut += "\\n";
            break;
        case '\r':
            strOut += "\\r";
            break;
        case '\t':
            strOut += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F)
            {
                strOut += "\\x";
                strOut += kHex[c >> 4];
                strOut += kHex[c & 15];
            }
            else
                strOut += static_cast<char>(c);
        }
    }
    return strOut + "\"";
}

bool RegistryText::Unquote(const std::string& strLine, size_t& pos, std::string& strOut)
{
    if (pos >= strLine.size() || strLine[pos] != '"')
        return false;
    strOut.clear();
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    for (size_t i = pos + 1; i < strLine.size(); ++i)
    {
        char c = strLine[i];
        if (c == '"')
        {
            pos = i + 1;
            return true;
        }
        if (c != '\\')
        {
            strOut += c;
            continue;
        }
        if (++i >= strLine.size())
            return false;
        switch (strLine[i])
        {
        case '"':
            strOut += '"';
            break;
        case '\\':
            strOut += '\\';
            break;
        case 'n':
            strOut += '\n';
            break;
        case 'r':
            strOut += '\r';
            break;
        case 't':
            strOut += '\t';
            break;
        case 'x': {
            if (i + 2 >= strLine.size())
                return false;
            int hi = hexValue(strLine[i + 1]), lo = hexValue(strLine[i + 2]);
            if (hi < 0 || lo < 0)
                return false;
            strOut += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

CFileRegistryStore::CFileRegistryStore(std::string strUserFolder, std::string strMachineFolder)
    : m_strUserFolder(std::move(strUserFolder)), m_strMachineFolder(std::move(strMachineFolder))
{
}

std::string CFileRegistryStore::DefaultUserFolder()
{
    const char* pConfig = std::getenv("XDG_CONFIG_HOME");
    if (pConfig && *pConfig == '/')
        return std::string(pConfig) + "/Tonegrove";
    const char* pHome = std::getenv("HOME");
    return std::string(pHome && *pHome ? pHome : "/tmp") + "/.config/Tonegrove";
}

std::string CFileRegistryStore::DefaultMachineFolder()
{
    const char* pDirs = std::getenv("XDG_CONFIG_DIRS");
    std::string strFirst = pDirs ? std::string(pDirs).substr(0, std::string(pDirs).find(':')) : "";
    if (strFirst.empty() || strFirst.front() != '/')
        strFirst = "/etc/xdg";
    return strFirst + "/Tonegrove";
}

std::string CFileRegistryStore::FilePath(ERoot eRoot) const
{
    return (eRoot == ERoot::CurrentUser ? m_strUserFolder : m_strMachineFolder) + "/" + kFileName;
}

std::optional<SRegValue> CFileRegistryStore::Read(ERoot eRoot, const std::string& strKey,
                                                  const std::string& strName)
{
    std::lock_guard lock(m_mutex);
    std::string strText;
    if (LoadText(FilePath(eRoot), strText) != 0)
        return std::nullopt;
    for (const SLine& line : ParseFile(strText))
    {
        if (line.eKind == SLine::Value && line.strKey == strKey && line.strName == strName)
            return line.value;
    }
    return std::nullopt;
}

int CFileRegistryStore::Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
                              const SRegValue& value)
{
    return Change(eRoot, strKey, strName, &value);
}

int CFileRegistryStore::Remove(ERoot eRoot, const std::string& strKey, const std::string& strName)
{
    return Change(eRoot, strKey, strName, nullptr);
}

int CFileRegistryStore::Change(ERoot eRoot, const std::string& strKey, const std::string& strName,
                               const SRegValue* pValue)
{
    if (strKey.find_first_of("]\n") != std::string::npos)
        return EINVAL;
    std::lock_guard lock(m_mutex);
    const std::string strPath = FilePath(eRoot);
    std::string strText;
    int nRead = LoadText(strPath, strText);
    if (nRead == ENOENT)
    {
        if (!pValue)
            return 0;
        if (int n = MakeFolders(eRoot == ERoot::CurrentUser ? m_strUserFolder : m_strMachineFolder))
            return n;
        strText = kHeading;
    }
    else if (nRead != 0)
        return nRead; // never replace a file we could not read

    std::vector<SLine> lines = ParseFile(strText);
    bool bDone = false;
    size_t nFound = 0;
    size_t nInsertAt = std::string::npos; // after the last line of the key's section
    for (size_t i = 0; i < lines.size(); ++i)
    {
        SLine& line = lines[i];
        if (line.eKind == SLine::Key && line.strKey == strKey)
            nInsertAt = i + 1;
        else if (line.eKind == SLine::Value && line.strKey == strKey)
        {
            nInsertAt = i + 1;
            if (line.strName == strName && !bDone)
            {
                if (pValue)
                    line.value = *pValue;
                nFound = i;
                bDone = true;
            }
        }
    }
    if (!pValue)
    {
        if (!bDone)
            return 0;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(nFound));
    }
    else if (!bDone)
    {
        SLine line;
        line.eKind = SLine::Value;
        line.strKey = strKey;
        line.strName = strName;
        line.value = *pValue;
        if (nInsertAt == std::string::npos)
        {
            SLine key;
            key.eKind = SLine::Key;
            key.strKey = strKey;
            lines.push_back(key);
            lines.push_back(line);
        }
        else
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(nInsertAt), line);
    }
    std::string strOut = FormatFile(lines);
    // The parse above added a line for the text after the last newline; keep the file's own end.
    if (!strText.empty() && strText.back() != '\n' && !strOut.empty())
        strOut.pop_back();
    return WriteFileAtomically(strPath, std::span(reinterpret_cast<const uint8_t*>(strOut.data()), strOut.size()));
}
