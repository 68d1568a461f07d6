// The INI layer: parsing, looking up and setting keys, and the atomic file replacement.
#include "platform/Ini.h"

#include <cerrno>
#include <fcntl.h>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

static bool IsBlank(char C) { return C == ' ' || C == '\t'; }

static std::string_view Trim(std::string_view Text) {
    while (!Text.empty() && IsBlank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && IsBlank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

static char LowerAscii(char C) { return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C; }

static bool SameName(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (LowerAscii(A[I]) != LowerAscii(B[I]))
            return false;
    return true;
}

// A section line is "[Name]" with optional blanks; a missing "]" still opens the section.
static bool SectionOfLine(std::string_view Line, std::string_view& Name) {
    Line = Trim(Line);
    if (Line.empty() || Line.front() != '[')
        return false;
    Line.remove_prefix(1);
    Name = Trim(Line.substr(0, Line.find(']')));
    return true;
}

// A key line is "Key=Value" outside a comment; Key and Value come back trimmed.
static bool KeyOfLine(std::string_view Line, std::string_view& Key, std::string_view& Value) {
    const std::string_view Trimmed = Trim(Line);
    if (Trimmed.empty() || Trimmed.front() == ';' || Trimmed.front() == '[')
        return false;
    const size_t Equals = Trimmed.find('=');
    if (Equals == std::string_view::npos)
        return false;
    Key = Trim(Trimmed.substr(0, Equals));
    Value = Trim(Trimmed.substr(Equals + 1));
    return true;
}

IniDocument ParseIni(std::string_view Text) {
    IniDocument Doc;
    bool        FirstEnd = true;
    while (!Text.empty()) {
        const size_t     End = Text.find('\n');
        std::string_view Line = Text.substr(0, End);
        const bool       Crlf = !Line.empty() && Line.back() == '\r';
        if (End != std::string_view::npos && FirstEnd) {
            Doc.UsesCrlf = Crlf;
            FirstEnd = false;
        }
        if (Crlf)
            Line.remove_suffix(1);
        Doc.Lines.emplace_back(Line);
        Text.remove_prefix(End == std::string_view::npos ? Text.size() : End + 1);
    }
    return Doc;
}

std::string IniText(const IniDocument& Doc) {
    const char* LineEnd = Doc.UsesCrlf ? "\r\n" : "\n";
    std::string Text;
    for (const std::string& Line : Doc.Lines)
        Text += Line + LineEnd;
    return Text;
}

bool LoadIniFile(const std::string& Path, IniDocument& Doc) {
    Doc = IniDocument{};
    // Plain C reads: a folder or an unreadable file simply fails, nothing is thrown.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> File(std::fopen(Path.c_str(), "rb"),
                                                              &std::fclose);
    if (!File)
        return false;
    std::string Text;
    char        Buffer[4096];
    size_t      N;
    while ((N = std::fread(Buffer, 1, sizeof Buffer, File.get())) > 0)
        Text.append(Buffer, N);
    if (std::ferror(File.get()))
        return false;
    Doc = ParseIni(Text);
    return true;
}

// The line of the first Key inside any section named Section; -1 when there is none.
static long FindKeyLine(const IniDocument& Doc, std::string_view Section, std::string_view Key) {
    bool InSection = false;
    for (size_t I = 0; I < Doc.Lines.size(); ++I) {
        std::string_view Name, LineKey, Value;
        if (SectionOfLine(Doc.Lines[I], Name))
            InSection = SameName(Name, Section);
        else if (InSection && KeyOfLine(Doc.Lines[I], LineKey, Value) && SameName(LineKey, Key))
            return long(I);
    }
    return -1;
}

bool IniFindValue(const IniDocument& Doc, std::string_view Section, std::string_view Key,
                  std::string& Value) {
    const long Line = FindKeyLine(Doc, Section, Key);
    if (Line < 0)
        return false;
    std::string_view LineKey, LineValue;
    KeyOfLine(Doc.Lines[size_t(Line)], LineKey, LineValue);
    Value = std::string(LineValue);
    return true;
}

std::string IniReadString(const IniDocument& Doc, std::string_view Section, std::string_view Key,
                          const std::string& Default) {
    std::string Value;
    return IniFindValue(Doc, Section, Key, Value) ? Value : Default;
}

// Where a new key of Section goes: after the last non-blank line of its first occurrence;
// -1 when the document has no such section.
static long InsertionLine(const IniDocument& Doc, std::string_view Section) {
    long After = -1;
    for (size_t I = 0; I < Doc.Lines.size(); ++I) {
        std::string_view Name;
        if (SectionOfLine(Doc.Lines[I], Name)) {
            if (After >= 0)
                break;
            if (SameName(Name, Section))
                After = long(I);
        } else if (After >= 0 && !Trim(Doc.Lines[I]).empty()) {
            After = long(I);
        }
    }
    return After < 0 ? -1 : After + 1;
}

void IniWriteString(IniDocument& Doc, std::string_view Section, std::string_view Key,
                    std::string_view Value) {
    std::string OneLine(Value);
    for (char& C : OneLine)
        if (C == '\n' || C == '\r')
            C = ' ';
    const long Existing = FindKeyLine(Doc, Section, Key);
    if (Existing >= 0) {
        std::string_view LineKey, OldValue;
        KeyOfLine(Doc.Lines[size_t(Existing)], LineKey, OldValue);
        Doc.Lines[size_t(Existing)] = std::string(LineKey) + "=" + OneLine;
        return;
    }
    const std::string NewLine = std::string(Key) + "=" + OneLine;
    const long        Insert = InsertionLine(Doc, Section);
    if (Insert >= 0) {
        Doc.Lines.insert(Doc.Lines.begin() + Insert, NewLine);
        return;
    }
    if (!Doc.Lines.empty() && !Trim(Doc.Lines.back()).empty())
        Doc.Lines.emplace_back(); // a blank line between sections, as people write them
    Doc.Lines.push_back("[" + std::string(Section) + "]");
    Doc.Lines.push_back(NewLine);
}

static bool WriteAll(int Fd, const std::string& Text) {
    size_t Done = 0;
    while (Done < Text.size()) {
        const ssize_t N = ::write(Fd, Text.data() + Done, Text.size() - Done);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            return false;
        Done += size_t(N);
    }
    return true;
}

static std::string FolderOf(const std::string& Path) {
    const size_t Slash = Path.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

// The file a write to Path lands in: symbolic links are followed to their final target (which
// need not exist yet), a relative target being taken from the link's own folder. A chain that
// does not end (a loop) gives back a link, which the caller's stat then refuses.
static std::string LinkTarget(const std::string& Path) {
    constexpr int MaxLinks = 40; // as many as the system follows when it opens a path
    std::string   Current = Path;
    for (int Link = 0; Link < MaxLinks; ++Link) {
        struct stat St{};
        if (::lstat(Current.c_str(), &St) != 0 || !S_ISLNK(St.st_mode))
            return Current;
        std::string   Target(size_t(St.st_size > 0 ? St.st_size : 255) + 1, '\0');
        const ssize_t Length = ::readlink(Current.c_str(), Target.data(), Target.size());
        if (Length <= 0 || size_t(Length) >= Target.size())
            return Current;
        Target.resize(size_t(Length));
        Current = Target.front() == '/' ? Target : FolderOf(Current) + "/" + Target;
    }
    return Current;
}

// Whether the user may read (R_OK) or write (W_OK) the existing file St describes. For an
// ordinary user this is the system's own judgement. Root passes every permission test there,
// so a file made read-only (or unreadable) would not protect anything from a game run as root;
// root is judged the way the system judges its right to execute: allowed when the owner, the
// group or the others have the permission. The system's judgement still applies on top (a
// read-only file system, an immutable file).
static bool UserMay(const std::string& Path, const struct stat& St, int Access) {
    if (::geteuid() == 0) {
        if ((Access & R_OK) && !(St.st_mode & (S_IRUSR | S_IRGRP | S_IROTH)))
            return false;
        if ((Access & W_OK) && !(St.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
            return false;
    }
    return ::faccessat(AT_FDCWD, Path.c_str(), Access, AT_EACCESS) == 0;
}

bool LoadIniForUpdate(const std::string& Path, IniDocument& Doc) {
    Doc = IniDocument{};
    struct stat St{};
    if (::stat(Path.c_str(), &St) != 0)
        return errno == ENOENT; // no file (or a link to none): nothing to keep
    return S_ISREG(St.st_mode) && UserMay(Path, St, R_OK) && LoadIniFile(Path, Doc);
}

bool ReplaceFileContents(const std::string& Path, const std::string& Text) {
    // A link stays a link: the new text replaces the file it points to.
    const std::string Target = LinkTarget(Path);
    struct stat       Old{};
    const bool        Exists = ::stat(Target.c_str(), &Old) == 0;
    if (!Exists && errno != ENOENT)
        return false;
    // A file the user could not write in place is not replaced behind its back either.
    if (Exists && (!S_ISREG(Old.st_mode) || !UserMay(Target, Old, W_OK)))
        return false;
    std::string Temporary = Target + ".XXXXXX";
    const int   Fd = ::mkstemp(Temporary.data());
    if (Fd < 0)
        return false;
    // The new file keeps the old one's owner where the system allows and its permissions, but
    // always stays readable and writable for its owner; a first file gets the usual 0644.
    mode_t Mode = 0644;
    if (Exists) {
        if (::fchown(Fd, Old.st_uid, Old.st_gid) != 0) {
            // Only root may give a file away; otherwise it simply stays the user's own.
        }
        Mode = mode_t(Old.st_mode & 07777) | S_IRUSR | S_IWUSR;
    }
    bool Written = ::fchmod(Fd, Mode) == 0 && WriteAll(Fd, Text) && ::fsync(Fd) == 0;
    Written = (::close(Fd) == 0) && Written;
    if (!Written || ::rename(Temporary.c_str(), Target.c_str()) != 0) {
        ::unlink(Temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder's entry.
    const int Folder = ::open(FolderOf(Target).c_str(), O_RDONLY | O_DIRECTORY);
    if (Folder >= 0) {
        ::fsync(Folder);
        ::close(Folder);
    }
    return true;
}

std::string GetPrivateProfileString(std::string_view Section, std::string_view Key,
                                    const std::string& Default, const std::string& Path) {
    IniDocument Doc;
    LoadIniFile(Path, Doc);
    return IniReadString(Doc, Section, Key, Default);
}

bool WritePrivateProfileString(std::string_view Section, std::string_view Key,
                               std::string_view Value, const std::string& Path) {
    IniDocument Doc;
    if (!LoadIniForUpdate(Path, Doc))
        return false;
    IniWriteString(Doc, Section, Key, Value);
    return ReplaceFileContents(Path, IniText(Doc));
}
