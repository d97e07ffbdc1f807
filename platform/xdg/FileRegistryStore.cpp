#include "platform/xdg/FileRegistryStore.h"

#include "platform/AtomicFile.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

// The file, line by line:
//   ; comment
//   [Software\Tonegrove]
//   "Frequency" = string "440"
// Types are "string", "expand" and "other". A line we cannot make sense of (an edit by hand
// gone wrong, a newer program's line, a line of absurd length) reads as nothing but is written
// back as it stood, so a damaged file never loses what it held. Lines may end in LF or CR LF
// (a file edited on Windows): each line keeps its own ending, and lines we add take the
// ending of the file's first line.

namespace
{
const char* const kFileName = "registry.txt";
const char* const kHeading =
    "; Tonegrove settings. [key], then one value a line: \"name\" = type \"text\"\n"
    "; (type: string, expand or other; in quotes \\\\ \\\" \\n \\r \\t and \\xHH stand for bytes)\n";
const std::string kBom = "\xEF\xBB\xBF";

struct SLine
{
    enum EKind
    {
        Raw,
        Key,
        Value
    } eKind = Raw;
    std::string strRaw;  // the line as read, without its ending, for Raw and Key lines
    std::string strEnd;  // its ending as read: "\n", "\r\n", or nothing for a last line without one
    std::string strKey;  // Key lines: the key; Value lines: the key they belong to
    std::string strName; // Value lines
    SRegValue value;     // Value lines
};

struct SParsedFile
{
    std::string strBom; // the byte order mark some editors put first, kept as it was
    std::vector<SLine> lines;
    std::string strNewline = "\n"; // the ending of lines we add
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
    auto skipBlanks = [&]
    {
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

std::string FormatValueLine(const std::string& strName, const SRegValue& value)
{
    return RegistryText::Quote(strName) + " = " + TypeWord(value.eType) + " " +
           RegistryText::Quote(value.strData);
}

SParsedFile ParseFile(const std::string& strText)
{
    SParsedFile parsed;
    size_t nStart = 0;
    if (strText.compare(0, kBom.size(), kBom) == 0)
    {
        parsed.strBom = kBom;
        nStart = kBom.size();
    }
    std::string strKey;
    bool bKeyValid = false;
    bool bFirst = true;
    while (nStart < strText.size())
    {
        size_t nEnd = strText.find('\n', nStart);
        SLine line;
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        else
            line.strEnd = "\n";
        size_t nContentEnd = nEnd;
        if (nContentEnd > nStart && strText[nContentEnd - 1] == '\r' && !line.strEnd.empty())
        {
            --nContentEnd;
            line.strEnd = "\r\n";
        }
        line.strRaw.assign(strText, nStart, nContentEnd - nStart);
        nStart = nEnd + 1;
        if (bFirst && !line.strEnd.empty())
            parsed.strNewline = line.strEnd;
        bFirst = false;

        const std::string& strLine = line.strRaw;
        if (strLine.size() > CFileRegistryStore::kMaxLineBytes)
        {
            // Not even looked into. A key heading of that size would leave the values after it
            // without their key: they must not be taken for values of the key before it.
            if (strLine.front() == '[')
                bKeyValid = false;
        }
        else if (!strLine.empty() && strLine.front() == '[')
        {
            size_t nLast = strLine.find_last_not_of(" \t");
            if (nLast != std::string::npos && nLast >= 1 && strLine[nLast] == ']')
            {
                line.eKind = SLine::Key;
                strKey = strLine.substr(1, nLast - 1);
                line.strKey = strKey;
                bKeyValid = true;
            }
        }
        else if (bKeyValid && !strLine.empty() && strLine.front() == '"' &&
                 ParseValueLine(strLine, line.strName, line.value))
        {
            line.eKind = SLine::Value;
            line.strKey = strKey;
        }
        if (line.eKind == SLine::Value)
            line.strRaw.clear(); // written from its parts, which may change
        parsed.lines.push_back(std::move(line));
    }
    return parsed;
}

std::string FormatFile(const SParsedFile& parsed)
{
    std::string strOut = parsed.strBom;
    for (size_t i = 0; i < parsed.lines.size(); ++i)
    {
        const SLine& line = parsed.lines[i];
        switch (line.eKind)
        {
        case SLine::Key:
            strOut += line.strRaw.empty() ? "[" + line.strKey + "]" : line.strRaw;
            break;
        case SLine::Value:
            strOut += FormatValueLine(line.strName, line.value);
            break;
        default:
            strOut += line.strRaw;
        }
        // A last line without an ending that is no longer last gets one.
        strOut += line.strEnd.empty() && i + 1 < parsed.lines.size() ? parsed.strNewline : line.strEnd;
    }
    return strOut;
}

// Sets (pValue) or removes (null) one value in the parsed lines. False when nothing changed.
bool ApplyChange(SParsedFile& parsed, const std::string& strKey, const std::string& strName,
                 const SRegValue* pValue)
{
    std::vector<SLine>& lines = parsed.lines;
    size_t nFound = std::string::npos;
    size_t nInsertAt = std::string::npos; // after the last line of the key's section
    for (size_t i = 0; i < lines.size(); ++i)
    {
        SLine& line = lines[i];
        if (line.eKind == SLine::Key && line.strKey == strKey)
            nInsertAt = i + 1;
        else if (line.eKind == SLine::Value && line.strKey == strKey)
        {
            nInsertAt = i + 1;
            if (line.strName == strName && nFound == std::string::npos)
                nFound = i;
        }
    }
    if (nFound != std::string::npos)
    {
        if (pValue)
            lines[nFound].value = *pValue;
        else
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(nFound));
        return true;
    }
    if (!pValue)
        return false;

    SLine line;
    line.eKind = SLine::Value;
    line.strKey = strKey;
    line.strName = strName;
    line.value = *pValue;
    line.strEnd = parsed.strNewline;
    if (nInsertAt == std::string::npos)
    {
        SLine key;
        key.eKind = SLine::Key;
        key.strKey = strKey;
        key.strEnd = parsed.strNewline;
        // The file's last line may have had no ending; a new line after it keeps the file's end.
        if (!lines.empty() && lines.back().strEnd.empty())
            line.strEnd.clear();
        lines.push_back(key);
        lines.push_back(line);
    }
    else
    {
        if (nInsertAt == lines.size() && lines.back().strEnd.empty())
            line.strEnd.clear();
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(nInsertAt), line);
    }
    return true;
}

// Reads the rest of an open file. Gives 0 or the errno.
int ReadAll(CReadOnlyFile& file, std::string& strText)
{
    strText.clear();
    char buf[65536];
    for (;;)
    {
        int nError = 0;
        const int64_t n = file.Read(buf, sizeof buf, nError);
        if (n < 0)
            return nError;
        if (n == 0)
            return 0;
        strText.append(buf, static_cast<size_t>(n));
    }
}
} // namespace

