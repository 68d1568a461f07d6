// INI text with the Windows conventions: "[Section]" lines open sections, "Key=Value" lines
// give values. Section and key names compare without regard to case; values read are trimmed
// of surrounding blanks; of duplicated keys the first wins; every other line (comments, lines
// without "=", keys of other programs) is kept exactly as it was when the text is written back.
// Files with LF or CRLF line ends read alike; a document written back keeps the ends it read.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct IniDocument {
    std::vector<std::string> Lines;         // the text's lines without their line ends
    bool                     UsesCrlf = false; // lines end in CR LF when written back
};

// Splits text (any bytes) into an IniDocument. Never fails: text that is not INI simply
// holds no keys.
IniDocument ParseIni(std::string_view Text);

// The document as text, each line ended by its line end.
std::string IniText(const IniDocument& Doc);

// Reads a file into Doc. A missing or unreadable file gives an empty document and false;
// nothing is ever reported to the player.
bool LoadIniFile(const std::string& Path, IniDocument& Doc);

// Finds Key in Section: true and Value set to the trimmed value when present.
bool IniFindValue(const IniDocument& Doc, std::string_view Section, std::string_view Key,
                  std::string& Value);

// The trimmed value of Key in Section, or Default when the key is absent.
std::string IniReadString(const IniDocument& Doc, std::string_view Section, std::string_view Key,
                          const std::string& Default);

// Sets Key in Section to Value: the key's line is replaced in place when present, else the
// key is added after the last line of its section; a missing section is added at the end.
// Line breaks inside Value become blanks, so a value can never start a line of its own.
void IniWriteString(IniDocument& Doc, std::string_view Section, std::string_view Key,
                    std::string_view Value);

// Reads a file that is about to be rewritten, so that its other lines can be kept. True when
// Doc holds the whole file, or there is no file (Doc empty); false when a file is there that
// the user may not read (or is no plain file): a rewrite would lose its lines.
bool LoadIniForUpdate(const std::string& Path, IniDocument& Doc);

// Replaces the file at Path with Text without ever leaving it half written: the text goes to
// a temporary file in the same folder, is flushed to the disk, and then renamed over Path.
// A symbolic link is followed and its target replaced, the link kept. A file the user may not
// write (a read-only file) is refused and left as it is. On any failure the old file is left
// untouched, the temporary file is removed, and the result is false.
bool ReplaceFileContents(const std::string& Path, const std::string& Text);

// The single-key file operations of Windows: read one value of a file, and write one value
// into a file, keeping the rest of it (the write is atomic as in ReplaceFileContents; a file
// whose rest cannot be read is refused, as LoadIniForUpdate tells).
std::string GetPrivateProfileString(std::string_view Section, std::string_view Key,
                                    const std::string& Default, const std::string& Path);
bool WritePrivateProfileString(std::string_view Section, std::string_view Key,
                               std::string_view Value, const std::string& Path);
