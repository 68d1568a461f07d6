// Inputs the INI fuzzer turned up, kept as regression cases: text mixing LF, CR LF and lone CR
// line ends still gives back a value written into it after being saved and read again.
#include <gtest/gtest.h>
#include <string>

#include "platform/Ini.h"

TEST(IniFuzzFindings, ValueWrittenIntoMixedLineEndsReadsBack) {
    // The fuzzer's input: a key line, a section line followed by a run of lone CRs, then CR LF.
    const std::string Text = "LastA2Ta;ks\nTaanks50[LastArepa" + std::string(45, '\r') + "\n[cna]\r\nTa";
    IniDocument       Doc = ParseIni(Text);
    IniWriteString(Doc, "Settings", "Name", "LastA2Ta;ks\nTaanks50");
    const std::string Written = IniReadString(Doc, "Settings", "Name", "?");
    EXPECT_EQ(Written, "LastA2Ta;ks Taanks50");
    EXPECT_EQ(IniReadString(ParseIni(IniText(Doc)), "Settings", "Name", "?"), Written);
    EXPECT_EQ(IniReadString(ParseIni(IniText(Doc)), "cna", "Ta", "absent"), "absent");
}