struct CFileRegistryStore::SCache
{
    // What tells that the file is still the one we parsed.
    SFileIdentity identity;
    SParsedFile parsed;
};

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
    auto hexValue = [](char c) -> int
    {
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
        case 'x':
        {
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

CFileRegistryStore::~CFileRegistryStore() = default;

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
    return Location(eRoot) + "/" + kFileName;
}

std::string CFileRegistryStore::Location(ERoot eRoot) const
{
    return eRoot == ERoot::CurrentUser ? m_strUserFolder : m_strMachineFolder;
}

int CFileRegistryStore::Load(ERoot eRoot, SCache*& pCache)
{
    std::unique_ptr<SCache>& pSlot = m_pCache[eRoot == ERoot::CurrentUser ? 0 : 1];
    pCache = nullptr;
    const std::string strPath = FilePath(eRoot);
    SFileFacts facts;
    if (int nError = LookAtPath(strPath, facts))
        return nError;
    if (facts.eKind == EFileKind::Folder)
        return EISDIR;
    // A named pipe in the file's place would hold the program at start for good.
    if (facts.eKind != EFileKind::Regular)
        return kNotRegularFileError;
    if (pSlot && pSlot->identity == facts.identity)
    {
        pCache = pSlot.get();
        return 0;
    }
    pSlot.reset();
    int nError = 0;
    std::unique_ptr<CReadOnlyFile> pFile = CReadOnlyFile::Open(strPath, nError);
    if (!pFile)
        return nError == kNotRegularFile ? kNotRegularFileError : nError;
    std::string strText;
    strText.reserve(static_cast<size_t>(pFile->Facts().nSize));
    nError = ReadAll(*pFile, strText);
    if (nError != 0)
        return nError;
    auto pNew = std::make_unique<SCache>();
    pNew->identity = pFile->Facts().identity;
    pNew->parsed = ParseFile(strText);
    ++m_nLoads;
    pSlot = std::move(pNew);
    pCache = pSlot.get();
    return 0;
}

int CFileRegistryStore::CheckReadable(ERoot eRoot)
{
    std::lock_guard lock(m_mutex);
    SCache* pCache = nullptr;
    int n = Load(eRoot, pCache);
    // Not there (its folder may be missing or a file): nothing to read; a write will say more.
    return n == ENOENT || n == ENOTDIR ? 0 : n;
}

std::optional<SRegValue> CFileRegistryStore::Read(ERoot eRoot, const std::string& strKey,
                                                  const std::string& strName)
{
    std::lock_guard lock(m_mutex);
    SCache* pCache = nullptr;
    if (Load(eRoot, pCache) != 0)
        return std::nullopt;
    for (const SLine& line : pCache->parsed.lines)
    {
        if (line.eKind == SLine::Value && line.strKey == strKey && line.strName == strName)
            return line.value;
    }
    return std::nullopt;
}

int CFileRegistryStore::Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
                              const SRegValue& value)
{
    return Change(eRoot, strKey, {{strName, &value}});
}

int CFileRegistryStore::Remove(ERoot eRoot, const std::string& strKey, const std::string& strName)
{
    return Change(eRoot, strKey, {{strName, nullptr}});
}

int CFileRegistryStore::WriteValues(ERoot eRoot, const std::string& strKey,
                                    const std::vector<std::pair<std::string, SRegValue>>& values)
{
    std::vector<std::pair<std::string, const SRegValue*>> changes;
    for (const auto& [strName, value] : values)
        changes.emplace_back(strName, &value);
    return Change(eRoot, strKey, changes);
}

int CFileRegistryStore::Change(ERoot eRoot, const std::string& strKey,
                               const std::vector<std::pair<std::string, const SRegValue*>>& changes)
{
    if (strKey.find_first_of("]\r\n") != std::string::npos || strKey.size() + 2 > kMaxLineBytes)
        return EINVAL;
    for (const auto& [strName, pValue] : changes)
    {
        // A line we would not read back is not written.
        if (pValue && FormatValueLine(strName, *pValue).size() > kMaxLineBytes)
            return EOVERFLOW;
    }
    std::lock_guard lock(m_mutex);
    const std::string strPath = FilePath(eRoot);
    SCache* pCache = nullptr;
    SParsedFile parsed;
    int nRead = Load(eRoot, pCache);
    if (nRead == ENOENT)
    {
        bool bAnySet = false;
        for (const auto& change : changes)
            bAnySet = bAnySet || change.second;
        if (!bAnySet)
            return 0;
        if (int n = MakeFolders(Location(eRoot)))
            return n;
        parsed = ParseFile(kHeading);
    }
    else if (nRead != 0)
        return nRead; // never replace a file we could not read
    else
        parsed = pCache->parsed;

    bool bChanged = false;
    for (const auto& [strName, pValue] : changes)
        bChanged = ApplyChange(parsed, strKey, strName, pValue) || bChanged;
    if (!bChanged)
        return 0;
    const std::string strOut = FormatFile(parsed);
    int nError = WriteFileAtomically(
        strPath, std::span(reinterpret_cast<const uint8_t*>(strOut.data()), strOut.size()));
    std::unique_ptr<SCache>& pSlot = m_pCache[eRoot == ERoot::CurrentUser ? 0 : 1];
    pSlot.reset();
    SFileFacts facts;
    if (nError == 0 && LookAtPath(strPath, facts) == 0)
    {
        // What we wrote is what the next read would parse: keep it instead.
        pSlot = std::make_unique<SCache>();
        pSlot->identity = facts.identity;
        pSlot->parsed = std::move(parsed);
    }
    return nError;
}
